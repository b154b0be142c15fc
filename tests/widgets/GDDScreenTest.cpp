#include <gtest/gtest.h>

#include "support/TimeLimit.h"
#include "WidgetTestSupport.h"
#include "plat/sim_user.h"
#include "plat/user.h"
#include "widgets/GDDScreen.h"

namespace {

using namespace widget_test;

constexpr int32_t kW = 800, kH = 600;
constexpr int kHostX = 100, kHostY = 50;

uint32_t At(const plat::sim::RgbImage& image, int x, int y) {
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 3;
  return uint32_t{image.rgb[i]} << 16 | uint32_t{image.rgb[i + 1]} << 8 | image.rgb[i + 2];
}

class GDDScreenTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ClearFaults();
    plat::sim::ResetDisplay(DisplayFormat::Xrgb8888);
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.lpszClassName = "ScreenTestWnd";
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
  }
  void TearDown() override {
    screen_.reset();
    plat::sim::ClearFaults();
    plat::sim::ResetWindowSystem();
    plat::sim::ResetDisplay();
  }
  // The host window with the game window as a child at (3, 3), as the module lays them out.
  void MakeWindows(DisplayFormat format) {
    plat::sim::ResetDisplay(format);
    host_ = CreateWindowExA(0, "ScreenTestWnd", "host", WS_POPUP | WS_VISIBLE, kHostX, kHostY, kW + 6, kH + 6,
                            nullptr, nullptr, nullptr, nullptr);
    game_ = CreateWindowExA(0, "ScreenTestWnd", "game", WS_CHILD | WS_VISIBLE, 3, 3, kW, kH, host_, nullptr, nullptr,
                            nullptr);
    ASSERT_TRUE(host_ && game_);
    screen_ = std::make_unique<GDDScreen>();
  }
  BOOL CreateWindowed(DisplayFormat format, int32_t depth = 16) {
    MakeWindows(format);
    return screen_->CreateScreen(game_, game_, kW, kH, 0, depth);
  }
  void Fill(uint8_t r, uint8_t g, uint8_t b, RECT area = RECT{0, 0, kW, kH}) {
    DDBLTFX fx;
    InitBltFx(fx);
    fx.dwFillColor = DevicePixel(plat::sim::CurrentDisplayMode().format, r, g, b);
    ASSERT_EQ(screen_->BackBuffer()->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  }
  bool Empty() const { return !screen_->DirectDraw() && !screen_->Primary() && !screen_->BackBuffer(); }
  HWND host_ = nullptr, game_ = nullptr;
  std::unique_ptr<GDDScreen> screen_;
};

struct MaskRow { DisplayFormat format; int32_t depth, shifts[3], bits[3], code; uint32_t key; };

TEST_F(GDDScreenTest, WindowedSetUpReadsTheDesktopLayoutAndPresentsIntoTheGameWindow) {
  const MaskRow rows[] = {
      {DisplayFormat::Rgb565, 16, {11, 5, 0}, {5, 6, 5}, GDDScreen::kFormat565, 0xF81F},
      {DisplayFormat::Rgb555, 16, {10, 5, 0}, {5, 5, 5}, GDDScreen::kFormat555, 0x7C1F},
      {DisplayFormat::Xrgb8888, 32, {16, 8, 0}, {8, 8, 8}, GDDScreen::kFormat32, 0xFF00FF},
  };
  for (const MaskRow& row : rows) {
    SCOPED_TRACE(FormatName(row.format));
    ASSERT_TRUE(CreateWindowed(row.format, 8));
    EXPECT_EQ(screen_->ColorDepth(), row.depth) << "the desktop's BITSPIXEL, not the 8 asked for";
    EXPECT_EQ((std::vector<int64_t>{screen_->RedShift(), screen_->GreenShift(), screen_->BlueShift(), screen_->RedBits(),
                                    screen_->GreenBits(), screen_->BlueBits(), screen_->PixelFormat(), screen_->ColorKey()}),
              (std::vector<int64_t>{row.shifts[0], row.shifts[1], row.shifts[2], row.bits[0], row.bits[1], row.bits[2],
                                    row.code, row.key}));
    EXPECT_FALSE(screen_->IsFlipChain());
    DDSCAPS2 caps{};
    ASSERT_EQ(screen_->BackBuffer()->GetCaps(&caps), DD_OK);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(screen_->ScreenRect(), GRect(kHostX + 3, kHostY + 3, kHostX + 3 + kW, kHostY + 3 + kH));
    // A null area presents the whole back buffer.
    Fill(0x00, 0xFF, 0x00);
    Fill(0xFF, 0x00, 0x00, RECT{kW - 10, kH - 10, kW, kH});
    ASSERT_EQ(screen_->Present(GRect()), 1);
    EXPECT_EQ(screen_->GetLastResult(), DD_OK);
    const auto frame = plat::sim::CaptureWindow(game_);
    EXPECT_EQ(At(frame, 0, 0), 0x00FF00u);
    EXPECT_EQ(At(frame, kW - 1, kH - 1), 0xFF0000u);
    EXPECT_EQ(At(plat::sim::CaptureWindow(host_), 3, 3), 0x00FF00u) << "the game window sits at (3, 3) in the host";
    screen_.reset();
    plat::sim::ResetWindowSystem();
  }
}

