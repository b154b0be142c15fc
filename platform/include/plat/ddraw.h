// DirectDraw of the platform layer: the objects, descriptors, flags and result codes
// the module draws with. Surfaces live in memory; the primary surface is the
// simulated display, and blits to it through a clipper land in a window's store.
#pragma once

#include "plat/com.h"
#include "plat/gdi.h"
#include "plat/types.h"

// ---- Result codes -------------------------------------------------------------------
constexpr HRESULT MakeDdResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }

constexpr HRESULT DD_OK = S_OK;
constexpr HRESULT DD_FALSE = S_FALSE;
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_INVALIDCAPS = MakeDdResult(100);
constexpr HRESULT DDERR_INVALIDMODE = MakeDdResult(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDdResult(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDdResult(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDdResult(150);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDdResult(212);
constexpr HRESULT DDERR_NOCOLORKEY = MakeDdResult(215);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDdResult(225);
constexpr HRESULT DDERR_NOTFOUND = MakeDdResult(255);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDdResult(380);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDdResult(430);
constexpr HRESULT DDERR_CANTLOCKSURFACE = MakeDdResult(435);
constexpr HRESULT DDERR_SURFACELOST = MakeDdResult(450);
constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDdResult(540);
constexpr HRESULT DDERR_NODIRECTDRAWHW = MakeDdResult(563);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDdResult(564);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MakeDdResult(568);
constexpr HRESULT DDERR_NOHWND = MakeDdResult(569);
constexpr HRESULT DDERR_NOPALETTEATTACHED = MakeDdResult(572);
constexpr HRESULT DDERR_BLTFASTCANTCLIP = MakeDdResult(574);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MakeDdResult(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDdResult(582);
constexpr HRESULT DDERR_NOTLOCKED = MakeDdResult(584);
constexpr HRESULT DDERR_CANTCREATEDC = MakeDdResult(585);
constexpr HRESULT DDERR_NODC = MakeDdResult(586);
constexpr HRESULT DDERR_WRONGMODE = MakeDdResult(587);
constexpr HRESULT DDERR_DCALREADYCREATED = MakeDdResult(620);

// ---- Flags ----------------------------------------------------------------------------
// SetCooperativeLevel
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x4;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
constexpr DWORD DDSCL_MULTITHREADED = 0x400;
constexpr DWORD DDSCL_FPUSETUP = 0x800;

// Surface description fields
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_CKSRCBLT = 0x10000;
constexpr DWORD DDSD_REFRESHRATE = 0x40000;

// Surface capabilities
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x20;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS_VISIBLE = 0x8000;
constexpr DWORD DDSCAPS_LOCALVIDMEM = 0x10000000;

// Pixel format flags
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
constexpr DWORD DDPF_RGB = 0x40;

// Lock
constexpr DWORD DDLOCK_SURFACEMEMORYPTR = 0x0;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDLOCK_READONLY = 0x10;
constexpr DWORD DDLOCK_WRITEONLY = 0x20;
constexpr DWORD DDLOCK_NOSYSLOCK = 0x800;
constexpr DWORD DDLOCK_DONOTWAIT = 0x4000;

// Blt
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_DDFX = 0x800;
constexpr DWORD DDBLT_KEYDEST = 0x2000;
constexpr DWORD DDBLT_KEYDESTOVERRIDE = 0x4000;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_KEYSRCOVERRIDE = 0x10000;
constexpr DWORD DDBLT_ROP = 0x20000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDBLT_DONOTWAIT = 0x8000000;

// BltFast
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x0;
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr DWORD DDBLTFAST_DESTCOLORKEY = 0x2;
constexpr DWORD DDBLTFAST_WAIT = 0x10;
constexpr DWORD DDBLTFAST_DONOTWAIT = 0x20;

// Flip
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDFLIP_NOVSYNC = 0x8;
constexpr DWORD DDFLIP_DONOTWAIT = 0x20;

// Colour keys
constexpr DWORD DDCKEY_COLORSPACE = 0x1;
constexpr DWORD DDCKEY_DESTBLT = 0x2;
constexpr DWORD DDCKEY_DESTOVERLAY = 0x4;
constexpr DWORD DDCKEY_SRCBLT = 0x8;
constexpr DWORD DDCKEY_SRCOVERLAY = 0x10;

// Capabilities (GetCaps)
constexpr DWORD DDCAPS_BLT = 0x40;
constexpr DWORD DDCAPS_BLTCOLORFILL = 0x4000000;
constexpr DWORD DDCAPS_BLTSTRETCH = 0x200;
constexpr DWORD DDCAPS_COLORKEY = 0x400000;
constexpr DWORD DDCKEYCAPS_SRCBLT = 0x200;

constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x1;

// The raster operation a Blt with DDBLT_ROP may ask for (plain copy only).
constexpr DWORD DD_SRCCOPY = 0x00CC0020;

// ---- Descriptors ---------------------------------------------------------------------
struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};
using LPDDCOLORKEY = DDCOLORKEY*;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
};
using LPDDPIXELFORMAT = DDPIXELFORMAT*;
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDSCAPS {
  DWORD dwCaps;
};
struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
};
using LPDDSCAPS2 = DDSCAPS2*;

struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  union {
    DWORD dwBackBufferCount;
    DWORD dwDepth;
  };
  union {
    DWORD dwMipMapCount;
    DWORD dwRefreshRate;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
  DWORD dwTextureStage;
};
using LPDDSURFACEDESC2 = DDSURFACEDESC2*;
// The description's size on the 32-bit system the module was written for; callers may
// pass it as dwSize as well as sizeof(DDSURFACEDESC2).
constexpr DWORD kDdSurfaceDesc2Size32 = 124;

// The blit effects record. Only the fields the layer reads carry meaning; the pointer
// members of the original are plain 32-bit values here, so the size stays 100.
struct DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwROP;
  DWORD dwDDROP;
  DWORD dwRotationAngle;
  DWORD dwZBufferOpCode;
  DWORD dwZBufferLow;
  DWORD dwZBufferHigh;
  DWORD dwZBufferBaseDest;
  DWORD dwZDestConstBitDepth;
  DWORD dwZDestConst;
  DWORD dwZSrcConstBitDepth;
  DWORD dwZSrcConst;
  DWORD dwAlphaEdgeBlendBitDepth;
  DWORD dwAlphaEdgeBlend;
  DWORD dwReserved;
  DWORD dwAlphaDestConstBitDepth;
  DWORD dwAlphaDestConst;
  DWORD dwAlphaSrcConstBitDepth;
  DWORD dwAlphaSrcConst;
  union {
    DWORD dwFillColor;
    DWORD dwFillDepth;
    DWORD dwFillPixel;
  };
  DDCOLORKEY ddckDestColorkey;
  DDCOLORKEY ddckSrcColorkey;
};
using LPDDBLTFX = DDBLTFX*;
static_assert(sizeof(DDBLTFX) == 100);

