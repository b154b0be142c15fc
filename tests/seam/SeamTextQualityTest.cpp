// Text edges by font quality: which qualities the system smooths (edge pixels between the
// text colour and what lies under it) at the run's depth, on a DirectDraw surface's DC
// and on a DIB section, with the system's smoothing setting on and off, and at the sizes
// and weights the module's text takes. The module draws text onto surfaces filled with
// the transparent key, where a smoothed edge would carry the key's colour to the screen.
#include "Seam.h"
#include "SeamWindow.h"

#include <cstring>
#include <string>
#include <vector>

#include "plat/comptr.h"
#include "plat/ddraw.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/winuser.h"

namespace {

constexpr int kWidth = 96, kHeight = 40;
const char kSample[] = "\xB0\xA1\xB3\xAA Aw";  // 가나 Aw

const std::vector<BYTE>& Qualities() {
  static const std::vector<BYTE> all{DEFAULT_QUALITY,    DRAFT_QUALITY,     PROOF_QUALITY,
                                     NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY,
                                     CLEARTYPE_NATURAL_QUALITY};
  return all;
}

// Qualities that leave smoothing to the system's setting.
bool FollowsTheSetting(BYTE quality) {
  return quality == DEFAULT_QUALITY || quality == DRAFT_QUALITY || quality == PROOF_QUALITY;
}

// The face the module's font list settles on: the first of its preferred faces the
// system enumerates, else its last resort.
const char* const kPreferredFaces[] = {"\xB1\xBC\xB8\xB2", "\xB5\xB8\xBF\xF2\xC3\xBC", "Gulim", "Dotumche"};
constexpr int kPreferredCount = int(sizeof kPreferredFaces / sizeof kPreferredFaces[0]);

int CALLBACK NoteFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found) {
  auto* best = reinterpret_cast<int*>(found);
  for (int i = 0; i < kPreferredCount; ++i)
    if (std::strcmp(font->lfFaceName, kPreferredFaces[i]) == 0 && (*best < 0 || i < *best)) *best = i;
  return 1;
}

std::string ModuleFace() {
  HDC screen = GetDC(nullptr);
  LOGFONTA every{};
  every.lfCharSet = DEFAULT_CHARSET;
  int found = -1;
  EnumFontFamiliesExA(screen, &every, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found < 0 ? "Arial" : kPreferredFaces[found];
}

// White text on black in the DC: whether any pixel is neither.
bool DrawsSmoothedEdges(HDC dc, int height, int weight, BYTE quality) {
  const std::string face = ModuleFace();
  HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, quality, VARIABLE_PITCH,
                           face.c_str());
  EXPECT_NE(font, nullptr);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, 2, 2, kSample, int(std::strlen(kSample)));
  SelectObject(dc, old);
  DeleteObject(font);
  GdiFlush();
  bool full = false, between = false;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      full = full || c == RGB(255, 255, 255);
      between = between || (c != RGB(0, 0, 0) && c != RGB(255, 255, 255));
    }
  }
  EXPECT_TRUE(full) << "the text was drawn";
  return between;
}