TEST_F(GDDScreenTest, UnsupportedDesktopLeavesFormatAndKeyZeroAndPresentBeforeCreateTouchesNothing) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Palette8));
  EXPECT_EQ(screen_->PixelFormat(), GDDScreen::kFormatUnknown);
  EXPECT_EQ(screen_->ColorKey(), 0u);
  EXPECT_EQ(screen_->ReadPixelMasks(), 0);
  GDDScreen fresh;
  fresh.SetLastResult(0x1234);
  EXPECT_EQ(fresh.Present(GRect()), 0);
  EXPECT_EQ(fresh.GetLastResult(), 0x1234);
  EXPECT_EQ(fresh.ColorKey(), 0xFFFFFFFFu);
  EXPECT_EQ(fresh.ReadPixelMasks(), 0);
  EXPECT_EQ(fresh.AttachClipper(nullptr), 0);
}

TEST_F(GDDScreenTest, AreaLandsAtTheSameClientPlaceAlsoAfterTheHostMoved) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Xrgb8888));
  Fill(0xFF, 0x00, 0x00);
  ASSERT_EQ(screen_->Present(GRect()), 1);
  Fill(0x00, 0x00, 0xFF);
  MoveWindow(host_, 40, 30, kW + 6, kH + 6, 1);
  ASSERT_EQ(screen_->Present(GRect(10, 20, 110, 70)), 1);
  EXPECT_EQ(screen_->ScreenRect().TopLeft(), GPoint(40 + 3, 30 + 3));
  const auto frame = plat::sim::CaptureWindow(game_);
  std::vector<bool> blue;
  for (GPoint p : {GPoint(10, 20), GPoint(109, 69), GPoint(9, 20), GPoint(110, 69), GPoint(109, 70), GPoint(10, 19)})
    blue.push_back(At(frame, p.x, p.y) == 0x0000FFu);
  EXPECT_EQ(blue, (std::vector<bool>{true, true, false, false, false, false}));
}

TEST_F(GDDScreenTest, SecondCreateReleasesTheOldObjectsAndDestroyEmpties) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Rgb565));
  const auto live = [] { return std::pair{plat::sim::LiveDirectDrawObjects(), plat::sim::LiveSurfaces()}; };
  const auto before = live();
  ASSERT_TRUE(screen_->CreateScreen(game_, game_, kW, kH, 0, 16));
  EXPECT_EQ(live(), before);
  screen_->Destroy();
  EXPECT_TRUE(Empty());
  EXPECT_EQ(live(), std::pair(0u, 0u));
  EXPECT_EQ(screen_->Present(GRect()), 0);
}

