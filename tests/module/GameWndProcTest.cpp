// The game window's message table as the host's message loop drives it: the ready
// gate, the scene's input, activation, the drag strip and the private messages.
#include <gtest/gtest.h>

#include "GameWindowFixture.h"
#include "widgets/GDDScreen.h"

namespace {

using game_window_test::GameWindowFixture;
using GameWndProcTest = GameWindowFixture;

// `reaches`: what the probe records, "" for nothing.
struct Message { UINT msg; WPARAM w; LPARAM l; LRESULT result; const char* reaches; };
// The Alt key's message arrives as a plain key press, both words unsigned; a captured
// drag left of the window arrives with a negative x.
const Message kMessages[] = {
    {WM_KEYDOWN, VK_F1, 0x003B0001, 0, "KeyDown 112 1 59 (0, 0)"},
    {WM_SYSKEYDOWN, 'X', static_cast<LPARAM>(0xA02D0001u), 0, "KeyDown 88 1 41005 (0, 0)"},
    {WM_KEYUP, 'Q', static_cast<LPARAM>(0xC0100001u), 0, "KeyUp 81 1 49168 (0, 0)"},
    {WM_CHAR, 'q', 1, 0, "Char 113 1 0 (0, 0)"},
    {WM_IME_COMPOSITION, 0xB0A1, 0x800, 0, "ImeComposition 45217 2048 0 (0, 0)"},
    {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(5, 6), 0, "LButtonUp 4 0 0 (5, 6)"},
    {WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 6), 0, "LButtonDblClk 0 0 0 (5, 6)"},
    {WM_RBUTTONDOWN, 0, MAKELPARAM(5, 6), 0, "RButtonDown 0 0 0 (5, 6)"},
    {WM_RBUTTONUP, 0, MAKELPARAM(5, 6), 0, "RButtonUp 0 0 0 (5, 6)"},
    {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0xFFFB, 40), 0, "MouseMove 1 0 0 (-5, 40)"},
    {WM_RBUTTONDBLCLK, 0, MAKELPARAM(5, 5), 0, ""},
    {WM_MBUTTONDOWN, 0, MAKELPARAM(5, 5), 0, ""},
    {WM_MBUTTONUP, 0, MAKELPARAM(5, 5), 0, ""},
    {WM_MBUTTONDBLCLK, 0, MAKELPARAM(5, 5), 0, ""},
    {WM_GAME_IGNORED, 1, 2, 0, ""},
    {WM_GAME_SCREEN_READY, 0, 0, 0, ""},
    {WM_SETFOCUS, 0, 0, 0, ""},
    {WM_KILLFOCUS, 0, 0, 0, ""},
    {WM_GETTEXTLENGTH, 0, 0, 22, ""},
};

std::string Recorded(const widget_test::Journal::Input& in) {
  return in.what + " " + std::to_string(in.a) + " " + std::to_string(in.b) + " " + std::to_string(in.c) + " (" +
         std::to_string(in.pt.x) + ", " + std::to_string(in.pt.y) + ")";
}

TEST_F(GameWndProcTest, ReadySceneHandsInputToItsWidgetsAndAnswersTheRest) {
  Open(0);
  EXPECT_EQ(scene_->GetRect(), GRect(0, 0, 800, 600));
  scene_->SetFocusWnd(AddProbe(GRect(-100, 0, 800, 600)));
  for (const Message& m : kMessages) {
    SCOPED_TRACE(m.msg);
    log_.clear();
    EXPECT_EQ(Send(m.msg, m.w, m.l), m.result);
    if (*m.reaches) {
      ASSERT_EQ(log_.size(), 1u);
      EXPECT_EQ(Recorded(log_[0]), m.reaches);
    } else {
      EXPECT_TRUE(log_.empty());
    }
  }
  int32_t handled = 0;
  scene_->SetHostMessageHandler(HM_USER_AVATAR, [&](CDorvik2VWS&, HostMessage&) { ++handled; });
  scene_->EnqueueHostMessage(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{7, "a"}));
  EXPECT_EQ(Send(WM_GAME_DISPATCH, 0, 0), 0);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(scene_->QueuedCount(), 0u);
}

// The top strip drags the host window when no widget takes the press.
TEST_F(GameWndProcTest, UnclaimedPressInTheStripDragsTheHostAndElsewhereCaptures) {
  Open(0);
  auto press = [&](int x, int y) {
    ReleaseCapture();
    plat::sim::ClearPostedMessages(hostWnd);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)), 0);
    return PostedToHost(WM_NCLBUTTONDOWN);
  };
  const std::vector<MSG> drag = press(10, 10);
  ASSERT_EQ(drag.size(), 1u);
  EXPECT_EQ(drag[0].wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(drag[0].lParam, MAKELPARAM(10, 10));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), game_);
  for (const GPoint pt : {GPoint(10, 30), GPoint(705, 10), GPoint(10, 20), GPoint(700, 0)}) {
    EXPECT_TRUE(press(pt.x, pt.y).empty()) << pt.x << "," << pt.y;
    EXPECT_EQ(GetCapture(), game_) << pt.x << "," << pt.y;
  }
  AddProbe(GRect(0, 0, 50, 50), /*takes=*/1);
  EXPECT_TRUE(press(10, 10).empty()) << "a widget took it";
  EXPECT_EQ(log_.size(), 1u);
  AddProbe(GRect(0, 0, 50, 50), /*takes=*/0);
  EXPECT_EQ(press(10, 10).size(), 1u) << "a widget that declines";
  AddProbe(GRect(0, 0, 800, 600));
  scene_->SetInputEnabled(0);
  log_.clear();
  EXPECT_EQ(press(300, 300).size(), 1u) << "with input off any press drags";
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GameWndProcTest, ActivationForcesAFullRedrawAndTheVolumeCountdown) {
  Open(0);
  for (UINT msg : {WM_ACTIVATE, WM_ACTIVATEAPP}) {
    scene_->Draw(nullptr, GRect());
    ASSERT_FALSE(scene_->IsFullRedraw());
    scene_->SetVolumeCountdown(0);
    EXPECT_EQ(Send(msg, 1, 0), 0);
    EXPECT_TRUE(scene_->IsFullRedraw()) << msg;
    EXPECT_TRUE(scene_->IsDirty()) << msg;
    EXPECT_EQ(scene_->VolumeCountdown(), 20) << msg;
  }
  // The game tick counts it down only while there is a volume below full to re-apply;
  // a tick comes at most once per tick period.
  auto tick = [&] {
    plat::sim::AdvanceClock(CSceneTimers::kTickMs);
    Send(WM_TIMER, CDorvik2VWS::kTickTimer, 0);
  };
  scene_->SetEffectVolume(0);
  tick();
  EXPECT_EQ(scene_->VolumeCountdown(), 20);
  scene_->SetEffectVolume(-2000);
  tick();
  EXPECT_EQ(scene_->VolumeCountdown(), 19);
  EXPECT_EQ(scene_->EffectVolume(), -2000);
  scene_->SetEffectVolume(-10000);
  tick();
  EXPECT_EQ(scene_->VolumeCountdown(), 18);
  EXPECT_EQ(scene_->EffectVolume(), -10000) << "silence stays silence";
}

}  // namespace
