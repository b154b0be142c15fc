// The game window's message box: the template registered by the module's load-time
// initialiser, the bitmaps from the window's game folder, the box over the window.
#include <gtest/gtest.h>

#include "MsgBoxTestSupport.h"
#include "module/CDorvik2Wnd.h"
#include "scene/CDorvik2VWS.h"
#include "support/RecordingHost.h"

using namespace msgbox_test;

namespace {

class GameWindowMsgBox : public MsgBoxTest {
 protected:
  void TearDown() override {
    if (client_) DestroyGameWnd(client_);
    MsgBoxTest::TearDown();
  }
  testing_support::RecordingHost recorder_;
  IClientInterface* client_ = nullptr;
};

// The box is owned by the top-level window above the game window, and is skinned
// (200 wide) and centred only if the game folder's bitmaps were found.
TEST_F(GameWindowMsgBox, ShowMsgBoxRunsTemplate101OverTheGameWindowWithItsFoldersBitmaps) {
  plat::sim::MapPathPrefix("C:\\Game\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
  ASSERT_EQ(CreateGameWnd(&recorder_, &client_), 0);
  const HWND gameWnd = InitGameWnd(client_, 0, host_, u"C:\\Game\\", u"C:\\Portal\\", u"", 0, 0, 0, 0, 0);
  ASSERT_NE(gameWnd, nullptr);
  HWND owner = nullptr;
  RECT window{};
  plat::sim::SetModalHook([&](HWND d) {
    owner = GetWindow(d, GW_OWNER);
    GetWindowRect(d, &window);
    plat::sim::PressKey(VK_RETURN);
  });
  auto* wnd = dynamic_cast<CDorvik2Wnd*>(client_);
  EXPECT_EQ(wnd->ShowMsgBox("notice", CMsgBoxDlg::kTypeOk, 3000, "", kHeadingColour), 1);
  plat::sim::SetModalHook(nullptr);
  EXPECT_EQ(owner, GetAncestor(gameWnd, GA_ROOT));
  EXPECT_EQ(window.left, kHostX + 3 + 300);
  EXPECT_EQ(window.top, kHostY + 3 + 240);
  EXPECT_EQ(window.right - window.left, 200);
}

}  // namespace
