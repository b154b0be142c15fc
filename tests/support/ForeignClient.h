// An IClientInterface made by the host, not by the module: what the exports must
// recognise and refuse.
#pragma once

#include "host/Dorvik2Api.h"

namespace testing_support {

class ForeignClient final : public IClientInterface {
 public:
  int32_t STDMETHODCALLTYPE OnReceive(uint32_t, uint32_t, const BYTE*, int32_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE Reserved1(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE Reserved2(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE Reserved3(uint32_t, uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayerAvatar(const char16_t*, const char16_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayerDisplayName(const char16_t*, const char16_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE IsUserFree(const char16_t*, uint32_t, uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE SetUserValue(const char16_t*, const char16_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE RequestExit(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE ResetRoomView(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE RefreshScreen(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE UserCommand(uint32_t, uint32_t, const char16_t*, uint32_t, uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE SetStatusText(const char16_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE SetScreenMode(int32_t, int32_t, int32_t, uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE OnHostEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }
  int32_t STDMETHODCALLTYPE Reserved15(uint32_t) override { return 0; }
};

}  // namespace testing_support
