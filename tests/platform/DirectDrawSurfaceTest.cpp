#include <gtest/gtest.h>

#include <functional>
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
struct KeyRow { DisplayFormat format; uint32_t key, keyWithUnusedBits, nearMiss; };
constexpr KeyRow kKeys[] = {
    {DisplayFormat::Rgb565, 0xF81F, 0xF81F, 0xF81E}, {DisplayFormat::Rgb555, 0x7C1F, 0xFC1F, 0x7C1E},
    {DisplayFormat::Xrgb8888, 0x00FF00FF, 0xA5FF00FF, 0x00FF00FE},
};

TEST_F(SurfaceTest, ColourKeyHidesTheKeyIgnoringUnusedBitsInEveryFormat) {
  for (const KeyRow& row : kKeys) {
    SCOPED_TRACE(static_cast<int>(row.format));
    Use(row.format);
    const uint32_t under = 0x1234;
    auto src = Make(4, 1, {row.key, row.keyWithUnusedBits, row.nearMiss, 0x0001});
    DDCOLORKEY key{row.key, row.key};
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    // What a blit into a fresh target made of `under` leaves there.
    auto onto = [&](const std::function<HRESULT(IDirectDrawSurface4*)>& blit) {
      auto dst = Make(4, 1, std::vector<uint32_t>(4, under));
      EXPECT_EQ(blit(dst.Get()), DD_OK);
      return ReadPixels(dst.Get());
    };
    const std::vector<uint32_t> expected{under, under, row.nearMiss, 0x0001};
    EXPECT_EQ(onto([&](auto* d) { return d->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); }),
              expected) << "Blt with the source's key";
    EXPECT_EQ(onto([&](auto* d) { return d->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY); }),
              expected) << "BltFast with the source's key";
    src->SetColorKey(DDCKEY_SRCBLT, nullptr);
    DDBLTFX fx = Fx();
    fx.ddckSrcColorkey = key;
    EXPECT_EQ(onto([&](auto* d) { return d->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx); }),
              expected) << "Blt with an override key";
    EXPECT_EQ(onto([&](auto* d) { return d->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT | DDBLTFAST_NOCOLORKEY); }),
              ReadPixels(src.Get())) << "no key: everything copied";
    // A source-key blit from a surface without a key copies everything too.
    EXPECT_EQ(onto([&](auto* d) { return d->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); }),
              ReadPixels(src.Get()));
    EXPECT_EQ(onto([&](auto* d) { return d->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_SRCCOLORKEY); }),
              ReadPixels(src.Get()));
  }
}

