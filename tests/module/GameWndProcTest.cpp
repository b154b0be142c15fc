// The game window's message table as the host's message loop drives it: the ready
// gate, the scene's input, activation, the drag strip and the private messages.
#include <gtest/gtest.h>

#include "GameWindowFixture.h"

namespace {

using game_window_test::GameWindowFixture;
using GameWndProcTest = GameWindowFixture;

TEST_F(GameWndProcTest, SceneKnowsTheScreenRectangle) {
  Open(0);
  EXPECT_EQ(scene_->GetRect(), GRect(0, 0, 800, 600));
}

TEST_F(GameWndProcTest, BeforeTheSceneIsReadyOnlyPaintingActs) {
  Open(0, /*buildResult=*/0);
  scene_->SetFocusWnd(AddProbe(GRect(0, 0, 800, 600)));
  RECT dirty{};
  InvalidateRect(game_, nullptr, FALSE);
  EXPECT_EQ(Send(WM_PAINT, 0, 0), 0);
  EXPECT_FALSE(GetUpdateRect(game_, &dirty, FALSE)) << "the paint handler validated the window";

  EXPECT_EQ(Send(WM_GETTEXTLENGTH, 0, 0), 22) << "default processing, and its result";
  Send(WM_KEYDOWN, 'A', 1);
  Send(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  Send(WM_ACTIVATE, WA_ACTIVE, 0);
  scene_->EnqueueHostMessage(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{7, "a"}));
  Send(WM_GAME_DISPATCH, 0, 0);
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(PostedToHost(WM_NCLBUTTONDOWN).empty());
  EXPECT_EQ(scene_->volumeCountdown, 0);
  EXPECT_EQ(scene_->QueuedCount(), 1u);
}

TEST_F(GameWndProcTest, ReadySceneGetsKeysCharactersAndIme) {
  Open(0);
  scene_->SetFocusWnd(AddProbe(GRect(0, 0, 10, 10)));
  EXPECT_EQ(Send(WM_KEYDOWN, VK_F1, static_cast<LPARAM>(0x003B0001)), 0);
  EXPECT_EQ(Send(WM_SYSKEYDOWN, 'X', static_cast<LPARAM>(0xA02D0001u)), 0);
  Send(WM_KEYUP, 'Q', static_cast<LPARAM>(0xC0100001u));
  Send(WM_CHAR, 'q', 1);
  Send(WM_IME_COMPOSITION, 0xB0A1, 0x800);
  ASSERT_EQ(log_.size(), 5u);
  EXPECT_EQ(log_[0].what, "KeyDown");
  EXPECT_EQ(log_[0].a, UINT{VK_F1});
  // The Alt key's message arrives as a plain key press, both words unsigned.
  EXPECT_EQ(log_[1].what, "KeyDown");
  EXPECT_EQ(log_[1].a, UINT{'X'});
  EXPECT_EQ(log_[1].b, 1u);
  EXPECT_EQ(log_[1].c, 0xA02Du);
  EXPECT_EQ(log_[2].what, "KeyUp");
  EXPECT_EQ(log_[2].c, 0xC010u);
  EXPECT_EQ(log_[3].what, "Char");
  EXPECT_EQ(log_[4].what, "ImeComposition");
  EXPECT_EQ(log_[4].a, 0xB0A1u);
}

TEST_F(GameWndProcTest, MouseMessagesReachTheWidgetUnderThePointer) {
  Open(0);
  AddProbe(GRect(-100, 0, 800, 600));
  Send(WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(5, 6));
  Send(WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 6));
  Send(WM_RBUTTONDOWN, 0, MAKELPARAM(5, 6));
  Send(WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
  // A captured drag left of the window arrives with a negative x.
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0xFFFB, 40));
  ASSERT_EQ(log_.size(), 5u);
  EXPECT_EQ(log_[0].what, "LButtonUp");
  EXPECT_EQ(log_[0].a, UINT{MK_SHIFT});
  EXPECT_EQ(log_[0].pt, GPoint(5, 6));
  EXPECT_EQ(log_[1].what, "LButtonDblClk");
  EXPECT_EQ(log_[2].what, "RButtonDown");
  EXPECT_EQ(log_[3].what, "RButtonUp");
  EXPECT_EQ(log_[4].what, "MouseMove");
  EXPECT_EQ(log_[4].pt, GPoint(-5, 40));
}

