// The recording host: every slot call becomes a HostCall; answers come from scripts.
#include "support/RecordingHost.h"

#include <algorithm>
#include <cstring>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "support/Cp949Printer.h"

namespace testing_support {

namespace {

// Codes whose data the module sends as binary, and those whose data is a buffer the
// host fills.
constexpr int32_t kItemRequestEvent = 22;
constexpr int32_t kHostTextEvent = 62;

std::string BstrText(BSTR b) {
  if (!b) return "(null)";
  return plat::Utf16ToUtf8(std::u16string_view(b, SysStringLen(b)));
}

std::string Quoted(const std::string& s) { return s == "(null)" ? s : "\"" + s + "\""; }

}  // namespace

const char* HostSlotName(HostSlot slot) {
  switch (slot) {
    case HostSlot::Send: return "Send";
    case HostSlot::GetAvatar: return "GetAvatar";
    case HostSlot::SetText: return "SetText";
    case HostSlot::SetPlayState: return "SetPlayState";
    case HostSlot::SetPlayerList: return "SetPlayerList";
    case HostSlot::AddText: return "AddText";
    case HostSlot::RequestScreenMode: return "RequestScreenMode";
    case HostSlot::NotifyEvent: return "NotifyEvent";
  }
  return "?";
}

std::string HostCall::ToString() const {
  std::string s = std::string(HostSlotName(slot)) + "(";
  auto num = [this](size_t i) { return i < values.size() ? std::to_string(values[i]) : std::string("?"); };
  auto text = [this](size_t i) { return i < texts.size() ? Quoted(texts[i]) : std::string("?"); };
  switch (slot) {
    case HostSlot::Send:
      s += num(0) + ", " + num(1) + ", [" + bytes + "], " + num(2);
      break;
    case HostSlot::GetAvatar:
      s += text(0) + ", " + text(1);
      break;
    case HostSlot::SetText:
      s += text(0) + ", " + num(0) + ", " + text(1);
      break;
    case HostSlot::SetPlayState:
      s += num(0);
      break;
    case HostSlot::SetPlayerList:
      s += text(0);
      break;
    case HostSlot::AddText: {
      const auto style = values.size() > 1 ? static_cast<uint32_t>(values[1]) : 0u;
      s += text(0) + ", " + num(0) + ", " + plat::FormatString("0x%lX", style) + ", " + num(2) + ", " + text(1) +
           ", " + num(3);
      break;
    }
    case HostSlot::RequestScreenMode:
      s += num(0) + ", " + num(1) + ", " + num(2) + ", " + num(3);
      break;
    case HostSlot::NotifyEvent:
      s += num(0) + ", " + num(1) + ", " + (texts.empty() ? std::string("?") : texts[0]) + ", " + num(2);
      break;
  }
  return s + ")";
}

RecordingHost::RecordingHost() {
  eventData_[kItemRequestEvent] = EventData::Bytes;
  eventData_[kHostTextEvent] = EventData::Buffer;
}

void RecordingHost::Record(HostCall call) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::move(call));
}

int32_t RecordingHost::Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) {
  HostCall call{HostSlot::Send, {}, {channel, kind, length}, ""};
  if (data && length > 0) {
    call.bytes = HexBytes(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(length)));
  }
  Record(std::move(call));
  std::lock_guard<std::mutex> lock(mutex_);
  if (sendResults_.empty()) return sendFallback_;
  const int32_t result = sendResults_.front();
  sendResults_.pop_front();
  return result;
}

int32_t RecordingHost::GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) {
  const std::string user = BstrText(userKey);
  Record(HostCall{HostSlot::GetAvatar, {user, BstrText(avatarKey)}, {}, ""});
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = avatars_.find(user);
  if (it == avatars_.end() || !out) return 0;
  const std::u16string wide = plat::Utf8ToUtf16(it->second);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? 1 : 0;
}

