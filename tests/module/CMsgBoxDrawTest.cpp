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
  const Case cases[] = {{plat::sim::DisplayFormat::Xrgb8888, "msgbox-yesno-32", "c32d4c12025165c5"},
                        {plat::sim::DisplayFormat::Rgb565, "msgbox-yesno-565", "c32d4c12025165c5"}};
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

TEST_F(MsgBoxDrawing, OwnerDrawPicksTheStripFrameFromTheItemState) {
  struct Case {
    UINT state;
    int frame;
  };
  const Case cases[] = {
      {ODS_SELECTED | ODS_FOCUS, 2},
      {ODS_DISABLED, 3},
      {ODS_DISABLED | ODS_FOCUS, 3},
      {0, 0},
      {ODS_HOTLIGHT, 0},
      {ODS_DEFAULT, 0},
      {ODS_SELECTED, 0},
      {ODS_FOCUS, 1},
      {ODS_FOCUS | ODS_HOTLIGHT | ODS_DEFAULT, 1},
  };
  std::vector<uint32_t> drawn;
  Show("text", CMsgBoxDlg::kTypeYesNo, 0, "", [&](HWND d, int call) {
    if (call != 0) return;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kStripFrameWidth, -kStripFrameHeight, 1, 32, BI_RGB,
                                      0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    for (const Case& c : cases) {
      for (UINT id : {1u, 2u}) {
        DRAWITEMSTRUCT dis{ODT_BUTTON, id, 0, ODA_DRAWENTIRE, c.state, GetDlgItem(d, static_cast<int>(id)), dc,
                           RECT{0, 0, kStripFrameWidth, kStripFrameHeight}, 0};
        SendMessageA(d, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&dis));
        drawn.push_back(Xrgb(GetPixel(dc, kStripFrameWidth - 1, kStripFrameHeight - 1)));
      }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    plat::sim::PressKey(VK_ESCAPE);
  });
  ASSERT_EQ(drawn.size(), std::size(cases) * 2);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(drawn[2 * i], StripColour("yes", cases[i].frame)) << "state " << cases[i].state;
    EXPECT_EQ(drawn[2 * i + 1], StripColour("no", cases[i].frame)) << "state " << cases[i].state;
  }
}

TEST_F(MsgBoxDrawing, ALeftPressOnTheBoxAsksForACaptionDrag) {
  plat::sim::ClearDragRequests();
  Show("drag me", CMsgBoxDlg::kTypeOk, 0, "", [](HWND d, int call) {
    if (call == 0) {
      plat::sim::MouseDown(d, 15, 25);
    } else {
      plat::sim::MouseUp(d, 15, 25);
      plat::sim::PressKey(VK_ESCAPE);
    }
  });
  const std::vector<plat::sim::DragRequest> drags = plat::sim::DragRequests();
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].hwnd, seen_.dialog);
  EXPECT_EQ(drags[0].screen.x, 15) << "the press's own lParam";
  EXPECT_EQ(drags[0].screen.y, 25);
}

}  // namespace