TEST_F(SurfaceTest, StretchPicksNearestSourcePixelsAndOverlapsReadTheOldPixels) {
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
  // Within one surface: scroll down one row, then stretch onto itself.
  auto s = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  RECT from{0, 0, 3, 2}, to{0, 0, 3, 3}, small{0, 0, 2, 2};
  ASSERT_EQ(s->BltFast(0, 1, s.Get(), &from, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(ReadPixels(s.Get()), (std::vector<uint32_t>{1, 2, 3, 1, 2, 3, 4, 5, 6}));
  ASSERT_EQ(s->Blt(&to, s.Get(), &small, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(s.Get()), (std::vector<uint32_t>{1, 1, 2, 1, 1, 2, 1, 1, 2}));
}

TEST_F(SurfaceTest, RectanglesOutsideTheSurfaceAreRefusedWithoutAClipper) {
  Use(DisplayFormat::Rgb565);
  auto src = Make(4, 4);
  auto dst = Make(8, 8, std::vector<uint32_t>(64, 9));
  for (RECT r : {RECT{-1, 0, 3, 4}, RECT{5, 5, 9, 9}, RECT{2, 2, 2, 4}, RECT{4, 4, 2, 2}})
    EXPECT_EQ(dst->Blt(&r, src.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT) << r.left << "," << r.top;
  RECT srcBad{0, 0, 5, 4};
  EXPECT_EQ(dst->Blt(nullptr, src.Get(), &srcBad, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(ReadPixels(dst.Get()), std::vector<uint32_t>(64, 9)) << "a refused blit writes nothing";
}

TEST_F(SurfaceTest, AClipperClipsInsteadOfRefusingAndKeepsTheStretchMapping) {
  Use(DisplayFormat::Xrgb8888);
  auto src = Make(4, 1, {1, 2, 3, 4});
  auto dst = Make(4, 1, {0, 0, 0, 0});
  ComPtr<IDirectDrawClipper> clipper, back;
  ASSERT_EQ(dd_->CreateClipper(0, clipper.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  ASSERT_EQ(dst->SetClipper(clipper.Get()), DD_OK);
  RECT wide{-4, 0, 4, 1};  // 8 wide: each source pixel twice; the left half falls off
  ASSERT_EQ(dst->Blt(&wide, src.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{3, 3, 4, 4}));
  EXPECT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
  ASSERT_EQ(dst->GetClipper(back.ReleaseAndGetAddressOf()), DD_OK);
  EXPECT_EQ(back.Get(), clipper.Get());
  // A clipper keeps its window; creating one may fail.
  HWND w = reinterpret_cast<HWND>(uintptr_t{0x42}), got = nullptr;
  EXPECT_EQ(clipper->SetHWnd(1, w), DDERR_INVALIDPARAMS);
  ASSERT_EQ(clipper->SetHWnd(0, w), DD_OK);
  ASSERT_EQ(clipper->GetHWnd(&got), DD_OK);
  EXPECT_EQ(got, w);
  ASSERT_EQ(DirectDrawCreateClipper(0, back.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  plat::sim::FailNext("CreateClipper");
  EXPECT_EQ(dd_->CreateClipper(0, back.ReleaseAndGetAddressOf(), nullptr), DDERR_OUTOFMEMORY);
}

TEST_F(SurfaceTest, BltFastCopiesOneToOneInsideTheBoundsOfTheSameFormatOnly) {
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
  // Keyed by a destination key the surface lacks: nothing lands, and the system says so
  // with DD_OK; with a key the layer draws no destination-keyed blit.
  const std::vector<uint32_t> before = ReadPixels(dst.Get());
  EXPECT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_DESTCOLORKEY), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), before);
  DDCOLORKEY key{0, 0};
  ASSERT_EQ(dst->SetColorKey(DDCKEY_DESTBLT, &key), DD_OK);
  EXPECT_EQ(dst->BltFast(0, 0, src.Get(), nullptr, DDBLTFAST_DESTCOLORKEY), DDERR_UNSUPPORTED);
  DDPIXELFORMAT x32{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
  ComPtr<IDirectDrawSurface4> s32;
  ASSERT_EQ(MakeOffscreen(dd_.Get(), 2, 2, &s32, &x32), DD_OK);
  EXPECT_EQ(src->Blt(nullptr, s32.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(src->BltFast(0, 0, s32.Get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDPIXELFORMAT);
}

// The real system refuses to blit a surface of one DirectDraw object onto another's
// (E_NOTIMPL, the object that made it released or not), so a screen rebuilt on a new
// object would draw none of the pictures loaded before.
TEST_F(SurfaceTest, AnotherObjectsSurfaceIsRefusedAsASource) {
  Use(DisplayFormat::Rgb565);
  auto mine = Make(2, 2, {1, 2, 3, 4});
  auto dst = Make(2, 2, std::vector<uint32_t>(4, 0));
  ComPtr<IDirectDraw4> other = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> foreign;
  ASSERT_EQ(MakeOffscreen(other.Get(), 2, 2, &foreign), DD_OK);
  WritePixels(foreign.Get(), {5, 6, 7, 8});
  EXPECT_EQ(dst->Blt(nullptr, foreign.Get(), nullptr, DDBLT_WAIT, nullptr), E_NOTIMPL);
  EXPECT_EQ(dst->BltFast(0, 0, foreign.Get(), nullptr, DDBLTFAST_WAIT), E_NOTIMPL);
  other = nullptr;
  EXPECT_EQ(dst->Blt(nullptr, foreign.Get(), nullptr, DDBLT_WAIT, nullptr), E_NOTIMPL) << "its object released";
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>(4, 0)));
  EXPECT_EQ(dst->Blt(nullptr, mine.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadPixels(dst.Get()), (std::vector<uint32_t>{1, 2, 3, 4}));
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
  RECT r{2, 1, 4, 3}, outside{5, 3, 7, 4};
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(&r, &d, DDLOCK_WAIT, nullptr), DD_OK);
  const DWORD filled = DDSD_LPSURFACE | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT;
  EXPECT_EQ(d.dwFlags & filled, filled);
  EXPECT_GT(d.lPitch, 24);
  auto* p = static_cast<uint8_t*>(d.lpSurface);
  reinterpret_cast<uint32_t*>(p)[0] = 0xA;
  reinterpret_cast<uint32_t*>(p + d.lPitch)[1] = 0xB;
  ASSERT_EQ(s->Unlock(&r), DD_OK);
  EXPECT_EQ(PixelAt(s.Get(), 2, 1), 0xAu);
  EXPECT_EQ(PixelAt(s.Get(), 3, 2), 0xBu);
  EXPECT_EQ(s->Lock(&outside, &d, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(SurfaceTest, LocksAndDeviceContextsExcludeEachOtherWithoutEndlessBusy) {
  Use(DisplayFormat::Rgb565);
  auto s = Make(4, 4);
  auto other = Make(4, 4);
  auto lockElsewhere = [&] {
    HRESULT r = DD_OK;
    std::thread([&] {
      DDSURFACEDESC2 d2 = Desc();
      r = s->Lock(nullptr, &d2, DDLOCK_WAIT, nullptr);
    }).join();
    return r;
  };
  DDSURFACEDESC2 d = Desc();
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  // Busy for the holder's own thread as for any other.
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  HDC dc = nullptr, second = nullptr;
  EXPECT_EQ(s->GetDC(&dc), DDERR_SURFACEBUSY);
  EXPECT_EQ(lockElsewhere(), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, s.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(s->BltFast(0, 0, other.Get(), nullptr, DDBLTFAST_WAIT), DDERR_SURFACEBUSY);
  ASSERT_EQ(s->Unlock(nullptr), DD_OK);
  ASSERT_EQ(s->GetDC(&dc), DD_OK);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(s->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(lockElsewhere(), DDERR_SURFACEBUSY);
  EXPECT_EQ(s->ReleaseDC(reinterpret_cast<HDC>(uintptr_t{99})), DDERR_NODC);
  ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  s->Unlock(nullptr);
  plat::sim::FailNext("IDirectDrawSurface4::GetDC");
  EXPECT_EQ(s->GetDC(&dc), DDERR_CANTCREATEDC);
  EXPECT_EQ(dc, nullptr);
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

}  // namespace
