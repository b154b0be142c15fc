#include <gtest/gtest.h>

#include "DirectDrawTestSupport.h"
#include "plat/ddraw.h"
#include "plat/sim.h"

namespace {

using namespace ddraw_test;

// An object made without a cooperative level.
ComPtr<IDirectDraw4> Unset() {
  ComPtr<IDirectDraw> first;
  EXPECT_EQ(DirectDrawCreate(nullptr, first.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  ComPtr<IDirectDraw4> dd;
  if (first) first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(dd.ReleaseAndGetAddressOf()));
  return dd;
}

TEST_F(DirectDrawTest, CreateSurfaceRefusesBadDescriptions) {
  ComPtr<IDirectDrawSurface4> s;
  EXPECT_EQ(MakeOffscreen(Unset().Get(), 4, 4, &s), DDERR_NOCOOPERATIVELEVELSET);
  auto dd = MakeDirectDraw();
  EXPECT_EQ(MakeOffscreen(dd.Get(), 0, 4, &s), DDERR_INVALIDPARAMS);
  EXPECT_EQ(MakeOffscreen(dd.Get(), 100000, 4, &s), DDERR_INVALIDPARAMS);
  DDPIXELFORMAT odd{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0x001F, 0x07E0, 0xF800, 0};
  EXPECT_EQ(MakeOffscreen(dd.Get(), 4, 4, &s, &odd), DDERR_INVALIDPIXELFORMAT);
  DDPIXELFORMAT rgb565{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
  EXPECT_EQ(MakeOffscreen(dd.Get(), 4, 4, &s, &rgb565), DD_OK);
  EXPECT_EQ(BytesPerPixel(s.Get()), 2);
  DDSURFACEDESC2 d = Desc();
  d.dwSize = 50;
  d.dwFlags = DDSD_CAPS;
  d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  EXPECT_EQ(dd->CreateSurface(&d, s.ReleaseAndGetAddressOf(), nullptr), DDERR_INVALIDPARAMS);
  d.dwSize = kDdSurfaceDesc2Size32;  // the size the module's descriptions carry
  EXPECT_EQ(dd->CreateSurface(&d, s.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(MakeOffscreen(dd.Get(), 4, 4, &s), DDERR_OUTOFMEMORY);
  EXPECT_FALSE(s);
}

TEST_F(DirectDrawTest, ExclusiveModeSetsTheModeInTheDesktopsLayoutAndLeavingItRestoresTheDesktop) {
  plat::sim::ResetDisplay(DisplayFormat::Rgb555);
  EXPECT_EQ(MakeDirectDraw()->SetDisplayMode(800, 600, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  auto dd = MakeDirectDraw(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT);
  ASSERT_TRUE(dd);
  EXPECT_EQ(dd->SetDisplayMode(800, 600, 24, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(dd->SetDisplayMode(801, 600, 16, 0, 0), DDERR_INVALIDMODE);
  ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 800);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Rgb555) << "the desktop's 16-bit layout";
  EXPECT_EQ(dd->TestCooperativeLevel(), DD_OK);
  EXPECT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK) << "the mode in force, asked again";
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 800);
  const int desktopWidth = GetSystemMetrics(SM_CXSCREEN), desktopHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(dd->SetDisplayMode(static_cast<DWORD>(desktopWidth), static_cast<DWORD>(desktopHeight), 16, 0, 0), DD_OK)
      << "the desktop's own size is always a mode";
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, desktopWidth);
  // Going back to windowed mode gives the desktop its mode without RestoreDisplayMode.
  ASSERT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 1024);
  plat::sim::ResetDisplay(DisplayFormat::Xrgb8888);
  dd = MakeDirectDraw(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Rgb565);
  dd.Reset();  // releasing the exclusive object restores the desktop too
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 1024);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Xrgb8888);
}

TEST_F(DirectDrawTest, CooperativeLevelRefusesMixedFlagsAndExclusiveModeHeldElsewhere) {
  auto dd = Unset(), windowed = MakeDirectDraw();
  EXPECT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_NORMAL | DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
  HWND child = MakeChild(TopLevel(), 0, 0, 10, 10);
  EXPECT_EQ(dd->SetCooperativeLevel(child, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS)
      << "exclusive mode needs a top-level window";
  EXPECT_EQ(dd->TestCooperativeLevel(), DDERR_NOCOOPERATIVELEVELSET);
  plat::sim::SetExclusiveHeldElsewhere(true);
  EXPECT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_EXCLUSIVEMODEALREADYSET);
  EXPECT_EQ(windowed->TestCooperativeLevel(), DDERR_EXCLUSIVEMODEALREADYSET);
  plat::sim::SetExclusiveHeldElsewhere(false);
  EXPECT_EQ(windowed->TestCooperativeLevel(), DD_OK);
  ASSERT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  plat::sim::SetExclusiveHeldElsewhere(true);  // taken away from us
  EXPECT_EQ(dd->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
}

TEST_F(DirectDrawTest, LostSurfacesComeBackThroughRestoreWithThePattern) {
  auto dd = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> primary, sys;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  ASSERT_EQ(MakeOffscreen(dd.Get(), 8, 8, &sys), DD_OK);
  ASSERT_EQ(ColourFill(primary.Get(), 0x123456), DD_OK);
  plat::sim::LoseSurfaces();
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(sys->IsLost(), DD_OK) << "system memory is never lost";
  DDSURFACEDESC2 d = Desc();
  EXPECT_EQ(primary->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  HDC dc = nullptr;
  EXPECT_EQ(primary->GetDC(&dc), DDERR_SURFACELOST);
  plat::sim::FailNextRestore();
  EXPECT_EQ(primary->Restore(), DDERR_GENERIC);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(dd->RestoreAllSurfaces(), DD_OK);
  EXPECT_EQ(primary->IsLost(), DD_OK);
  EXPECT_EQ(PixelAt(primary.Get(), 0, 0), 0xCDCDCDCDu);
}

TEST_F(DirectDrawTest, FlipChainNeedsExclusiveModeAndSwapsTheBuffers) {
  auto windowed = MakeDirectDraw();
  DDSURFACEDESC2 d = Desc();
  d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  d.dwBackBufferCount = 1;
  ComPtr<IDirectDrawSurface4> front;
  EXPECT_EQ(windowed->CreateSurface(&d, front.ReleaseAndGetAddressOf(), nullptr), DDERR_NOEXCLUSIVEMODE);
  windowed.Reset();
  auto dd = MakeDirectDraw(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
  ASSERT_EQ(dd->CreateSurface(&d, front.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  ComPtr<IDirectDrawSurface4> back;
  ASSERT_EQ(front->GetAttachedSurface(&caps, back.ReleaseAndGetAddressOf()), DD_OK);
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  ASSERT_EQ(ColourFill(back.Get(), 0x07E0), DD_OK);
  ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(PixelAt(front.Get(), 10, 10), 0x07E0u);
  EXPECT_EQ(PixelAt(back.Get(), 10, 10), 0xCDCDu);
}

TEST_F(DirectDrawTest, AnswersTheFourAndTwoIdentitiesAndRefusesSeven) {
  ComPtr<IDirectDraw> first;
  ASSERT_EQ(DirectDrawCreate(nullptr, first.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), 1u);
  for (const IID* iid : {&IID_IDirectDraw4, &IID_IDirectDraw2, &IID_IDirectDraw, &IID_IUnknown}) {
    void* p = nullptr;
    EXPECT_EQ(first->QueryInterface(*iid, &p), S_OK);
    ASSERT_NE(p, nullptr);
    static_cast<IUnknown*>(p)->Release();
  }
  ComPtr<IDirectDraw4> dd4;
  ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(dd4.ReleaseAndGetAddressOf())), S_OK);
  DDCAPS caps{};
  EXPECT_EQ(dd4->GetCaps(&caps, nullptr), DDERR_INVALIDPARAMS) << "size not set";
  caps.dwSize = sizeof caps;
  ASSERT_EQ(dd4->GetCaps(&caps, nullptr), DD_OK);
  EXPECT_TRUE(caps.dwCKeyCaps & DDCKEYCAPS_SRCBLT);
  dd4.Reset();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(first->QueryInterface(IID_IDirectDraw7, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  first.Reset();
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), 0u);
}

TEST_F(DirectDrawTest, ModeChangeLosesOnlyThePrimaryAndAsksForANewObject) {
  auto dd = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> primary, back;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  ASSERT_EQ(MakeOffscreen(dd.Get(), 16, 16, &back), DD_OK);

  plat::sim::ChangeDisplayMode(800, 600, DisplayFormat::Rgb565);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(back->IsLost(), DD_OK);
  EXPECT_EQ(primary->Blt(nullptr, back.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
  EXPECT_EQ(back->Restore(), DD_OK);
  EXPECT_EQ(dd->RestoreAllSurfaces(), DDERR_WRONGMODE);
  EXPECT_EQ(dd->TestCooperativeLevel(), DDERR_WRONGMODE);
  EXPECT_EQ(dd->TestCooperativeLevel(), DDERR_WRONGMODE) << "stays until the object is made again";

  auto again = MakeDirectDraw();
  EXPECT_EQ(again->TestCooperativeLevel(), DD_OK);
  ComPtr<IDirectDrawSurface4> fresh;
  ASSERT_EQ(MakePrimary(again.Get(), &fresh), DD_OK);
  DDSURFACEDESC2 d = Desc();
  fresh->GetSurfaceDesc(&d);
  EXPECT_EQ(d.dwWidth, 800u);
  EXPECT_EQ(d.ddpfPixelFormat.dwRBitMask, 0xF800u);
}

}  // namespace
