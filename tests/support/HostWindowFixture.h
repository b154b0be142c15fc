// A host's frame window and game windows made in it through the exports or directly;
// all go before the window system is reset, so nothing reaches the next test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "support/RecordingHost.h"

namespace testing_support {

class HostWindowFixture : public testing::Test {
 protected:
  static constexpr const char* kHostClass = "HostFrame";
  static constexpr DWORD kThreadWaitMs = 10000;
  static constexpr const char* kGameFolder = "D:\\game\\";
  void SetUp() override;
  void TearDown() override;
  // Through CreateGameWnd; destroyed on tear-down unless Destroy ended it first.
  IClientInterface* Make();
  // InitGameWnd in the host window: portal folder "D:\portal\", extra text "extra".
  HWND Init(IClientInterface* client, int32_t threaded);
  int32_t Destroy(IClientInterface* client);
  static CDorvik2Wnd* Wnd(IClientInterface* client) { return dynamic_cast<CDorvik2Wnd*>(client); }
  // The object made directly, its 800 x 600 window created in the host window with the
  // same folders but no extra text, and the scene built here; deleted on tear-down. Null,
  // with the failure recorded, when the window could not be made.
  CDorvik2Wnd* Open(int32_t fullScreen);
  static void WaitForLoader(CDorvik2Wnd* wnd);
  std::vector<MSG> PostedToHost(UINT message) const;
  RecordingHost host;
  HWND hostWnd = nullptr;
 private:
  std::vector<IClientInterface*> made_;
  std::vector<CDorvik2Wnd*> opened_;
};

}  // namespace testing_support
