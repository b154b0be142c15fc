// Surfaces: colour keys in each format, stretching, clipping and the rectangle
// refusals, BltFast bounds, colour fills, and the lock / device-context rules.
#include <gtest/gtest.h>

#include <thread>

#include "DirectDrawTestSupport.h"
#include "plat/ddraw.h"
#include "plat/sim.h"

namespace {

using namespace ddraw_test;

DDBLTFX Fx() {
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  return fx;
}

class SurfaceTest : public DirectDrawTest {
 protected:
  void Use(DisplayFormat f) {
    plat::sim::ResetDisplay(f);
    dd_ = MakeDirectDraw();
    ASSERT_TRUE(dd_);
  }
  ComPtr<IDirectDrawSurface4> Make(int w, int h, const std::vector<uint32_t>& pixels = {}) {
    ComPtr<IDirectDrawSurface4> s;
    EXPECT_EQ(MakeOffscreen(dd_.Get(), w, h, &s), DD_OK);
    if (!pixels.empty()) WritePixels(s.Get(), pixels);
    return s;
  }
  ComPtr<IDirectDraw4> dd_;
};

// Each row: a format, its key, a pixel equal to the key but for the bits the format
// does not use (still transparent), and a pixel one step away (drawn).
struct KeyRow {
  DisplayFormat format;
  uint32_t key, keyWithUnusedBits, nearMiss;
};
constexpr KeyRow kKeys[] = {
    {DisplayFormat::Rgb565, 0xF81F, 0xF81F, 0xF81E},
    {DisplayFormat::Rgb555, 0x7C1F, 0xFC1F, 0x7C1E},
    {DisplayFormat::Xrgb8888, 0x00FF00FF, 0xA5FF00FF, 0x00FF00FE},
};

TEST_F(SurfaceTest, ColourKeyHidesTheKeyIgnoringUnusedBitsInEveryFormat) {
  for (const KeyRow& row : kKeys) {
    SCOPED_TRACE(static_cast<int>(row.format));
    Use(row.format);
    const uint32_t under = 0x1234;
    const std::vector<uint32_t> source{row.key, row.keyWithUnusedBits, row.nearMiss, 0x0001};
    auto src = Make(4, 1, source);
    DDCOLORKEY key{row.key, row.key};
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    const std::vector<uint32_t> expected{under, under, row.nearMiss, 0x0001};

    auto dst = Make(4, 1, std::vector<uint32_t>(4, under));
    ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(dst.Get()), expected) << "Blt with the source's key";

    dst = Make(4, 1, std::vector<uint32_t>(4, under));
    ASSERT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(ReadPixels(dst.Get()), expected) << "BltFast with the source's key";

    src->SetColorKey(DDCKEY_SRCBLT, nullptr);
    dst = Make(4, 1, std::vector<uint32_t>(4, under));
    DDBLTFX fx = Fx();
    fx.ddckSrcColorkey = key;
    ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx), DD_OK);
    EXPECT_EQ(ReadPixels(dst.Get()), expected) << "Blt with an override key";

    dst = Make(4, 1, std::vector<uint32_t>(4, under));
    ASSERT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT | DDBLTFAST_NOCOLORKEY), DD_OK);
    EXPECT_EQ(ReadPixels(dst.Get()), ReadPixels(src.Get())) << "no key: everything copied";
  }
}

TEST_F(SurfaceTest, SourceKeyBlitFromAKeylessSurfaceCopiesOpaquely) {
  Use(DisplayFormat::Rgb565);
  auto src = Make(2, 1, {0xF81F, 0x0001});
  DDCOLORKEY none{};
  EXPECT_EQ(src->GetColorKey(DDCKEY_SRCBLT, &none), DDERR_NOCOLORKEY);
  auto dst = Make(2, 1, {7, 7});
  ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{0xF81F, 0x0001}));
  dst = Make(2, 1, {7, 7});
  ASSERT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_SRCCOLORKEY), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{0xF81F, 0x0001}));
}

TEST_F(SurfaceTest, SetColorKeyWithoutColourSpaceUsesTheLowValueOnly) {
  Use(DisplayFormat::Rgb565);
  auto s = Make(1, 1);
  DDCOLORKEY k{0x10, 0x20};
  ASSERT_EQ(s->SetColorKey(DDCKEY_SRCBLT, &k), DD_OK);
  DDCOLORKEY back{};
  ASSERT_EQ(s->GetColorKey(DDCKEY_SRCBLT, &back), DD_OK);
  EXPECT_EQ(back.dwColorSpaceLowValue, 0x10u);
  EXPECT_EQ(back.dwColorSpaceHighValue, 0x10u);
  DDSURFACEDESC2 d = Desc();
  s->GetSurfaceDesc(&d);
  EXPECT_TRUE(d.dwFlags & DDSD_CKSRCBLT);
  EXPECT_EQ(s->SetColorKey(DDCKEY_SRCOVERLAY, &k), DDERR_UNSUPPORTED);
}