TEST_F(GameWndProcTest, RightDoubleClicksAndMiddleButtonsTakeTheDefaultPath) {
  Open(0);
  AddProbe(GRect(0, 0, 800, 600));
  for (UINT msg : {WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}) {
    EXPECT_EQ(Send(msg, 0, MAKELPARAM(5, 5)), 0) << msg;
  }
  EXPECT_TRUE(log_.empty());
}

TEST_F(GameWndProcTest, ActivationForcesAFullRedrawAndTheVolumeCountdown) {
  Open(0);
  for (UINT msg : {WM_ACTIVATE, WM_ACTIVATEAPP}) {
    DrawOnce();
    ASSERT_FALSE(scene_->IsFullRedraw());
    scene_->volumeCountdown = 0;
    EXPECT_EQ(Send(msg, 1, 0), 0);
    EXPECT_TRUE(scene_->IsFullRedraw()) << msg;
    EXPECT_TRUE(scene_->IsDirty()) << msg;
    EXPECT_EQ(scene_->volumeCountdown, 20) << msg;
  }
  // The game tick counts it down only while there is a volume below full to re-apply.
  scene_->SetEffectVolume(0);
  Send(WM_TIMER, CDorvik2VWS::kTickTimer, 0);
  EXPECT_EQ(scene_->volumeCountdown, 20);
  scene_->SetEffectVolume(-2000);
  Send(WM_TIMER, CDorvik2VWS::kTickTimer, 0);
  EXPECT_EQ(scene_->volumeCountdown, 19);
  EXPECT_EQ(scene_->EffectVolume(), -2000);
  scene_->SetEffectVolume(-10000);
  Send(WM_TIMER, CDorvik2VWS::kTickTimer, 0);
  EXPECT_EQ(scene_->volumeCountdown, 18);
  EXPECT_EQ(scene_->EffectVolume(), -10000) << "silence stays silence";
}

TEST_F(GameWndProcTest, PrivateMessagesAreTheWindowsOwn) {
  Open(0);
  EXPECT_EQ(Send(WM_GAME_IGNORED, 1, 2), 0);
  EXPECT_EQ(Send(WM_GAME_SCREEN_READY, 0, 0), 0);
  int32_t handled = 0;
  scene_->SetHostMessageHandler(HM_USER_AVATAR, [&](CDorvik2VWS&, HostMessage&) { ++handled; });
  scene_->EnqueueHostMessage(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{7, "a"}));
  EXPECT_EQ(Send(WM_GAME_DISPATCH, 0, 0), 0);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(scene_->QueuedCount(), 0u);
  EXPECT_EQ(Send(WM_SETFOCUS, 0, 0), 0);
  EXPECT_EQ(Send(WM_KILLFOCUS, 0, 0), 0);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH, 0, 0), 22);
}

// ---- The drag strip ----

TEST_F(GameWndProcTest, UnclaimedPressInTheStripDragsTheHostWindow) {
  Open(0);
  const LPARAM at = MAKELPARAM(10, 10);
  EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, at), 0);
  const std::vector<MSG> posted = PostedToHost(WM_NCLBUTTONDOWN);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(posted[0].lParam, at);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), game_);
}

TEST_F(GameWndProcTest, PressBelowOrRightOfTheStripCapturesInstead) {
  Open(0);
  for (const GPoint pt : {GPoint(10, 30), GPoint(705, 10), GPoint(10, 20), GPoint(700, 0)}) {
    ReleaseCapture();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(GetCapture(), game_) << pt.x << "," << pt.y;
  }
  EXPECT_TRUE(PostedToHost(WM_NCLBUTTONDOWN).empty());
}

TEST_F(GameWndProcTest, WidgetTakingThePressKeepsTheHostStill) {
  Open(0);
  AddProbe(GRect(0, 0, 50, 50), /*takes=*/1);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_TRUE(PostedToHost(WM_NCLBUTTONDOWN).empty());
  ASSERT_EQ(log_.size(), 1u);
  // A widget that declines lets the strip drag the host after all.
  AddProbe(GRect(0, 0, 50, 50), /*takes=*/0);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(PostedToHost(WM_NCLBUTTONDOWN).size(), 1u);
}

TEST_F(GameWndProcTest, FullScreenHasNoDragStrip) {
  Open(1);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_TRUE(PostedToHost(WM_NCLBUTTONDOWN).empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GameWndProcTest, WithInputOffAnyPressDragsTheHost) {
  Open(0);
  AddProbe(GRect(0, 0, 800, 600));
  scene_->SetInputEnabled(0);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 300));
  EXPECT_EQ(PostedToHost(WM_NCLBUTTONDOWN).size(), 1u);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
