// The module loaded from Dorvik2.so as a host loads it: only the exports reachable, its
// own class and template, and the test host's transcript and picture of a window.
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "plat/sim.h"
#include "plat/user.h"
#include "support/ForeignClient.h"

namespace {

constexpr uint32_t kLoaderWaitRealMs = 10000;

using testing_support::ForeignClient;

class LoadedModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(host.LoadModule(DORVIK2_MODULE_FILE, error)) << error;
    plat::sim::MapPathPrefix("C:\\g\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
  }
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
  }
  // The game window made, initialised and loaded.
  HWND Started(int32_t threaded) {
    EXPECT_EQ(host.Create(), 0);
    const HWND game = host.Init(u"C:\\g\\", u"C:\\p\\", threaded);
    EXPECT_TRUE(game && host.WaitForLoader(kLoaderWaitRealMs));
    return game;
  }
  testhost::TestHost host;
};

// Registered at load under the library's own handle; the host's modal hook answers it.
TEST_F(LoadedModuleTest, TheLoadedModuleOwnsTemplate101AndTheHostsModalHookAnswersIt) {
  const HMODULE self = GetModuleHandleA("Dorvik2");
  ASSERT_NE(self, nullptr);
  const plat::DialogTemplate* t = plat::FindDialogTemplate(self, MAKEINTRESOURCEA(101));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->items.size(), 2u);
  std::vector<HWND> seen;
  host.OnModal([&](HWND dialog) {
    seen.push_back(dialog);
    plat::sim::PressKey(VK_ESCAPE);
  });
  auto plain = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
    if (msg == WM_COMMAND) EndDialog(dialog, LOWORD(wParam));
    return msg == WM_INITDIALOG || msg == WM_COMMAND;
  };
  EXPECT_EQ(DialogBoxParamA(self, MAKEINTRESOURCEA(101), host.HostWindow(), plain, 0), IDCANCEL);
  host.OnModal(nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(IsWindow(seen[0]));
}

TEST_F(LoadedModuleTest, TranscriptShowsTheWindowLifeInVirtualTime) {
  ASSERT_NE(Started(1), nullptr);
  host.Advance(250);
  EXPECT_EQ(host.Destroy(), 0);
  const std::vector<std::string> expected = {
      "     0 ms  CreateGameWnd -> 0",
      "     0 ms  InitGameWnd(threaded 1) -> window",
      "     0 ms  host NotifyEvent(4294967295, 45, \"macro\", 17)",
      "     0 ms  posted WM_GAME_LOADED(1, 0)",
      "   250 ms  DestroyGameWnd -> 0",
  };
  EXPECT_EQ(host.Transcript(), expected);
}

TEST_F(LoadedModuleTest, GameWindowPictureIsWrittenAsAn800By600Png) {
  ASSERT_NE(Started(0), nullptr);
  const std::string path = (std::filesystem::temp_directory_path() / ("dorvik2-testhost-frame-" + std::to_string(::getpid()) + ".png")).string();
  std::string error;
  ASSERT_TRUE(host.WriteGamePicture(path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> head(24);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  ASSERT_TRUE(in.good());
  auto be32 = [&](size_t at) {
    return (uint32_t{head[at]} << 24) | (uint32_t{head[at + 1]} << 16) | (uint32_t{head[at + 2]} << 8) | head[at + 3];
  };
  EXPECT_EQ(head[1], 'P');
  EXPECT_EQ(be32(16), 800u);
  EXPECT_EQ(be32(20), 600u);
  std::filesystem::remove(path);
  EXPECT_EQ(host.Destroy(), 0);
  EXPECT_FALSE(host.WriteGamePicture(path, error));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