// The game's pictures are surfaces of the screen's DirectDraw object: a rebuild (a mode
// change, full screen and back) keeps that object, so they still draw on the new back
// buffer, and leaving full screen gives the desktop its mode back all the same.
TEST_F(GDDScreenTest, RebuildsKeepTheObjectSoEarlierPicturesStillDraw) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Xrgb8888));
  const int desktopWidth = plat::sim::CurrentDisplayMode().width;
  const IDirectDraw4* object = screen_->DirectDraw().Get();
  const DDSurface picture = MakeSurface(screen_->DirectDraw(), 8, 8);
  DDBLTFX fx;
  InitBltFx(fx);
  fx.dwFillColor = 0x00FF00;
  ASSERT_EQ(picture->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  const auto drawsOnTheBackBuffer = [&] {
    RECT at{0, 0, 8, 8};
    return screen_->BackBuffer()->Blt(&at, picture.Get(), nullptr, DDBLT_WAIT, nullptr) == DD_OK;
  };
  MoveWindow(host_, 0, 0, kW, kH, 0);
  ASSERT_TRUE(screen_->CreateScreen(host_, game_, kW, kH, 1, 32));
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, kW);
  EXPECT_EQ(screen_->DirectDraw().Get(), object);
  EXPECT_TRUE(drawsOnTheBackBuffer()) << "full screen";
  ASSERT_TRUE(screen_->CreateScreen(game_, game_, kW, kH, 0, 32));
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, desktopWidth) << "the desktop's mode again";
  EXPECT_EQ(screen_->DirectDraw().Get(), object);
  EXPECT_TRUE(drawsOnTheBackBuffer()) << "windowed again";
  EXPECT_EQ(screen_->DirectDraw()->TestCooperativeLevel(), DD_OK);
  // After a change of the desktop's mode the rebuilt screen works in the new one.
  plat::sim::ChangeDisplayMode(1024, 768, DisplayFormat::Rgb565);
  EXPECT_EQ(screen_->DirectDraw()->TestCooperativeLevel(), DDERR_WRONGMODE);
  ASSERT_TRUE(screen_->CreateScreen(game_, game_, kW, kH, 0, 16));
  EXPECT_EQ(screen_->DirectDraw()->TestCooperativeLevel(), DD_OK);
}

TEST_F(GDDScreenTest, FullScreenSetsTheModeShowsTheWholeDisplayAndDestroyGivesTheDesktopBack) {
  MakeWindows(DisplayFormat::Xrgb8888);
  MoveWindow(host_, 0, 0, kW, kH, 0);
  ASSERT_TRUE(screen_->CreateScreen(host_, game_, kW, kH, 1, 16));
  const auto mode = plat::sim::CurrentDisplayMode();
  EXPECT_TRUE(mode.width == kW && mode.height == kH && mode.format == DisplayFormat::Rgb565);
  EXPECT_EQ(screen_->PixelFormat(), GDDScreen::kFormat565);
  EXPECT_EQ(screen_->ScreenRect(), GRect(0, 0, kW, kH));
  Fill(0xFF, 0x00, 0x00);
  ASSERT_EQ(screen_->Present(GRect()), 1);
  // The exclusive window shows the display; the clipper keeps the frame inside the
  // game window, which starts at (3, 3).
  const auto display = plat::sim::CaptureWindow(host_);
  EXPECT_EQ((std::vector<bool>{At(display, 3, 3) == 0xFF0000u, At(display, kW - 1, kH - 1) == 0xFF0000u,
                               At(display, 2, 2) == 0xFF0000u}),
            (std::vector<bool>{true, true, false}));
  screen_->Destroy();
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Xrgb8888);
  // Normal level again: another program may now take the display.
  DDObject other;
  ASSERT_EQ(CreateDirectDraw4(other), DD_OK);
  EXPECT_EQ(other->SetCooperativeLevel(host_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
}

TEST_F(GDDScreenTest, FullScreenIsRefusedWhileAnotherProgramHoldsTheDisplay) {
  MakeWindows(DisplayFormat::Xrgb8888);
  plat::sim::SetExclusiveHeldElsewhere(true);
  EXPECT_EQ(screen_->CreateScreen(host_, game_, kW, kH, 1, 16), 0);
  EXPECT_TRUE(Empty());
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), 0u);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Xrgb8888);
  EXPECT_EQ(screen_->Present(GRect()), 0);
}