// A DIB section of the run's depth (5-6-5 at 16 bits) or of 8 bits with a grey palette,
// selected into a memory DC.
class DibCanvas {
 public:
  explicit DibCanvas(int bits) {
    struct {
      BITMAPINFOHEADER header;
      DWORD extra[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = kWidth;
    info.header.biHeight = -kHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(bits);
    info.header.biCompression = BI_RGB;
    if (bits == 16) {
      info.header.biCompression = BI_BITFIELDS;
      info.extra[0] = 0xF800, info.extra[1] = 0x07E0, info.extra[2] = 0x001F;
    } else if (bits == 8) {
      info.header.biClrUsed = 256;
      for (DWORD i = 0; i < 256; ++i) info.extra[i] = i | (i << 8) | (i << 16);
    }
    dc_ = CreateCompatibleDC(nullptr);
    void* pixels = nullptr;
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~DibCanvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  HDC Dc() const { return bitmap_ ? dc_ : nullptr; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The system's smoothing switch for one check, for this process only, given back as it was.
class SmoothingSwitch {
 public:
  explicit SmoothingSwitch(bool on) {
    SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &was_, 0);
    set_ = SystemParametersInfoA(SPI_SETFONTSMOOTHING, on ? TRUE : FALSE, nullptr, 0) != 0;
  }
  ~SmoothingSwitch() { SystemParametersInfoA(SPI_SETFONTSMOOTHING, was_, nullptr, 0); }
  SmoothingSwitch(const SmoothingSwitch&) = delete;
  SmoothingSwitch& operator=(const SmoothingSwitch&) = delete;
  bool Set() const { return set_; }

 private:
  BOOL was_ = TRUE;
  bool set_ = false;
};

class SeamTextQuality : public testing::Test {
 protected:
  void SetUp() override {
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    void* four = nullptr;
    const HRESULT hr = first->QueryInterface(IID_IDirectDraw4, &four);
    first->Release();
    ASSERT_EQ(hr, S_OK);
    dd_.Attach(static_cast<IDirectDraw4*>(four));
    ASSERT_EQ(dd_->SetCooperativeLevel(window_.Handle(), DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ASSERT_EQ(dd_->CreateSurface(&desc, surface_.ReleaseAndGetAddressOf(), nullptr), DD_OK);
  }

  // Whether the text smooths on the surface's DC and on a DIB section of the same depth;
  // the two must agree.
  bool Smooths(int height, int weight, BYTE quality) {
    HDC dc = nullptr;
    EXPECT_EQ(surface_->GetDC(&dc), DD_OK);
    if (!dc) return false;
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), seam::Depth());
    const bool onSurface = DrawsSmoothedEdges(dc, height, weight, quality);
    surface_->ReleaseDC(dc);
    DibCanvas dib(seam::Depth());
    EXPECT_NE(dib.Dc(), nullptr);
    const bool onDib = dib.Dc() && DrawsSmoothedEdges(dib.Dc(), height, weight, quality);
    EXPECT_EQ(onSurface, onDib) << "quality " << int(quality) << ": a surface's DC and a DIB section differ";
    return onSurface;
  }

  seam::SeamWindow window_{40, 40, 96, 64};
  ComPtr<IDirectDraw4> dd_;
  ComPtr<IDirectDrawSurface4> surface_;
};

TEST_F(SeamTextQuality, TheSystemSmoothsByDefault) {
  BOOL on = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &on, 0));
  EXPECT_EQ(on, TRUE);
  UINT type = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0));
  EXPECT_TRUE(type == FE_FONTSMOOTHINGSTANDARD || type == FE_FONTSMOOTHINGCLEARTYPE) << type;
}

// At a size the face lets be grey: with smoothing on every quality but the
// non-antialiased one smooths; with it off only the qualities that ask for it do.
TEST_F(SeamTextQuality, EachQualitySmoothsLargeTextAsTheSettingSays) {
  for (bool on : {true, false}) {
    SmoothingSwitch setting(on);
    ASSERT_TRUE(setting.Set());
    for (BYTE quality : Qualities()) {
      bool expected = quality != NONANTIALIASED_QUALITY && (on || !FollowsTheSetting(quality));
      if (!on && FollowsTheSetting(quality))
        expected = seam::WineDiffers(false, true,
                                     "Wine 8 smooths text of the default, draft and proof qualities whatever the "
                                     "smoothing setting; Windows leaves it hard when smoothing is off");
      EXPECT_EQ(Smooths(-24, FW_NORMAL, quality), expected)
          << "quality " << int(quality) << ", smoothing " << (on ? "on" : "off");
    }
  }
}

// The module's text sizes: the face's own table (its font file's list of sizes drawn
// without grey) keeps its regular 12-pixel text hard at every quality, while a bold made
// from the regular face is smoothed at that size too. Both are held as Wine draws them:
// the sizes are the face's data, and the bold's exception is Wine's rule, which Windows
// does not document.
TEST_F(SeamTextQuality, TheModulesTextSizesAreHardUnlessBold) {
  seam::HeldAsWineAnswers("the face's own table of hard sizes (Baekmuk's 9-16 pixels an em) and Wine's smoothing "
                          "of a bold made from the regular face at those sizes");
  for (BYTE quality : Qualities()) {
    EXPECT_FALSE(Smooths(12, FW_NORMAL, quality)) << "quality " << int(quality);
    EXPECT_EQ(Smooths(16, FW_BOLD, quality), quality != NONANTIALIASED_QUALITY) << "quality " << int(quality);
  }
}

// A palette has no levels between the text and what lies under it.
TEST_F(SeamTextQuality, NoQualitySmoothsOnAPalette) {
  DibCanvas indexed(8);
  ASSERT_NE(indexed.Dc(), nullptr);
  for (BYTE quality : Qualities()) EXPECT_FALSE(DrawsSmoothedEdges(indexed.Dc(), -24, FW_NORMAL, quality)) << int(quality);
}

}  // namespace
