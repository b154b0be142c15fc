// Fuzz target of the host's events and texts through the game window's entry points, on
// a table built from the synthetic data with the client and another user seated.
//
// The input is a run of calls, each a four-byte head and a text:
//   byte 0  the entry, modulo six: OnHostEvent, SetPlayerAvatar, SetUserValue,
//           SetPlayerDisplayName, UserCommand, SetStatusText;
//   byte 1  the event code (signed) or, for UserCommand, the command code;
//   byte 2  bits 0-1 the user: the client, the other, a user at no seat, or one whose id
//           nobody has; bit 2 hands a null text (or event data), bit 3 a null value;
//   byte 3  the event's value (signed);
// then the text as UTF-16 units, low byte first, up to a zero unit (which ends the call;
// the next head follows it) or the end of the input. Event data is that text, in a
// buffer no shorter than the 32-byte record event 22 reads.
//
// Whatever the calls, only the presence event answers 1; a notice the client gets
// either shows with a time of at most two digits or leaves the ticker stopped, and its
// fields are text of the notice; a name or status text given is the one kept; and every
// avatar stands at its side.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzGameTable.h"
#include "base/TextUtil.h"
#include "panels/CCheckNotice.h"
#include "plat/sim.h"

namespace {

constexpr size_t kMaxInput = 1u << 12;
constexpr int32_t kMaxCalls = 16;
constexpr size_t kHeadBytes = 4;
constexpr uint32_t kTickMs = 50;
// Event data is at least the record event 22 reads (eight 32-bit words).
constexpr size_t kMinDataUnits = 16;
constexpr int32_t kMaxNoticeTime = 99;

enum Entry : uint8_t { kHostEvent, kAvatar, kUserValue, kDisplayName, kUserCommand, kStatusText, kEntries };
constexpr uint8_t kUserBits = 0x03;
constexpr uint8_t kNullText = 0x04;
constexpr uint8_t kNullValue = 0x08;
constexpr uint32_t kSeatlessUser = 0;
constexpr uint32_t kUnknownUser = 999;
constexpr const char16_t* kUnknownId = u"nobody";

constexpr int32_t kNoticeEvent = 24;
constexpr int32_t kButtonEvent = 27;
constexpr int32_t kPresenceEvent = 29;
// Button words that close the window the run keeps using.
constexpr std::string_view kClosingWords[] = {"exit", "cancelexit"};
constexpr std::string_view kNoticeFields[] = {"TYPE", "TIME", "MSG"};

struct Call {
  uint8_t entry = 0;
  int8_t code = 0;
  uint8_t flags = 0;
  int8_t value = 0;
  std::u16string text;
};

// Cuts the next call off the front of `rest`; false when no whole head is left.
bool NextCall(std::string_view& rest, Call& call) {
  if (rest.size() < kHeadBytes) return false;
  call.entry = static_cast<uint8_t>(static_cast<uint8_t>(rest[0]) % kEntries);
  call.code = static_cast<int8_t>(rest[1]);
  call.flags = static_cast<uint8_t>(rest[2]);
  call.value = static_cast<int8_t>(rest[3]);
  rest.remove_prefix(kHeadBytes);
  call.text.clear();
  while (rest.size() >= 2) {
    const auto unit = static_cast<char16_t>(static_cast<uint8_t>(rest[0]) | static_cast<uint8_t>(rest[1]) << 8);
    rest.remove_prefix(2);
    if (unit == 0) return true;
    call.text.push_back(unit);
  }
  rest = {};
  return true;
}

uint32_t UserNo(uint8_t flags) {
  constexpr uint32_t kUsers[] = {kFuzzMe, kFuzzOther, kSeatlessUser, kUnknownUser};
  return kUsers[flags & kUserBits];
}

const char16_t* UserId(uint8_t flags) {
  constexpr const char16_t* kIds[] = {kFuzzMyId, kFuzzOtherId, u"", kUnknownId};
  return kIds[flags & kUserBits];
}

void CheckNotice(CDorvik2VWS& scene, const std::string& notice) {
  CCheckNotice* ticker = scene.NoticeTicker();
  if (!ticker) __builtin_trap();
  if (!ticker->IsShown() && (ticker->Stage() != CCheckNotice::kStageNone || ticker->NoticeTime() != 0))
    __builtin_trap();
  if (ticker->IsShown() && (ticker->NoticeTime() < 0 || ticker->NoticeTime() > kMaxNoticeTime)) __builtin_trap();
  for (std::string_view name : kNoticeFields)
    if (notice.find(CCheckNotice::FieldValue(notice, name)) == std::string::npos) __builtin_trap();
}

void HostEvent(IClientInterface* client, CDorvik2VWS& scene, const Call& call) {
  const std::string text = WideToMultiByte(call.text);
  if (call.code == kButtonEvent &&
      std::find(std::begin(kClosingWords), std::end(kClosingWords), text) != std::end(kClosingWords))
    return;
  std::vector<char16_t> data(std::max(call.text.size() + 1, kMinDataUnits), 0);
  std::copy(call.text.begin(), call.text.end(), data.begin());
  int32_t code = call.code;
  int32_t value = call.value;
  const bool nullText = call.flags & kNullText;
  const int32_t answer = client->OnHostEvent(UserNo(call.flags), &code, nullText ? nullptr : data.data(),
                                             call.flags & kNullValue ? nullptr : &value);
  if (answer != (call.code == kPresenceEvent ? 1 : 0)) __builtin_trap();
  if (call.code == kNoticeEvent && UserNo(call.flags) == kFuzzMe && !nullText) CheckNotice(scene, text);
}

void RunCall(IClientInterface* client, CDorvik2VWS& scene, const Call& call) {
  const char16_t* text = call.flags & kNullText ? nullptr : call.text.c_str();
  const char16_t* id = UserId(call.flags);
  const std::string given = WideToMultiByte(text);
  int32_t answer = 0;
  switch (call.entry) {
    case kHostEvent:
      HostEvent(client, scene, call);
      break;
    case kAvatar:
      answer = client->SetPlayerAvatar(id, text);
      break;
    case kUserValue:
      answer = client->SetUserValue(id, text);
      if (scene.PendingLeaveValue() != LeadingInt32(given)) __builtin_trap();
      break;
    case kDisplayName:
      answer = client->SetPlayerDisplayName(id, text);
      // The client and the other sit in the seats their user bits number.
      if ((call.flags & kUserBits) < CDorvik2VWS::kSeats && scene.GetPlayer(call.flags & kUserBits).nickname != given)
        __builtin_trap();
      break;
    case kUserCommand:
      answer = client->UserCommand(static_cast<uint8_t>(call.code), UserNo(call.flags), text, 0, 0);
      break;
    case kStatusText:
      answer = client->SetStatusText(text);
      if (scene.StatusText() != given) __builtin_trap();
      break;
    default:
      __builtin_trap();
  }
  if (answer != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  IClientInterface* client = FuzzGameTable("fuzz-host-event");
  CDorvik2VWS& scene = *dynamic_cast<CDorvik2Wnd*>(client)->Scene();
  // Each input starts on an empty queue, a stopped ticker and both users seated.
  scene.ResetGameState();
  if (CCheckNotice* ticker = scene.NoticeTicker()) ticker->StopNotice();
  FuzzSeatBoth(scene);
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  Call call;
  for (int32_t n = 0; n < kMaxCalls && NextCall(rest, call); ++n) {
    RunCall(client, scene, call);
    plat::sim::Advance(kTickMs);
  }
  FuzzCheckAvatars(scene);
  return 0;
}
