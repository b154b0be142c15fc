#include <gtest/gtest.h>

#include "DirectDrawTestSupport.h"
#include "plat/ddraw.h"
#include "plat/sim.h"
#include "plat/user.h"

namespace {

using namespace ddraw_test;

constexpr int kW = 800, kH = 600;

class PresentTest : public DirectDrawTest {
 protected:
  // A host window at (100, 50) with the game's child window at (3, 3) inside it, and
  // a windowed screen: primary with a clipper on the game window and a back buffer.
  void Build(DisplayFormat format, DWORD gameStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) {
    plat::sim::ResetDisplay(format);
    host_ = MakeTop(100, 50, kW + 6, kH + 6);
    game_ = MakeChild(host_, 3, 3, kW, kH, 1, window_test::kRecorder, gameStyle);
    dd_ = MakeDirectDraw(game_);
    ASSERT_TRUE(dd_);
    ASSERT_EQ(MakePrimary(dd_.Get(), &primary_), DD_OK);
    ASSERT_EQ(MakeOffscreen(dd_.Get(), kW, kH, &back_), DD_OK);
    ASSERT_EQ(ClipToWindow(dd_.Get(), primary_.Get(), game_), DD_OK);
  }
  void FillBack(uint32_t value, RECT r) { ASSERT_EQ(ColourFill(back_.Get(), value, &r), DD_OK); }
  // What the screen does: the back buffer's area to the same place of the game window.
  HRESULT Present(RECT area = RECT{0, 0, kW, kH}) {
    POINT origin{0, 0};
    ClientToScreen(game_, &origin);
    RECT dest{area.left + origin.x, area.top + origin.y, area.right + origin.x, area.bottom + origin.y};
    return primary_->Blt(&dest, back_.Get(), &area, DDBLT_WAIT, nullptr);
  }
  static uint32_t At(const plat::sim::RgbImage& image, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * image.width + x) * 3;
    return uint32_t{image.rgb[i]} << 16 | uint32_t{image.rgb[i + 1]} << 8 | image.rgb[i + 2];
  }
  HWND host_ = nullptr, game_ = nullptr;
  ComPtr<IDirectDraw4> dd_;
  ComPtr<IDirectDrawSurface4> primary_, back_;
};