// A short capability record: what the layer can tell about its blitter.
struct DDCAPS {
  DWORD dwSize;
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCKeyCaps;
  DWORD dwFXCaps;
  DWORD dwPalCaps;
  DWORD dwVidMemTotal;
  DWORD dwVidMemFree;
  DDSCAPS ddsCaps;
};
using LPDDCAPS = DDCAPS*;

using LPPALETTEENTRY = PALETTEENTRY*;
constexpr DWORD DDPCAPS_8BIT = 0x4;
constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

// ---- Interface identities -------------------------------------------------------------
inline constexpr IID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
inline constexpr IID IID_IDirectDraw4 = {0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};
inline constexpr IID IID_IDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirectDrawSurface4 = {
    0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirectDrawClipper = {
    0x6C14DB85, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDrawPalette = {
    0x6C14DB84, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// ---- Interfaces -----------------------------------------------------------------------
struct IDirectDrawClipper;
struct IDirectDrawPalette;
struct IDirectDrawSurface4;
using LPDIRECTDRAWCLIPPER = IDirectDrawClipper*;
using LPDIRECTDRAWPALETTE = IDirectDrawPalette*;
using LPDIRECTDRAWSURFACE4 = IDirectDrawSurface4*;

struct IDirectDrawClipper : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetHWnd(HWND* hwnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND hwnd) = 0;

 protected:
  ~IDirectDrawClipper() = default;
};

struct IDirectDrawPalette : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD caps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) = 0;

 protected:
  ~IDirectDrawPalette() = default;
};

struct IDirectDrawSurface4 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags,
                                        LPDDBLTFX fx) = 0;
  virtual HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                            DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* surface) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 caps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDC(HDC* hdc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE* palette) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsLost() = 0;
  virtual HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hdc) = 0;
  virtual HRESULT STDMETHODCALLTYPE Restore() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) = 0;

 protected:
  ~IDirectDrawSurface4() = default;
};

// The first identity DirectDrawCreate hands out; the module only asks it for the others.
struct IDirectDraw : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RestoreDisplayMode() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp) = 0;

 protected:
  ~IDirectDraw() = default;
};
using LPDIRECTDRAW = IDirectDraw*;

struct IDirectDraw2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RestoreDisplayMode() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh,
                                                   DWORD flags) = 0;

 protected:
  ~IDirectDraw2() = default;
};
using LPDIRECTDRAW2 = IDirectDraw2*;

struct IDirectDraw4 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                                  IUnknown* outer) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                                  IUnknown* outer) = 0;
  virtual HRESULT STDMETHODCALLTYPE FlipToGDISurface() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS driverCaps, LPDDCAPS emulationCaps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT STDMETHODCALLTYPE RestoreDisplayMode() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh,
                                                   DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
  virtual HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() = 0;
  virtual HRESULT STDMETHODCALLTYPE TestCooperativeLevel() = 0;

 protected:
  ~IDirectDraw4() = default;
};
using LPDIRECTDRAW4 = IDirectDraw4*;

// `guid` must be null (the display driver); `outer` must be null (no aggregation).
HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* object, IUnknown* outer);
HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer);