TEST_F(SurfaceTest, StretchPicksNearestSourcePixels) {
  Use(DisplayFormat::Xrgb8888);
  auto src = Make(3, 2, {1, 2, 3, 4, 5, 6});
  auto dst = Make(7, 3);
  ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  // sx = i * 3 / 7: 0 0 0 1 1 2 2;  sy = j * 2 / 3: 0 0 1
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{1, 1, 1, 2, 2, 3, 3,  //
                                                          1, 1, 1, 2, 2, 3, 3,  //
                                                          4, 4, 4, 5, 5, 6, 6}));
  // Shrinking a source rectangle: columns 1 and 3 of (1..4) at half width.
  src = Make(4, 1, {10, 11, 12, 13});
  dst = Make(2, 1, {0, 0});
  RECT part{0, 0, 4, 1};
  ASSERT_EQ(dst->Blt(nullptr, src.Get(), &part, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{10, 12}));
}

TEST_F(SurfaceTest, RectanglesOutsideTheSurfaceAreRefusedWithoutAClipper) {
  Use(DisplayFormat::Rgb565);
  auto src = Make(4, 4);
  auto dst = Make(8, 8, std::vector<uint32_t>(64, 9));
  const RECT bad[] = {{-1, 0, 3, 4}, {5, 5, 9, 9}, {2, 2, 2, 4}, {4, 4, 2, 2}};
  for (RECT r : bad) {
    EXPECT_EQ(dst->Blt(&r, src.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
  RECT srcBad{0, 0, 5, 4};
  EXPECT_EQ(dst->Blt(nullptr, src.Get(), &srcBad, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  for (uint32_t p : ReadPixels(dst.Get())) ASSERT_EQ(p, 9u) << "a refused blit writes nothing";
}

TEST_F(SurfaceTest, AClipperClipsInsteadOfRefusingAndKeepsTheStretchMapping) {
  Use(DisplayFormat::Xrgb8888);
  auto src = Make(4, 1, {1, 2, 3, 4});
  auto dst = Make(4, 1, {0, 0, 0, 0});
  ComPtr<IDirectDrawClipper> clipper;
  ASSERT_EQ(dd_->CreateClipper(0, clipper.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  ASSERT_EQ(dst->SetClipper(clipper.Get()), DD_OK);
  RECT wide{-4, 0, 4, 1};  // 8 wide: each source pixel twice; the left half falls off
  ASSERT_EQ(dst->Blt(&wide, src.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{3, 3, 4, 4}));
  EXPECT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
  ComPtr<IDirectDrawClipper> back;
  ASSERT_EQ(dst->GetClipper(back.ReleaseAndGetAddressOf()), DD_OK);
  EXPECT_EQ(back.Get(), clipper.Get());
}

TEST_F(SurfaceTest, BltFastCopiesOneToOneInsideTheBoundsOnly) {
  Use(DisplayFormat::Rgb565);
  auto src = Make(2, 2, {1, 2, 3, 4});
  auto dst = Make(4, 3, std::vector<uint32_t>(12, 0));
  EXPECT_EQ(dst->BltFast(2, 1, src.Get(), nullptr, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 3, 4}));
  EXPECT_EQ(dst->BltFast(3, 1, src.Get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  EXPECT_EQ(dst->BltFast(2, 2, src.Get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  EXPECT_EQ(dst->BltFast(0xFFFFFFFFu, 0, src.Get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  RECT part{1, 1, 2, 2};
  EXPECT_EQ(dst->BltFast(3, 2, src.Get(), &part, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(PixelAt(dst.Get(), 3, 2), 4u);
  EXPECT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_DESTCOLORKEY), DDERR_UNSUPPORTED);
}

TEST_F(SurfaceTest, BlitsBetweenFormatsAreRefused) {
  Use(DisplayFormat::Rgb565);
  auto s16 = Make(2, 2);
  DDPIXELFORMAT x32{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
  ComPtr<IDirectDrawSurface4> s32;
  ASSERT_EQ(MakeOffscreen(dd_.Get(), 2, 2, &s32, &x32), DD_OK);
  EXPECT_EQ(s16->Blt(nullptr, s32.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(s16->BltFast(0, 0, s32.Get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(SurfaceTest, ColourFillWritesTheRawValueAndLeavesThePadding) {
  Use(DisplayFormat::Rgb565);
  auto s = Make(5, 2);
  DDBLTFX fx = Fx();
  fx.dwFillColor = 0xABCD1234;
  RECT r{1, 0, 4, 2};
  ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  EXPECT_EQ(ReadPixels(s.Get()),
            (std::vector<uint32_t>{0xCDCD, 0x1234, 0x1234, 0x1234, 0xCDCD, 0xCDCD, 0x1234, 0x1234, 0x1234, 0xCDCD}));
  EXPECT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  const auto* row = static_cast<const uint8_t*>(d.lpSurface);
  for (LONG i = 10; i < d.lPitch; ++i) EXPECT_EQ(row[i], 0xAB) << "padding byte " << i;
  s->Unlock(nullptr);
}

TEST_F(SurfaceTest, LockOfARectangleUsesThePitch) {
  Use(DisplayFormat::Xrgb8888);
  auto s = Make(6, 4, std::vector<uint32_t>(24, 0));
  RECT r{2, 1, 4, 3};
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(&r, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(d.dwFlags & (DDSD_LPSURFACE | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT),
            DDSD_LPSURFACE | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT);
  EXPECT_GT(d.lPitch, 24);
  auto* p = static_cast<uint8_t*>(d.lpSurface);
  reinterpret_cast<uint32_t*>(p)[0] = 0xA;
  reinterpret_cast<uint32_t*>(p + d.lPitch)[1] = 0xB;
  ASSERT_EQ(s->Unlock(&r), DD_OK);
  EXPECT_EQ(PixelAt(s.Get(), 2, 1), 0xAu);
  EXPECT_EQ(PixelAt(s.Get(), 3, 2), 0xBu);
  RECT outside{5, 3, 7, 4};
  EXPECT_EQ(s->Lock(&outside, &d, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(SurfaceTest, LocksAndDeviceContextsExcludeEachOtherWithoutEndlessBusy) {
  Use(DisplayFormat::Rgb565);
  auto s = Make(4, 4);
  auto other = Make(4, 4);
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  // The holder's own second lock could never succeed, so it is not "busy".
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
  HDC dc = nullptr;
  EXPECT_EQ(s->GetDC(&dc), DDERR_CANTLOCKSURFACE);
  HRESULT fromOtherThread = DD_OK;
  std::thread([&] {
    DDSURFACEDESC2 d2 = Desc();
    fromOtherThread = s->Lock(nullptr, &d2, DDLOCK_WAIT, nullptr);
  }).join();
  EXPECT_EQ(fromOtherThread, DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, s.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(s->BltFast(0, 0, other.Get(), nullptr, DDBLTFAST_WAIT), DDERR_SURFACEBUSY);
  ASSERT_EQ(s->Unlock(nullptr), DD_OK);

  ASSERT_EQ(s->GetDC(&dc), DD_OK);
  ASSERT_NE(dc, nullptr);
  HDC second = nullptr;
  EXPECT_EQ(s->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
  std::thread([&] {
    DDSURFACEDESC2 d2 = Desc();
    fromOtherThread = s->Lock(nullptr, &d2, DDLOCK_WAIT, nullptr);
  }).join();
  EXPECT_EQ(fromOtherThread, DDERR_SURFACEBUSY);
  EXPECT_EQ(s->ReleaseDC(reinterpret_cast<HDC>(uintptr_t{99})), DDERR_NODC);
  ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  s->Unlock(nullptr);

  plat::sim::FailNext("IDirectDrawSurface4::GetDC");
  EXPECT_EQ(s->GetDC(&dc), DDERR_CANTCREATEDC);
  EXPECT_EQ(dc, nullptr);
}

TEST_F(SurfaceTest, OverlappingBlitWithinOneSurfaceReadsTheOldPixels) {
  Use(DisplayFormat::Xrgb8888);
  auto s = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  RECT from{0, 0, 3, 2};
  ASSERT_EQ(s->BltFast(0, 1, s.Get(), &from, DDBLTFAST_WAIT), DD_OK);  // scroll down one row
  EXPECT_EQ(ReadPixels(s.Get()), (std::vector<uint32_t>{1, 2, 3, 1, 2, 3, 4, 5, 6}));
  RECT to{0, 0, 3, 3}, small{0, 0, 2, 2};
  ASSERT_EQ(s->Blt(&to, s.Get(), &small, DDBLT_WAIT, nullptr), DD_OK);  // stretch onto itself
  EXPECT_EQ(ReadPixels(s.Get()), (std::vector<uint32_t>{1, 1, 2, 1, 1, 2, 1, 1, 2}));
}

TEST_F(SurfaceTest, ClipperRemembersItsWindow) {
  Use(DisplayFormat::Xrgb8888);
  ComPtr<IDirectDrawClipper> c;
  ASSERT_EQ(DirectDrawCreateClipper(0, c.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  HWND w = reinterpret_cast<HWND>(uintptr_t{0x42});
  EXPECT_EQ(c->SetHWnd(1, w), DDERR_INVALIDPARAMS);
  ASSERT_EQ(c->SetHWnd(0, w), DD_OK);
  HWND back = nullptr;
  ASSERT_EQ(c->GetHWnd(&back), DD_OK);
  EXPECT_EQ(back, w);
  plat::sim::FailNext("CreateClipper");
  EXPECT_EQ(dd_->CreateClipper(0, c.ReleaseAndGetAddressOf(), nullptr), DDERR_OUTOFMEMORY);
}

}  // namespace
