// Surface loans, over a scripted surface (one lock per loan, the surface's own pitch,
// retries while the surface is busy, unlocking on every way out) and over real
// DirectDraw surfaces (drawing lands in the rows at their pitch, the loan holds the
// surface alive).
#include "graphics/K_DDSurfaceRender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "plat/sim.h"
#include "plat/sim_display.h"
#include "widgets/WidgetTestSupport.h"

namespace k_ddsurface_render_test {

using widget_test::DisplayFormat;

class FakeSurface : public K_RenderSurface {
 public:
  int32_t locks = 0, unlocks = 0, busyAnswers = 0, bitCount = 16;
  bool fail = false, givePitch = true;
  std::vector<uint8_t> memory = std::vector<uint8_t>(40 * 3);  // pitch 40 for 10 pixels
  LockResult Lock(K_SurfaceLock& out) override {
    if (fail) return LockResult::kFailed;
    if (busyAnswers > 0) {
      --busyAnswers;
      return LockResult::kStillDrawing;
    }
    ++locks;
    out = {memory.data(), 40, givePitch, bitCount, 10, 3};
    return LockResult::kLocked;
  }
  void Unlock() override { ++unlocks; }
  HDC GetDC() override { return reinterpret_cast<HDC>(this); }
  void ReleaseDC(HDC) override { ++dcReleases; }
  int32_t dcReleases = 0;
};

TEST(K_DDRender_ObjTest, FailedOrUnusableLocksGiveNoImage) {
  auto surface = std::make_shared<FakeSurface>();
  surface->fail = true;
  K_DDRender_Obj failing(surface), noPitch(surface), busy(surface);
  EXPECT_EQ(failing.Lock(), nullptr);
  surface->fail = false;
  surface->givePitch = false;
  EXPECT_EQ(noPitch.Lock(), nullptr);
  EXPECT_EQ(surface->unlocks, surface->locks);
  surface->givePitch = true;
  surface->busyAnswers = K_DDRender_Obj::kMaxLockTries;
  EXPECT_EQ(busy.Lock(), nullptr);
  surface->bitCount = 15;
  K_DDRender_Obj fifteen(surface);
  ASSERT_NE(fifteen.Lock(), nullptr);
  EXPECT_EQ(fifteen.Lock()->BytesPerPixel(), 2);
}

TEST(K_DDRender_ObjTest, DeviceContextUnlocksAndKeepsLocksOut) {
  auto surface = std::make_shared<FakeSurface>();
  K_DDRender_Obj obj(surface);
  ASSERT_NE(obj.Lock(), nullptr);
  EXPECT_NE(obj.GetDC(), nullptr);
  EXPECT_EQ((std::vector<int>{obj.IsLocked(), surface->unlocks}), (std::vector<int>{0, 1}));
  // While the context is out, Lock hands back the image as it is: without pixels.
  EXPECT_EQ(obj.Lock()->GetBits(), nullptr);
  obj.ReleaseDC();
  EXPECT_EQ(surface->dcReleases, 1);
  EXPECT_NE(obj.Lock()->GetBits(), nullptr);
}

class DDSurfaceRenderTest : public widget_test::DisplayTest {
 protected:
  void TearDown() override {
    DestroyFXManager();
    DisplayTest::TearDown();
  }
};

// Every byte of the surface, rows of `pitch` bytes, read outside any render object.
std::vector<uint8_t> RawBytes(const DDSurface& s, int32_t* pitch) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  *pitch = d.lPitch;
  const auto* p = static_cast<const uint8_t*>(d.lpSurface);
  std::vector<uint8_t> out(p, p + size_t(d.lPitch) * d.dwHeight);
  s->Unlock(nullptr);
  return out;
}

