// What the message box shows: button frames by state, the drag, and a pinned picture
// over the game window (frame pieces, texts and the dotted heading line).
#include "MsgBoxTestSupport.h"
#include "plat/gdi.h"

using namespace msgbox_test;

namespace {

using MsgBoxDrawing = MsgBoxTest;

TEST_F(MsgBoxDrawing, ARealPressShowsThePressedFrameAndFocusMovesTheFocusedOne) {
  std::vector<std::pair<uint32_t, uint32_t>> frames;  // (yes, no) button pixels per look
  const int32_t answer = Show("press", CMsgBoxDlg::kTypeYesNo, 0, "", [&](HWND d, int call) {
    const Seen s = Look(d);
    frames.emplace_back(s.capture.At(s.button[0].left + 1, s.button[0].top + 1),
                        s.capture.At(s.button[1].left + 1, s.button[1].top + 1));
    const POINT yes = ButtonCentre(d, 1);
    const POINT no = ButtonCentre(d, 2);
    switch (call) {
      case 0: plat::sim::MouseDown(d, no.x, no.y); break;      // focus moves to No, pressed
      case 1: plat::sim::MouseMove(d, yes.x, yes.y); break;    // slides off: No stays focused
      case 2: EnableWindow(GetDlgItem(d, 1), FALSE); break;  // Yes disabled
      default: plat::sim::MouseUp(d, yes.x, yes.y), plat::sim::PressKey(VK_ESCAPE); break;
    }
  });
  EXPECT_EQ(answer, 2);
  ASSERT_GE(frames.size(), 4u);
  EXPECT_EQ(frames[0], std::make_pair(StripColour("yes", 1), StripColour("no", 0))) << "Yes has the focus";
  EXPECT_EQ(frames[1], std::make_pair(StripColour("yes", 0), StripColour("no", 2))) << "No pressed and focused";
  EXPECT_EQ(frames[2], std::make_pair(StripColour("yes", 0), StripColour("no", 1))) << "No focused, not pressed";
  EXPECT_EQ(frames[3].first, StripColour("yes", 3)) << "Yes disabled";
}

// Dialogs draw through GDI into 32-bit window stores whatever the desktop's depth, so
// the 5-6-5 desktop shows the same picture as the 32-bit one.
TEST_F(MsgBoxDrawing, YesNoBoxWithHeadingOverTheGameWindowMatchesItsPinnedPicture) {
  struct Case { plat::sim::DisplayFormat format; const char* name; const char* hash; };
  const Case cases[] = {{plat::sim::DisplayFormat::Xrgb8888, "msgbox-yesno-32", "e9e75c7f05a7a466"},
                        {plat::sim::DisplayFormat::Rgb565, "msgbox-yesno-565", "e9e75c7f05a7a466"}};
  for (const Case& k : cases) {
    plat::sim::SetDesktopFormat(k.format);
    plat::sim::RgbImage desktop;
    Show("첫째 줄입니다\nsecond line, longer than the first\n셋째", CMsgBoxDlg::kTypeYesNo, 0, "알림 Notice",
         [&](HWND, int call) {
           if (call != 0) return;
           desktop = plat::sim::CaptureDesktop();
           plat::sim::PressKey(VK_ESCAPE);
         });
    plat::sim::SetDesktopFormat(plat::sim::DisplayFormat::Xrgb8888);
    const plat::sim::FrameCheck check = plat::sim::CheckFrame(desktop, k.name, k.hash);
    EXPECT_TRUE(check.matches) << k.name << ": hash " << check.actualHash << ", picture in " << check.actualPath;
  }
}

}  // namespace
