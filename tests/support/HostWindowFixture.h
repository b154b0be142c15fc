// A host's frame window and game windows made in it through the exports or directly;
// all go before the window system is reset, so nothing reaches the next test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "support/RecordingHost.h"

namespace testing_support {

// Watches the file layer's opens through its open hook while it lives: which thread
// opened what, and optionally holds the first thread that opens a name ending in
// `holdAt` until Release (or until `until` answers true, polled in real time), or
// throws there.
class OpenWatch {
 public:
  struct Options {
    std::string holdAt{};
    std::function<bool()> until{};
    std::string throwAt{};
  };
  OpenWatch() : OpenWatch(Options{}) {}
  explicit OpenWatch(Options options);
  ~OpenWatch();
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;
  // The holding thread arrived (real milliseconds).
  bool WaitHeld(DWORD ms);
  // The held thread left the hook (real milliseconds).
  bool WaitLeft(DWORD ms);
  void Release();
  // Opens of names containing `part`: how many, and the thread of the first (0: none).
  int32_t Count(const std::string& part) const;
  DWORD FirstThread(const std::string& part) const;
  // Every name asked for, in order.
  std::vector<std::string> Names() const;

 private:
  void OnOpen(const std::string& path);
  Options options_;
  HANDLE held_ = nullptr;
  HANDLE left_ = nullptr;
  HANDLE release_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, DWORD>> opens_;
  bool holdUsed_ = false;
};

class HostWindowFixture : public testing::Test {
 protected:
  static constexpr const char* kHostClass = "HostFrame";
  static constexpr DWORD kThreadWaitMs = 10000;
  static constexpr const char* kGameFolder = "D:\\game\\";
  // The synthetic data's pictures stand behind the game folder's image folder.
  static constexpr const char* kImageFolder = "D:\\game\\GameImage\\";
  // A folder of the image folder ("Back", or "" for all of it) that shows no files, so
  // that the build finds a file missing.
  static void HideImages(const std::string& subFolder);
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