TEST_F(GDDScreenTest, FailingSetUpStepsLeaveTheScreenEmpty) {
  const char* steps[] = {"DirectDrawCreate", "IDirectDraw4::CreateSurface", "CreateClipper"};
  for (const char* step : steps) {
    SCOPED_TRACE(step);
    MakeWindows(DisplayFormat::Rgb565);
    plat::sim::FailNext(step);
    EXPECT_EQ(screen_->CreateScreen(game_, game_, kW, kH, 0, 16), 0);
    EXPECT_TRUE(Empty());
    EXPECT_EQ(plat::sim::LiveSurfaces() + plat::sim::LiveDirectDrawObjects(), 0u);
    plat::sim::ClearFaults();
    plat::sim::ResetWindowSystem();
  }
}

TEST_F(GDDScreenTest, WindowedLostPrimaryIsRestoredAndTheFrameShownUnlessTheRestoreFails) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Rgb565));
  Fill(0x00, 0x00, 0xFF);
  plat::sim::LoseSurfaces();
  ASSERT_EQ(screen_->Present(GRect()), 1);
  EXPECT_EQ(screen_->GetLastResult(), DD_OK);
  EXPECT_EQ(screen_->Primary()->IsLost(), DD_OK);
  EXPECT_EQ(At(plat::sim::CaptureWindow(game_), 5, 5), 0x0000FFu);
  plat::sim::LoseSurfaces();
  plat::sim::FailNextRestore();
  EXPECT_EQ(screen_->Present(GRect()), 0);
  EXPECT_EQ(screen_->GetLastResult(), DDERR_GENERIC);
}

TEST_F(GDDScreenTest, FullScreenLostPrimaryIsRestoredButOnlyTheNextPresentShows) {
  MakeWindows(DisplayFormat::Xrgb8888);
  MoveWindow(host_, 0, 0, kW, kH, 0);
  ASSERT_TRUE(screen_->CreateScreen(host_, game_, kW, kH, 1, 32));
  Fill(0xFF, 0x00, 0x00);
  ASSERT_EQ(screen_->Present(GRect()), 1);
  Fill(0x00, 0xFF, 0x00);
  plat::sim::LoseSurfaces();
  ASSERT_EQ(screen_->Present(GRect()), 1);
  EXPECT_EQ(screen_->GetLastResult(), DDERR_SURFACELOST);
  EXPECT_EQ(screen_->Primary()->IsLost(), DD_OK);
  EXPECT_EQ(At(plat::sim::CaptureWindow(host_), 10, 10), 0xFF0000u) << "the lost frame is not shown";
  ASSERT_EQ(screen_->Present(GRect()), 1);
  EXPECT_EQ(At(plat::sim::CaptureWindow(host_), 10, 10), 0x00FF00u);
}

TEST_F(GDDScreenTest, StillDrawingIsRetriedAndEndlessAnswersStopAtTheBound) {
  ASSERT_TRUE(CreateWindowed(DisplayFormat::Xrgb8888));
  Fill(0x00, 0xFF, 0x00);
  plat::sim::SetStillDrawing(3);
  ASSERT_EQ(screen_->Present(GRect()), 1);
  EXPECT_EQ(screen_->GetLastResult(), DD_OK);
  EXPECT_EQ(At(plat::sim::CaptureWindow(game_), 0, 0), 0x00FF00u);
  Fill(0x00, 0x00, 0xFF);
  plat::sim::SetStillDrawing(1000);
  BOOL result = -1;
  ASSERT_TRUE(testing_support::FinishesWithin([&] { result = screen_->Present(GRect()); }, 10));
  EXPECT_EQ(result, 1) << "a busy display is not a failed present";
  EXPECT_EQ(screen_->GetLastResult(), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(At(plat::sim::CaptureWindow(game_), 0, 0), 0x00FF00u);
  plat::sim::SetStillDrawing(0);
}

}  // namespace
