// Render objects over real DirectDraw surfaces: drawing through the image lands in
// the surface's rows at its own pitch, busy surfaces are retried, and the loan holds
// the surface alive.
#include "graphics/K_DDSurfaceRender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "plat/sim.h"
#include "plat/sim_display.h"

namespace {

struct Format {
  const char* name;
  int32_t code;  // the sprite library's format code
  DDPIXELFORMAT pf;
  uint32_t fill;    // RGB(0, 0, 255) in this format
  uint32_t sprite;  // the sprite's pixel value
};

const Format kFormats[] = {
    {"565", 16, {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0}, 0x001F, 0xF800},
    {"8888", 32, {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0}, 0x0000FF, 0x00FF00},
};

class DDSurfaceRenderTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ClearFaults();
    plat::sim::ResetDisplay();
    ComPtr<IDirectDraw> first;
    ASSERT_EQ(DirectDrawCreate(nullptr, first.ReleaseAndGetAddressOf(), nullptr), DD_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(dd.ReleaseAndGetAddressOf())), S_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  }
  void TearDown() override {
    DestroyFXManager();
    plat::sim::ResetDisplay();
  }

  ComPtr<IDirectDrawSurface4> Offscreen(int32_t w, int32_t h, const DDPIXELFORMAT& pf) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    d.dwWidth = static_cast<DWORD>(w);
    d.dwHeight = static_cast<DWORD>(h);
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    d.ddpfPixelFormat = pf;
    ComPtr<IDirectDrawSurface4> s;
    EXPECT_EQ(dd->CreateSurface(&d, s.ReleaseAndGetAddressOf(), nullptr), DD_OK);
    return s;
  }

  ComPtr<IDirectDraw4> dd;
};

// Every byte of the surface, rows of `pitch` bytes, read outside any render object.
std::vector<uint8_t> RawBytes(IDirectDrawSurface4* s, int32_t* pitch) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  *pitch = d.lPitch;
  const auto* p = static_cast<const uint8_t*>(d.lpSurface);
  std::vector<uint8_t> out(p, p + size_t(d.lPitch) * d.dwHeight);
  s->Unlock(nullptr);
  return out;
}

uint32_t PixelIn(const std::vector<uint8_t>& bytes, int32_t pitch, int32_t bpp, int32_t x, int32_t y) {
  uint32_t v = 0;
  std::memcpy(&v, bytes.data() + size_t(y) * size_t(pitch) + size_t(x * bpp), size_t(bpp));
  return v;
}

TEST_F(DDSurfaceRenderTest, FillAndSpriteLandInTheSurfaceRowsAtItsPitch) {
  constexpr int32_t kW = 10, kH = 4;
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.name);
    const int32_t bpp = f.code == 32 ? 4 : 2;
    ASSERT_EQ(CreateFXManager(f.code), 1);
    ComPtr<IDirectDrawSurface4> surface = Offscreen(kW, kH, f.pf);
    ASSERT_TRUE(surface);
    int32_t pitch = 0;
    const std::vector<uint8_t> before = RawBytes(surface.Get(), &pitch);
    ASSERT_GT(pitch, kW * bpp);  // the padding is what this test is about

    // A 2 x 2 sprite, its bottom-right pixel transparent.
    const uint32_t key = 0xFF00FF;
    std::vector<uint8_t> px(size_t(2 * 2 * bpp));
    const uint32_t keyPx = f.code == 32 ? 0xFF00FF : 0xF81F;
    for (int i = 0; i < 4; ++i) std::memcpy(&px[size_t(i * bpp)], i == 3 ? &keyPx : &f.sprite, size_t(bpp));
    KK_LLESprite sprite;
    ASSERT_EQ(sprite.EncodeLLESprite(f.code, 2, -2, 2 * bpp, px.data(), key), 1);

    {
      K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
      K_Dib_Draw* image = obj.Lock();
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->Pitch(), pitch);
      EXPECT_EQ(image->BytesPerPixel(), bpp);
      EXPECT_EQ(image->Width(), kW);
      EXPECT_EQ(image->Height(), kH);
      image->Fill(0xFF0000);  // COLORREF blue
      image->DrawSprite(8, 2, sprite, K_Dib::kNoAnchor);
    }  // unlocks

    int32_t pitchAfter = 0;
    const std::vector<uint8_t> after = RawBytes(surface.Get(), &pitchAfter);
    ASSERT_EQ(pitchAfter, pitch);
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const bool inSprite = x >= 8 && y >= 2 && !(x == 9 && y == 3);
        EXPECT_EQ(PixelIn(after, pitch, bpp, x, y), inSprite ? f.sprite : f.fill) << x << "," << y;
      }
      // The bytes past the row's last pixel belong to no pixel and stay as they were.
      const size_t rowEnd = size_t(y) * size_t(pitch) + size_t(kW * bpp);
      EXPECT_TRUE(std::equal(after.begin() + ptrdiff_t(rowEnd), after.begin() + ptrdiff_t(rowEnd + size_t(pitch - kW * bpp)),
                             before.begin() + ptrdiff_t(rowEnd)))
          << "row " << y;
    }
    DestroyFXManager();
  }
}

TEST_F(DDSurfaceRenderTest, StillDrawingIsRetriedUntilTheTriesRunOut) {
  ComPtr<IDirectDrawSurface4> surface = Offscreen(4, 4, kFormats[1].pf);
  ASSERT_TRUE(surface);
  {
    plat::sim::SetStillDrawing(5);
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
    EXPECT_NE(obj.Lock(), nullptr);
    EXPECT_TRUE(obj.IsLocked());
  }
  {
    plat::sim::SetStillDrawing(K_DDRender_Obj::kMaxLockTries);
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(surface.Get()));
    EXPECT_EQ(obj.Lock(), nullptr);
    EXPECT_FALSE(obj.IsLocked());
    EXPECT_NE(obj.Lock(), nullptr);  // the surface was never left locked
  }
}

TEST_F(DDSurfaceRenderTest, OtherLockFailuresAreNotRetried) {
  ComPtr<IDirectDrawSurface4> surface = Offscreen(4, 4, kFormats[1].pf);
  ASSERT_TRUE(surface);
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
    K_DDRender_Obj obj(K_DDSurfaceRender::Make(Offscreen(4, 4, kFormats[0].pf).Get()));
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

}  // namespace
