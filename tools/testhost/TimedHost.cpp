// Each slot stamps, records, and (for Send) shows the command to the observer.
#include "testhost/TimedHost.h"

#include "plat/time.h"

namespace testhost {

int32_t TimedHost::Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) {
  const int32_t r = Stamped([&] { return recorder_.Send(channel, kind, data, length); });
  if (sendObserver_) sendObserver_(data, length);
  return r;
}
int32_t TimedHost::GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) {
  return Stamped([&] { return recorder_.GetAvatar(userKey, avatarKey, out); });
}
int32_t TimedHost::SetText(BSTR text, uint32_t code, BSTR secondText) {
  return Stamped([&] { return recorder_.SetText(text, code, secondText); });
}
int32_t TimedHost::SetPlayState(uint32_t state) {
  return Stamped([&] { return recorder_.SetPlayState(state); });
}
int32_t TimedHost::SetPlayerList(BSTR userNumbers) {
  return Stamped([&] { return recorder_.SetPlayerList(userNumbers); });
}
int32_t TimedHost::AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face, int32_t firstFlag) {
  return Stamped([&] { return recorder_.AddText(text, weight, style, reserved, face, firstFlag); });
}
int32_t TimedHost::RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height, int32_t reserved) {
  return Stamped([&] { return recorder_.RequestScreenMode(fullScreen, width, height, reserved); });
}
int32_t TimedHost::NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) {
  return Stamped([&] { return recorder_.NotifyEvent(userNo, code, data, value); });
}

std::vector<std::pair<DWORD, testing_support::HostCall>> TimedHost::TimedCalls() const {
  std::lock_guard<std::mutex> hold(mutex_);
  const auto calls = recorder_.Calls();
  std::vector<std::pair<DWORD, testing_support::HostCall>> out;
  for (size_t i = 0; i < calls.size() && i < ticks_.size(); ++i) out.emplace_back(ticks_[i], calls[i]);
  return out;
}

}  // namespace testhost