TEST_F(DDSurfaceRenderTest, FillAndSpriteLandInTheSurfaceRowsAtItsPitch) {
  constexpr int32_t kW = 10, kH = 4;
  // The sprite library's code, RGB(0, 0, 255), the sprite's pixel and magenta in each format.
  struct Format {
    DisplayFormat display;
    int32_t code;
    uint32_t fill, sprite, keyPixel;
  };
  for (const Format& f : {Format{DisplayFormat::Rgb565, 16, 0x001F, 0xF800, 0xF81F},
                          Format{DisplayFormat::Xrgb8888, 32, 0x0000FF, 0x00FF00, 0xFF00FF}}) {
    SCOPED_TRACE(f.code);
    UseDesktop(f.display);
    const int32_t bpp = f.code / 8;
    ASSERT_EQ(CreateFXManager(f.code), 1);
    DDSurface surface = widget_test::MakeSurface(dd_, kW, kH);
    int32_t pitch = 0;
    const std::vector<uint8_t> before = RawBytes(surface, &pitch);
    ASSERT_GT(pitch, kW * bpp);  // the padding is what this test is about

    // A 2 x 2 sprite, its bottom-right pixel transparent.
    std::vector<uint8_t> px(size_t(2 * 2 * bpp));
    for (int i = 0; i < 4; ++i) std::memcpy(&px[size_t(i * bpp)], i == 3 ? &f.keyPixel : &f.sprite, size_t(bpp));
    KK_LLESprite sprite;
    ASSERT_EQ(sprite.EncodeLLESprite(f.code, 2, -2, 2 * bpp, px.data(), 0xFF00FF), 1);
    {
      K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
      K_Dib_Draw* image = obj.Lock();
      ASSERT_NE(image, nullptr);
      EXPECT_EQ((std::vector<int32_t>{image->Pitch(), image->BytesPerPixel(), image->Width(), image->Height()}),
                (std::vector<int32_t>{pitch, bpp, kW, kH}));
      image->Fill(0xFF0000);  // COLORREF blue
      image->DrawSprite(8, 2, sprite, K_Dib::kNoAnchor);
    }  // unlocks

    std::vector<uint32_t> want;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) want.push_back(x >= 8 && y >= 2 && !(x == 9 && y == 3) ? f.sprite : f.fill);
    EXPECT_EQ(widget_test::ReadPixels(surface), want);
    // The bytes past each row's last pixel belong to no pixel and stay as they were.
    int32_t pitchAfter = 0;
    const std::vector<uint8_t> after = RawBytes(surface, &pitchAfter);
    ASSERT_EQ(pitchAfter, pitch);
    for (int32_t y = 0; y < kH; ++y) {
      const auto rowEnd = ptrdiff_t(y * pitch + kW * bpp), next = ptrdiff_t((y + 1) * pitch);
      EXPECT_TRUE(std::equal(after.begin() + rowEnd, after.begin() + next, before.begin() + rowEnd)) << "row " << y;
    }
    DestroyFXManager();
  }
}

TEST_F(DDSurfaceRenderTest, StillDrawingIsRetriedUntilTheTriesRunOutAndOtherFailuresAreNot) {
  DDSurface surface = widget_test::MakeSurface(dd_, 4, 4);
  {
    plat::sim::SetStillDrawing(5);
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
    EXPECT_TRUE(obj.Lock() && obj.IsLocked());
  }
  {
    plat::sim::SetStillDrawing(K_DDRender_Obj::kMaxLockTries);
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
    EXPECT_FALSE(obj.Lock() || obj.IsLocked());
    EXPECT_NE(obj.Lock(), nullptr);  // the surface was never left locked
  }
  // Locked by this very thread: waiting would never end, so the loan fails at once.
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  ASSERT_EQ(surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
  EXPECT_EQ(obj.Lock(), nullptr);
  surface->Unlock(nullptr);
  EXPECT_NE(obj.Lock(), nullptr);
}

TEST_F(DDSurfaceRenderTest, DeviceContextUnlocksFirstAndTheLoanKeepsTheSurface) {
  const uint32_t liveBefore = plat::sim::LiveSurfaces();
  {
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(widget_test::MakeSurface(dd_, 4, 4).Get()));
    ASSERT_EQ(plat::sim::LiveSurfaces(), liveBefore + 1);  // only the loan holds it now
    ASSERT_NE(obj.Lock(), nullptr);
    EXPECT_NE(obj.GetDC(), nullptr);  // a locked surface gives no DC, so it was unlocked
    EXPECT_FALSE(obj.IsLocked());
    obj.ReleaseDC();
    EXPECT_NE(obj.Lock(), nullptr);
  }
  EXPECT_EQ(plat::sim::LiveSurfaces(), liveBefore);
  EXPECT_EQ(K_DDSurfaceRender::Make(nullptr), nullptr);
}

}  // namespace k_ddsurface_render_test