TEST_F(PresentTest, FrameInTheChildWindowAtThreeThreeMatchesItsPinnedHash) {
  Build(DisplayFormat::Rgb565);
  FillBack(0x8410, RECT{0, 0, kW, kH});  // grey, so the host's black border shows
  FillBack(0xF800, RECT{10, 20, 110, 70});   // red
  FillBack(0x07E0, RECT{400, 300, 800, 600});  // green
  // A keyed sprite: a blue square whose magenta corner stays transparent.
  ComPtr<IDirectDrawSurface4> sprite;
  ASSERT_EQ(MakeOffscreen(dd_.Get(), 4, 4, &sprite), DD_OK);
  std::vector<uint32_t> pixels(16, 0x001F);
  pixels[0] = 0xF81F;
  WritePixels(sprite.Get(), pixels);
  DDCOLORKEY key{0xF81F, 0xF81F};
  sprite->SetColorKey(DDCKEY_SRCBLT, &key);
  RECT to{200, 100, 216, 116};
  ASSERT_EQ(back_->Blt(&to, sprite.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  ASSERT_EQ(Present(), DD_OK);
  const plat::sim::RgbImage frame = plat::sim::CaptureWindow(host_);
  ASSERT_EQ(frame.width, kW + 6);
  EXPECT_EQ(At(frame, 3 + 10, 3 + 20), 0xFF0000u);
  EXPECT_EQ(At(frame, 3 + 109, 3 + 69), 0xFF0000u);
  EXPECT_EQ(At(frame, 3 + 110, 3 + 69), 0x848284u) << "5-6-5 grey widened exactly";
  EXPECT_EQ(At(frame, 3 + 799, 3 + 599), 0x00FF00u);
  EXPECT_EQ(At(frame, 3 + 200, 3 + 100), 0x848284u) << "keyed corner";
  EXPECT_EQ(At(frame, 3 + 204, 3 + 100), 0x0000FFu);
  EXPECT_EQ(At(frame, 2, 2), 0x000000u) << "the host's own store is untouched";
  const auto check = plat::sim::CheckFrame(frame, "present_child_3_3", "b717925d861f361e");
  EXPECT_TRUE(check.matches) << "actual hash " << check.actualHash << ", picture at " << check.actualPath;
}

TEST_F(PresentTest, SiblingsChildrenAndOwnedPopupsAboveAreNotPaintedOver) {
  Build(DisplayFormat::Xrgb8888);
  HWND sibling = MakeChild(host_, 50, 50, 20, 20, 2);
  ASSERT_TRUE(SetWindowPos(sibling, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  HWND inner = MakeChild(game_, 200, 200, 10, 10, 3);
  HWND popup = CreateWindowExA(0, window_test::kRecorder, "popup", WS_POPUP | WS_VISIBLE, 100 + 3 + 400, 50 + 3 + 400,
                               30, 30, host_, nullptr, window_test::TestInstance(), nullptr);
  ASSERT_NE(popup, nullptr);
  FillBack(0xFFFFFF, RECT{0, 0, kW, kH});
  ASSERT_EQ(Present(), DD_OK);
  // The game window's own store shows once its child is hidden.
  ShowWindow(inner, SW_HIDE);
  const auto frame = plat::sim::CaptureWindow(game_);
  EXPECT_EQ(At(frame, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(At(frame, 50 - 3 + 5, 50 - 3 + 5), 0u) << "under the sibling above";
  EXPECT_EQ(At(frame, 50 - 3 + 20, 50 - 3 + 20), 0xFFFFFFu) << "just past the sibling";
  EXPECT_EQ(At(frame, 205, 205), 0u) << "under its own child";
  EXPECT_EQ(At(frame, 410, 410), 0u) << "under the owned popup";
  EXPECT_EQ(At(frame, 431, 431), 0xFFFFFFu);
}

TEST_F(PresentTest, HiddenOrDestroyedClipWindowReceivesNothing) {
  Build(DisplayFormat::Xrgb8888);
  FillBack(0xFFFFFF, RECT{0, 0, kW, kH});
  ShowWindow(game_, SW_HIDE);
  ASSERT_EQ(Present(), DD_OK);
  ShowWindow(game_, SW_SHOW);
  EXPECT_EQ(At(plat::sim::CaptureWindow(game_), 0, 0), 0u);
  DestroyWindow(game_);
  RECT all{0, 0, kW, kH};
  EXPECT_EQ(primary_->Blt(&all, back_.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_F(PresentTest, FullScreenExclusiveRefreshesTheGameWindowFromTheDisplay) {
  plat::sim::ResetDisplay(DisplayFormat::Xrgb8888);
  HWND game = MakeTop(0, 0, kW, kH);
  dd_ = MakeDirectDraw(game, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT);
  ASSERT_TRUE(dd_);
  ASSERT_EQ(dd_->SetDisplayMode(kW, kH, 16, 0, 0), DD_OK);
  ASSERT_EQ(MakePrimary(dd_.Get(), &primary_), DD_OK);
  ASSERT_EQ(MakeOffscreen(dd_.Get(), kW, kH, &back_), DD_OK);
  FillBack(0xF800, RECT{0, 0, kW, kH});
  ASSERT_EQ(primary_->BltFast(0, 0, back_.Get(), nullptr, DDBLTFAST_WAIT), DD_OK);
  const auto frame = plat::sim::CaptureWindow(game);
  EXPECT_EQ(At(frame, 0, 0), 0xFF0000u);
  EXPECT_EQ(At(frame, kW - 1, kH - 1), 0xFF0000u);
}

}  // namespace
