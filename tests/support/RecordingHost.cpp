#include "support/RecordingHost.h"

#include <algorithm>
#include <cstring>
#include <regex>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "support/Cp949Printer.h"

namespace testing_support {

namespace {

// Event codes whose data the module sends as binary, and the one whose data is a
// buffer the host fills.
constexpr int32_t kItemRequestEvent = 22;
constexpr int32_t kHostTextEvent = 62;
const char* const kSlotNames[] = {"Send",          "GetAvatar", "SetText",           "SetPlayState",
                                  "SetPlayerList", "AddText",   "RequestScreenMode", "NotifyEvent"};

std::string Text(BSTR b) { return b ? plat::Utf16ToUtf8(std::u16string_view(plat::AsUtf16(b), SysStringLen(b))) : "(null)"; }
std::string Quoted(const std::string& s) { return s == "(null)" ? s : "\"" + s + "\""; }
std::string Num(int64_t v) { return std::to_string(v); }

}  // namespace

void RecordingHost::Record(HostSlot slot, std::vector<std::string> texts, const std::string& args, std::string bytes) {
  std::string line = std::string(kSlotNames[static_cast<int>(slot)]) + "(" + args + ")";
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(HostCall{slot, std::move(texts), std::move(bytes), std::move(line), std::this_thread::get_id()});
}

int32_t RecordingHost::Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) {
  std::string hex;
  if (data && length > 0)
    hex = HexBytes(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(length)));
  Record(HostSlot::Send, {}, Num(channel) + ", " + Num(kind) + ", [" + hex + "], " + Num(length), hex);
  std::lock_guard<std::mutex> lock(mutex_);
  if (sendResults_.empty()) return sendFallback_;
  const int32_t result = sendResults_.front();
  sendResults_.pop_front();
  return result;
}

int32_t RecordingHost::GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) {
  const std::string user = Text(userKey), avatar = Text(avatarKey);
  Record(HostSlot::GetAvatar, {user, avatar}, Quoted(user) + ", " + Quoted(avatar));
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = avatars_.find(user);
  if (it == avatars_.end() || !out) return 0;
  const std::u16string wide = plat::Utf8ToUtf16(it->second);
  *out = SysAllocStringLen(plat::AsWide(wide.data()), static_cast<UINT>(wide.size()));
  return *out ? 1 : 0;
}

int32_t RecordingHost::SetText(BSTR text, uint32_t code, BSTR secondText) {
  const std::string first = Text(text), second = Text(secondText);
  Record(HostSlot::SetText, {first, second}, Quoted(first) + ", " + Num(code) + ", " + Quoted(second));
  return 0;
}

int32_t RecordingHost::SetPlayState(uint32_t state) {
  Record(HostSlot::SetPlayState, {}, Num(state));
  return 0;
}

int32_t RecordingHost::SetPlayerList(BSTR userNumbers) {
  const std::string list = Text(userNumbers);
  Record(HostSlot::SetPlayerList, {list}, Quoted(list));
  return 0;
}

int32_t RecordingHost::AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face,
                               int32_t firstFlag) {
  const std::string run = Text(text), faceName = Text(face);
  Record(HostSlot::AddText, {run, faceName},
         Quoted(run) + ", " + Num(weight) + ", " + plat::FormatString("0x%lX", static_cast<uint32_t>(style)) + ", " +
             Num(reserved) + ", " + Quoted(faceName) + ", " + Num(firstFlag));
  return 0;
}

int32_t RecordingHost::RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height, int32_t reserved) {
  Record(HostSlot::RequestScreenMode, {}, Num(fullScreen) + ", " + Num(width) + ", " + Num(height) + ", " + Num(reserved));
  return 0;
}

int32_t RecordingHost::NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) {
  const int32_t c = code ? *code : -1;
  const int32_t v = value ? *value : 0;
  std::string shown = "(null)";
  if (data && c == kItemRequestEvent)
    shown = "[" + HexBytes(std::string_view(static_cast<const char*>(data), static_cast<size_t>(std::max(v, 0)))) + "]";
  else if (data && c == kHostTextEvent)
    shown = "(buffer)";
  else if (data)
    shown = "\"" + plat::Cp949ToUtf8(static_cast<const char*>(data)) + "\"";
  Record(HostSlot::NotifyEvent, {shown}, Num(userNo) + ", " + Num(c) + ", " + shown + ", " + Num(v));
  EventAnswer answer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = events_.find(c);
    if (it == events_.end()) return 0;
    answer = it->second;
  }
  if (answer.writeData && data && v > 0 && answer.fillWhole) {
    std::memcpy(data, answer.dataBack.data(), std::min(answer.dataBack.size(), static_cast<size_t>(v)));
  } else if (answer.writeData && data && v > 0) {
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
  std::vector<HostCall> out = Calls();
  std::erase_if(out, [slot](const HostCall& c) { return c.slot != slot; });
  return out;
}

std::vector<std::string> RecordingHost::Transcript() const {
  std::vector<std::string> out;
  for (const HostCall& c : Calls()) out.push_back(c.line);
  return out;
}

std::vector<std::string> RecordingHost::SentBytes() const {
  std::vector<std::string> out;
  for (const HostCall& c : CallsTo(HostSlot::Send)) out.push_back(c.bytes);
  return out;
}

std::vector<std::string> RecordingHost::WordlessButtonStates() const {
  static const std::regex kWordless(R"(NotifyEvent\(\d+, 45, "", -?\d+\))");
  std::vector<std::string> out;
  for (const HostCall& c : CallsTo(HostSlot::NotifyEvent))
    if (std::regex_match(c.line, kWordless)) out.push_back(c.line);
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

}  // namespace testing_support
