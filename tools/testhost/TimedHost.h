// The host side of IHostInterface as a test host offers it: each call stamped with the
// tick it came at, then recorded (and answered) by a recording host, and every command
// shown to an observer. The headless host's ticks are virtual, the Windows host's real.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "host/Dorvik2Api.h"
#include "plat/time.h"
#include "support/RecordingHost.h"

namespace testhost {

class TimedHost : public IHostInterface {
 public:
  explicit TimedHost(testing_support::RecordingHost& recorder) : recorder_(recorder) {}

  int32_t STDMETHODCALLTYPE Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) override;
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) override;
  int32_t STDMETHODCALLTYPE SetText(BSTR text, uint32_t code, BSTR secondText) override;
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t state) override;
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR userNumbers) override;
  int32_t STDMETHODCALLTYPE AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face,
                                    int32_t firstFlag) override;
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height,
                                              int32_t reserved) override;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override;

  // Sees each command the module sends, after it is recorded, on the caller's thread.
  // Empty removes it.
  void OnSend(std::function<void(const uint8_t* data, int32_t length)> observer) { sendObserver_ = std::move(observer); }
  // The recorder's calls so far, each with the tick it came at.
  std::vector<std::pair<DWORD, testing_support::HostCall>> TimedCalls() const;

 private:
  // Stamps the call and lets the recorder answer it, under one lock so the two agree.
  template <typename Call>
  int32_t Stamped(Call call) {
    std::lock_guard<std::mutex> hold(mutex_);
    ticks_.push_back(GetTickCount());
    return call();
  }

  testing_support::RecordingHost& recorder_;
  mutable std::mutex mutex_;
  std::vector<DWORD> ticks_;  // one per recorded call
  std::function<void(const uint8_t*, int32_t)> sendObserver_;
};

}  // namespace testhost
