#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "GdiFixtures.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "plat/winuser.h"
#include "plat/sim.h"

using gdi_test::DibCanvas;
using gdi_test::kMasks565;

namespace {

const char kGulim[] = "\xB1\xBC\xB8\xB2";     // 굴림
const char kKorean[] = "\xB0\xA1\xB3\xAA\xB4\xD9";  // 가나다
constexpr COLORREF kKey = RGB(255, 0, 255);

HFONT MakeFont(int height, int weight = FW_NORMAL, const char* face = kGulim, BYTE quality = DEFAULT_QUALITY) {
  return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, quality, VARIABLE_PITCH, face);
}

// A keyed text surface, as the text widgets make them.
class TextCanvas : public DibCanvas {
 public:
  TextCanvas(int w, int h, HFONT font, int bpp = 32) : DibCanvas(w, h, bpp, bpp == 16 ? kMasks565 : nullptr), w_(w), h_(h) {
    Fill(kKey);
    old_ = SelectObject(dc(), font);
    SetBkMode(dc(), TRANSPARENT);
    SetTextColor(dc(), RGB(255, 255, 255));
  }
  ~TextCanvas() { SelectObject(dc(), old_); }
  // Bounding box of the pixels that are not the key (empty when none).
  RECT Ink() const {
    RECT r{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (GetPixel(dc(), x, y) != kKey) {
          r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  std::set<COLORREF> Colours() const {
    std::set<COLORREF> out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) out.insert(GetPixel(dc(), x, y));
    return out;
  }

 private:
  int w_, h_;
  HGDIOBJ old_;
};

SIZE Extent(HDC dc, const char* text, int count) {
  SIZE s{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text, count, &s));
  return s;
}

TEST(Text, ExtentsCountWholeCharactersOfTheByteRange) {
  HFONT font = MakeFont(-12);
  TextCanvas c(4, 4, font);
  const SIZE one = Extent(c.dc(), kKorean, 2), cut = Extent(c.dc(), kKorean, 3), two = Extent(c.dc(), kKorean, 4);
  EXPECT_GT(one.cx, 0);
  EXPECT_EQ(cut.cx, one.cx);  // the orphan lead byte is dropped
  EXPECT_GT(two.cx, one.cx);
  EXPECT_EQ(Extent(c.dc(), kKorean, 1).cx, 0);
  EXPECT_EQ(Extent(c.dc(), "", 0).cx, 0);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
  EXPECT_EQ(one.cy, tm.tmHeight);
  EXPECT_EQ(Extent(c.dc(), "ab", 2).cx, Extent(c.dc(), "a", 1).cx + Extent(c.dc(), "b", 1).cx);
  DeleteObject(font);
}

TEST(Text, CalcRectMeasuresLinesWithoutDrawing) {
  HFONT font = MakeFont(12);
  TextCanvas c(100, 60, font);
  RECT r{5, 7, 5, 7}, m{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(c.dc(), kKorean, -1, &r, DT_CALCRECT | DT_SINGLELINE), 12);
  EXPECT_EQ(r.right - r.left, Extent(c.dc(), kKorean, 6).cx);
  EXPECT_EQ(r.bottom, 7 + 12);
  EXPECT_EQ(DrawTextA(c.dc(), "a\nbb\r\nccc", -1, &m, DT_CALCRECT), 36);
  EXPECT_EQ(m.right, Extent(c.dc(), "ccc", 3).cx);
  EXPECT_EQ(c.Colours(), std::set<COLORREF>{kKey});
  // Word breaking within the rectangle's width: one character per line.
  RECT narrow{0, 0, Extent(c.dc(), kKorean, 2).cx + 1, 0}, words{0, 0, Extent(c.dc(), "aa bb", 5).cx - 1, 0};
  EXPECT_EQ(DrawTextA(c.dc(), kKorean, -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 36);
  EXPECT_EQ(DrawTextA(c.dc(), "aa bb", -1, &words, DT_CALCRECT | DT_WORDBREAK), 24);
  EXPECT_EQ(words.right, Extent(c.dc(), "aa", 2).cx);
  DeleteObject(font);
}

TEST(Text, AmpersandIsAMnemonicPrefixUnlessToldOtherwise) {
  HFONT font = MakeFont(12);
  TextCanvas c(100, 20, font), plain(40, 20, font), marked(40, 20, font);
  auto width = [&](const char* text, UINT format) {
    RECT r{0, 0, 0, 0};
    DrawTextA(c.dc(), text, -1, &r, format | DT_CALCRECT | DT_SINGLELINE);
    return r.right;
  };
  EXPECT_EQ(width("&File", 0), Extent(c.dc(), "File", 4).cx);
  EXPECT_EQ(width("a&&b", 0), Extent(c.dc(), "a&b", 3).cx);
  EXPECT_EQ(width("&File", DT_NOPREFIX), Extent(c.dc(), "&File", 5).cx);
  // The mnemonic is underlined: the plain text draws nothing below its baseline.
  RECT r{0, 0, 40, 20};
  DrawTextA(plain.dc(), "F", -1, &r, DT_SINGLELINE);
  DrawTextA(marked.dc(), "&F", -1, &r, DT_SINGLELINE);
  EXPECT_GT(marked.Ink().bottom, plain.Ink().bottom);
  DeleteObject(font);
}

TEST(Text, OpaqueModesPaintTheBackgroundColour) {
  HFONT font = MakeFont(12);
  TextCanvas c(60, 20, font);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  RECT r{40, 0, 60, 20};
  ExtTextOutA(c.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
  EXPECT_EQ(GetPixel(c.dc(), 50, 10), RGB(0, 0, 255));
  SetBkMode(c.dc(), OPAQUE);
  TextOutA(c.dc(), 0, 0, "ab", 2);
  EXPECT_EQ(GetPixel(c.dc(), 0, 11), RGB(0, 0, 255));  // the cell is filled under the glyphs
  EXPECT_EQ(GetPixel(c.dc(), 0, 12), kKey);
  DeleteObject(font);
}

TEST(Text, PositiveHeightsAreCellsAndNegativeOnesEms) {
  struct Case {
    int height;
  } cases[] = {{12}, {14}, {20}, {-12}, {-14}, {0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.height);
    HFONT font = MakeFont(k.height);
    TextCanvas c(4, 4, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
    if (k.height > 0) {
      EXPECT_EQ(tm.tmHeight, k.height);
    } else if (k.height < 0) {
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -k.height);
    }
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    DeleteObject(font);
  }
}

TEST(Text, SingleLinePlacementFollowsTheAlignmentFlags) {
  HFONT font = MakeFont(12);
  const int W = 100, H = 40;
  auto ink = [&](UINT format) {
    TextCanvas c(W, H, font);
    RECT r{0, 0, W, H};
    DrawTextA(c.dc(), "Hg", -1, &r, format);
    return c.Ink();
  };
  const RECT top = ink(DT_SINGLELINE), mid = ink(DT_SINGLELINE | DT_VCENTER), bottom = ink(DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(mid.top - top.top, (H - 12) / 2);
  EXPECT_EQ(bottom.top - top.top, H - 12);
  EXPECT_EQ(ink(DT_VCENTER).top, top.top);  // vertical placement needs DT_SINGLELINE
  const RECT right = ink(DT_SINGLELINE | DT_RIGHT), centre = ink(DT_SINGLELINE | DT_CENTER);
  TextCanvas probe(4, 4, font);
  const LONG cx = Extent(probe.dc(), "Hg", 2).cx;
  EXPECT_EQ(right.left - top.left, W - cx);
  EXPECT_EQ(centre.left - top.left, (W - cx) / 2);
  DeleteObject(font);
}

TEST(Text, TextIsClippedToTheRectangleUnlessNoClip) {
  HFONT font = MakeFont(12);
  TextCanvas clipped(60, 20, font), free(60, 20, font);
  RECT r{0, 0, 10, 20};
  DrawTextA(clipped.dc(), kKorean, -1, &r, DT_SINGLELINE);
  DrawTextA(free.dc(), kKorean, -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_LE(clipped.Ink().right, 10);
  EXPECT_GT(free.Ink().right, 10);
  DeleteObject(font);
}

struct Seen {
  std::vector<std::string> faces;
  int stopAfter = 1000;
};

int CALLBACK Collect(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD type, LPARAM param) {
  auto* seen = reinterpret_cast<Seen*>(param);
  seen->faces.push_back(lf->lfFaceName);
  EXPECT_EQ(type, TRUETYPE_FONTTYPE);
  EXPECT_GT(tm->tmHeight, 0);
  return static_cast<int>(seen->faces.size()) < seen->stopAfter ? 1 : 0;
}

TEST(Text, EnumerationReportsTheConfiguredFacesAndStopsOnZero) {
  HDC dc = GetWindowDC(GetDesktopWindow());
  ASSERT_NE(dc, nullptr);
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  Seen all;
  EXPECT_EQ(EnumFontFamiliesExA(dc, &lf, Collect, reinterpret_cast<LPARAM>(&all), 0), 1);
  ASSERT_FALSE(all.faces.empty());
  EXPECT_EQ(all.faces.front(), kGulim);  // Korean names first
  EXPECT_EQ(all.faces, plat::sim::DefaultReportedFontFaces());
  plat::sim::SetReportedFontFaces({"Gulim", "Arial"});
  Seen english;
  EnumFontFamiliesExA(dc, &lf, Collect, reinterpret_cast<LPARAM>(&english), 0);
  EXPECT_EQ(english.faces, (std::vector<std::string>{"Gulim", "Arial"}));
  Seen first;
  first.stopAfter = 1;
  EXPECT_EQ(EnumFontFamiliesExA(dc, &lf, Collect, reinterpret_cast<LPARAM>(&first), 0), 0);
  EXPECT_EQ(first.faces.size(), 1u);
  plat::sim::SetReportedFontFaces({});
  ReleaseDC(GetDesktopWindow(), dc);
}

// White text on the key: whether any pixel is neither (a smoothed edge), and whether
// every such pixel is a level between the two.
struct Edges {
  bool smoothed = false;
  bool betweenTextAndKey = true;
};

Edges DrawnEdges(int height, int weight, BYTE quality, int bpp) {
  HFONT font = MakeFont(height, weight, kGulim, quality);
  Edges e;
  {
    TextCanvas c(96, 40, font, bpp);
    TextOutA(c.dc(), 2, 2, kKorean, 6);
    const COLORREF key = GetPixel(c.dc(), 95, 39), white = RGB(255, 255, 255);
    for (COLORREF v : c.Colours()) {
      if (v == key || v == white) continue;
      e.smoothed = true;
      // White over magenta differs only in green.
      e.betweenTextAndKey = e.betweenTextAndKey && GetRValue(v) == GetRValue(key) && GetBValue(v) == GetBValue(key);
    }
  }
  DeleteObject(font);
  return e;
}

TEST(Text, SmoothingSettingIsReadBackAndOnlyItsActionsAreKnown) {
  BOOL on = FALSE;
  UINT type = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &on, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0));
  EXPECT_EQ(std::pair(on, type), std::pair(TRUE, FE_FONTSMOOTHINGSTANDARD)) << "a fresh system smooths, in grey";
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETFONTSMOOTHING, FALSE, nullptr, 0));
  SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &on, 0);
  SystemParametersInfoA(SPI_SETFONTSMOOTHING, TRUE, nullptr, 0);
  EXPECT_EQ(on, FALSE);
  EXPECT_TRUE(SystemParametersInfoA(SPI_SETFONTSMOOTHINGTYPE, 0, reinterpret_cast<PVOID>(UINT_PTR{FE_FONTSMOOTHINGCLEARTYPE}),
                                    SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
  SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0);
  EXPECT_EQ(type, FE_FONTSMOOTHINGCLEARTYPE);
  EXPECT_FALSE(SystemParametersInfoA(SPI_SETFONTSMOOTHINGTYPE, 0, reinterpret_cast<PVOID>(UINT_PTR{7}), 0));
  SystemParametersInfoA(SPI_SETFONTSMOOTHINGTYPE, 0, reinterpret_cast<PVOID>(UINT_PTR{FE_FONTSMOOTHINGSTANDARD}), 0);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, nullptr, 0));
  SetLastError(0);
  EXPECT_FALSE(SystemParametersInfoA(0x0030, 0, nullptr, 0));  // the work area: not the layer's
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Which qualities smooth at which sizes and depths is held against the real system by
// the seam's checks; here, what a smoothed edge is made of.
TEST(Text, SmoothedEdgesAreLevelsBetweenTheTextAndTheKeyUnderIt) {
  for (int bpp : {32, 16}) {
    const Edges e = DrawnEdges(-24, FW_NORMAL, ANTIALIASED_QUALITY, bpp);
    EXPECT_TRUE(e.smoothed) << bpp;
    EXPECT_TRUE(e.betweenTextAndKey) << bpp;
  }
}

TEST(Text, SmoothedTextMeasuresAndPlacesAsHardText) {
  HFONT soft = MakeFont(-24, FW_NORMAL, kGulim, ANTIALIASED_QUALITY);
  HFONT hard = MakeFont(-24, FW_NORMAL, kGulim, NONANTIALIASED_QUALITY);
  TextCanvas a(200, 40, soft), b(200, 40, hard);
  EXPECT_EQ(Extent(a.dc(), kKorean, 6).cx, Extent(b.dc(), kKorean, 6).cx);
  TextOutA(a.dc(), 2, 2, kKorean, 6);
  TextOutA(b.dc(), 2, 2, kKorean, 6);
  const RECT inkA = a.Ink(), inkB = b.Ink();
  EXPECT_LE(std::abs(inkA.left - inkB.left) + std::abs(inkA.right - inkB.right), 2);
  EXPECT_LE(std::abs(inkA.top - inkB.top) + std::abs(inkA.bottom - inkB.bottom), 2);
  DeleteObject(soft);
  DeleteObject(hard);
}

}  // namespace