int32_t RecordingHost::SetText(BSTR text, uint32_t code, BSTR secondText) {
  Record(HostCall{HostSlot::SetText, {BstrText(text), BstrText(secondText)}, {code}, ""});
  return 0;
}

int32_t RecordingHost::SetPlayState(uint32_t state) {
  Record(HostCall{HostSlot::SetPlayState, {}, {state}, ""});
  return 0;
}

int32_t RecordingHost::SetPlayerList(BSTR userNumbers) {
  Record(HostCall{HostSlot::SetPlayerList, {BstrText(userNumbers)}, {}, ""});
  return 0;
}

int32_t RecordingHost::AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face,
                               int32_t firstFlag) {
  Record(HostCall{HostSlot::AddText, {BstrText(text), BstrText(face)}, {weight, style, reserved, firstFlag}, ""});
  return 0;
}

int32_t RecordingHost::RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height, int32_t reserved) {
  Record(HostCall{HostSlot::RequestScreenMode, {}, {fullScreen, width, height, reserved}, ""});
  return 0;
}

int32_t RecordingHost::NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) {
  const int32_t c = code ? *code : -1;
  const int32_t v = value ? *value : 0;
  EventData kind = EventData::Text;
  EventAnswer answer;
  bool scripted = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto it = eventData_.find(c); it != eventData_.end()) kind = it->second;
    if (auto it = events_.find(c); it != events_.end()) {
      answer = it->second;
      scripted = true;
    }
  }
  std::string dataText = "(null)";
  if (data) {
    switch (kind) {
      case EventData::Text:
        dataText = "\"" + plat::Cp949ToUtf8(static_cast<const char*>(data)) + "\"";
        break;
      case EventData::Bytes:
        dataText = "[" + HexBytes(std::string_view(static_cast<const char*>(data), static_cast<size_t>(std::max(v, 0)))) + "]";
        break;
      case EventData::Buffer:
        dataText = "(buffer)";
        break;
    }
  }
  Record(HostCall{HostSlot::NotifyEvent, {dataText}, {userNo, c, v}, ""});
  if (!scripted) return 0;
  if (answer.writeData && data && v > 0) {
    const size_t n = std::min(answer.dataBack.size(), static_cast<size_t>(v) - 1);
    std::memcpy(data, answer.dataBack.data(), n);
    static_cast<char*>(data)[n] = '\0';
  }
  if (answer.writeValue && value) *value = answer.valueBack;
  return answer.result;
}

std::vector<HostCall> RecordingHost::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::vector<HostCall> RecordingHost::CallsTo(HostSlot slot) const {
  std::vector<HostCall> out;
  for (const HostCall& c : Calls()) {
    if (c.slot == slot) out.push_back(c);
  }
  return out;
}

std::vector<std::string> RecordingHost::Transcript() const {
  std::vector<std::string> out;
  for (const HostCall& c : Calls()) out.push_back(c.ToString());
  return out;
}

std::vector<std::string> RecordingHost::SentBytes() const {
  std::vector<std::string> out;
  for (const HostCall& c : CallsTo(HostSlot::Send)) out.push_back(c.bytes);
  return out;
}

void RecordingHost::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

void RecordingHost::ScriptSendResults(std::vector<int32_t> results, int32_t fallback) {
  std::lock_guard<std::mutex> lock(mutex_);
  sendResults_.assign(results.begin(), results.end());
  sendFallback_ = fallback;
}

void RecordingHost::ScriptAvatar(const std::string& userKeyUtf8, const std::string& avatarUtf8) {
  std::lock_guard<std::mutex> lock(mutex_);
  avatars_[userKeyUtf8] = avatarUtf8;
}

void RecordingHost::ScriptEvent(int32_t code, EventAnswer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_[code] = std::move(answer);
}

void RecordingHost::SetEventData(int32_t code, EventData kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  eventData_[code] = kind;
}

}  // namespace testing_support
