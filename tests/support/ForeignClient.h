// An IClientInterface made by the host, not by the module: what the exports must
// recognise and refuse.
#pragma once

#include "host/Dorvik2Api.h"

namespace testing_support {

class ForeignClient final : public IClientInterface {
 public:
  int32_t OnReceive(uint32_t, uint32_t, const BYTE*, int32_t*) override { return 0; }
  int32_t Reserved1(uint32_t) override { return 0; }
  int32_t Reserved2(uint32_t) override { return 0; }
  int32_t Reserved3(uint32_t, uint32_t) override { return 0; }
  int32_t SetPlayerAvatar(const char16_t*, const char16_t*) override { return 0; }
  int32_t SetPlayerDisplayName(const char16_t*, const char16_t*) override { return 0; }
  int32_t IsUserFree(const char16_t*, uint32_t, uint32_t) override { return 0; }
  int32_t SetUserValue(const char16_t*, const char16_t*) override { return 0; }
  int32_t RequestExit(uint32_t) override { return 0; }
  int32_t ResetRoomView(uint32_t) override { return 0; }
  int32_t RefreshScreen(uint32_t) override { return 0; }
  int32_t UserCommand(uint32_t, uint32_t, const char16_t*, uint32_t, uint32_t) override { return 0; }
  int32_t SetStatusText(const char16_t*) override { return 0; }
  int32_t SetScreenMode(int32_t, int32_t, int32_t, uint32_t) override { return 0; }
  int32_t OnHostEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }
  int32_t Reserved15(uint32_t) override { return 0; }
};

}  // namespace testing_support
