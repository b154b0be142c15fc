// The module's text in the module's fonts: the face it looks for among the system's
// families (굴림), and the extents and cell of its text at the heights and weights its
// panels use, over Korean, digits and Latin. The figures are the system's with
// Baekmuk's Gulim drawing 굴림, as the headless layer draws it and as the Wine run's
// prefix maps it; the layer may differ from them by a pixel and 2% of a width, what
// another hinting of the same outlines can move.
#include "Seam.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ostream>
#include <cstring>
#include <string>

#include "plat/gdi.h"

namespace {

constexpr char kGulim[] = "\xB1\xBC\xB8\xB2";  // 굴림

int CALLBACK NoteGulim(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found) {
  if (std::strncmp(font->lfFaceName, kGulim, LF_FACESIZE) == 0) *reinterpret_cast<bool*>(found) = true;
  return 1;
}

TEST(SeamTextExtent, TheModulesFaceIsAmongTheSystemsFamiliesAndIsRealisedByItsName) {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTA every{};
  every.lfCharSet = DEFAULT_CHARSET;
  bool found = false;
  EnumFontFamiliesExA(dc, &every, NoteGulim, reinterpret_cast<LPARAM>(&found), 0);
  EXPECT_TRUE(found);
  HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, kGulim);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  EXPECT_GT(GetTextFaceA(dc, sizeof face, face), 0);
  EXPECT_STREQ(face, kGulim);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
}

struct TextRun {
  const char* text;  // CP949, split where a hex escape would run into a digit
  int width[3];      // at 12/400, 12/700, 14/400
};
const TextRun kRuns[] = {
    {"\xC1\xA1" "1000" "\xB3\xC9", {52, 58, 60}},                               // 점1000냥
    {"+1\xB8\xB8" "4000" "\xB3\xC9", {69, 77, 80}},                             // +1만4000냥
    {"\xB4\xD4 \xBD\xC2\xB8\xAE!", {46, 51, 54}},                               // 님 승리!
    {"\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6\xB9\xD9\xBB\xE7", {84, 91, 98}},  // 가나다라마바사
    {"0123456789", {70, 80, 80}},
    {"Hello, World", {69, 81, 82}},
};

struct Cell {
  int height, weight;  // as the panels ask
  int ascent, average;
};
const Cell kCells[] = {{12, FW_NORMAL, 9, 12}, {12, FW_BOLD, 9, 13}, {14, FW_NORMAL, 10, 14}};

TEST(SeamTextExtent, TheModulesTextMeasuresAsTheSystemMeasuresIt) {
  SEAM_ONLY_ON(seam::kHeadless | seam::kWine,
               "Windows draws 굴림 from its own font file, whose design and advances differ from Baekmuk's");
  HDC dc = CreateCompatibleDC(nullptr);
  for (size_t f = 0; f < std::size(kCells); ++f) {
    const Cell& cell = kCells[f];
    SCOPED_TRACE(std::to_string(cell.height) + "/" + std::to_string(cell.weight));
    HFONT font =
        CreateFontA(cell.height, 0, 0, 0, cell.weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, kGulim);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, cell.height);
    EXPECT_EQ(tm.tmAscent, cell.ascent);
    EXPECT_EQ(tm.tmAveCharWidth, cell.average);
    for (const TextRun& run : kRuns) {
      SIZE size{};
      ASSERT_TRUE(GetTextExtentPoint32A(dc, run.text, int(std::strlen(run.text)), &size));
      const int expected = run.width[f];
      EXPECT_LE(std::abs(int(size.cx) - expected), 1 + expected / 50) << run.text << ": " << size.cx;
      EXPECT_EQ(size.cy, cell.height);
    }
    SelectObject(dc, old);
    DeleteObject(font);
  }
  DeleteDC(dc);
}

// A 32-bit top-down DIB section in a DC of its own, white, for text drawn in black.
class Canvas {
 public:
  Canvas(int width, int height, HFONT font) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    oldFont_ = SelectObject(dc_, font);
    std::memset(bits_, 0xFF, size_t(width) * size_t(height) * 4);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(0, 0, 0));
  }
  ~Canvas() {
    SelectObject(dc_, oldFont_);
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  bool SameAs(const Canvas& other) const {
    GdiFlush();
    return std::memcmp(bits_, other.bits_, size_t(width_) * size_t(height_) * 4) == 0;
  }
  bool Blank() const {
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits_);
    for (int i = 0; i < width_ * height_; ++i)
      if ((p[i] & 0xFFFFFF) != 0xFFFFFF) return false;
    return true;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr, oldFont_ = nullptr;
  void* bits_ = nullptr;
};

// Where DrawTextA put a run: the offset from the box's corner at which TextOutA draws
// the same pixels, searched near the expected place; {INT_MIN, INT_MIN} when none does.
struct Offset {
  int x, y;
  bool operator==(const Offset&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Offset& o) { return out << "(" << o.x << ", " << o.y << ")"; }

TEST(SeamTextExtent, DrawTextPlacesARunByItsExtentAsThePanelsFormatsAsk) {
  struct Placement {
    const char* name;
    int fontHeight;
    int boxWidth, boxHeight;
    UINT format;
  };
  const Placement placements[] = {
      {"left", 12, 65, 20, DT_LEFT},
      {"centre", 12, 65, 20, DT_CENTER},
      {"right", 12, 65, 20, DT_RIGHT},
      {"centre, too narrow", 12, 40, 20, DT_CENTER},
      {"centre, odd cell", 11, 64, 20, DT_CENTER},
      {"box line", 12, 65, 20, DT_LEFT | DT_SINGLELINE | DT_VCENTER},
      {"box line, odd cell", 11, 65, 20, DT_LEFT | DT_SINGLELINE | DT_VCENTER},
      {"box line, too low", 12, 65, 9, DT_LEFT | DT_SINGLELINE | DT_VCENTER},
  };
  const char* text = kRuns[1].text;
  const int length = int(std::strlen(text));
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.name);
    // Hard edges, so that the same run drawn twice at one place gives the same pixels.
    HFONT font = CreateFontA(p.fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, VARIABLE_PITCH, kGulim);
    // The box sits 40 pixels into a wider and taller canvas, so that an overflow shows.
    const int canvasWidth = p.boxWidth + 80, canvasHeight = p.boxHeight + 40;
    Canvas drawn(canvasWidth, canvasHeight, font);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(drawn.Dc(), text, length, &size));
    RECT r{40, 20, 40 + p.boxWidth, 20 + p.boxHeight};
    const int returned = DrawTextA(drawn.Dc(), text, length, &r, p.format | DT_NOCLIP);
    ASSERT_FALSE(drawn.Blank());
    Offset found{INT32_MIN, INT32_MIN};
    for (int dy = -8; dy <= 8 && found.x == INT32_MIN; ++dy)
      for (int dx = -40; dx <= p.boxWidth && found.x == INT32_MIN; ++dx) {
        Canvas placed(canvasWidth, canvasHeight, font);
        TextOutA(placed.Dc(), 40 + dx, 20 + dy, text, length);
        if (drawn.SameAs(placed)) found = Offset{dx, dy};
      }
    // Centring across halves the box's edges less the run, in the DC's own coordinates,
    // rounding toward zero: a run wider than its box keeps the odd pixel on its left.
    // Centring down halves the box and the cell each on its own: an odd cell sits lower.
    Offset expected{0, 0};
    if (p.format & DT_CENTER) expected.x = (r.left + r.right - size.cx) / 2 - r.left;
    if (p.format & DT_RIGHT) expected.x = p.boxWidth - size.cx;
    if (p.format & DT_VCENTER) expected.y = p.boxHeight / 2 - size.cy / 2;
    EXPECT_EQ(found, expected);
    // A vertically centred line answers where its bottom is, from the box's top.
    EXPECT_EQ(returned, (p.format & DT_VCENTER) ? expected.y + size.cy : size.cy);
    DeleteObject(font);
  }
}

TEST(SeamTextExtent, DrawTextBreaksLinesOnlyAtNewLinesAndMeasuresTheBlock) {
  // The panels' plain format draws each line of a text one cell below the last.
  HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                           VARIABLE_PITCH, kGulim);
  const std::string first = kRuns[0].text, second = kRuns[1].text;
  const std::string both = first + "\n" + second;
  Canvas drawn(120, 40, font), placed(120, 40, font);
  SIZE one{}, two{};
  ASSERT_TRUE(GetTextExtentPoint32A(drawn.Dc(), first.c_str(), int(first.size()), &one));
  ASSERT_TRUE(GetTextExtentPoint32A(drawn.Dc(), second.c_str(), int(second.size()), &two));
  // Too narrow for either line: without a word-break flag nothing wraps.
  RECT box{0, 0, 30, 40};
  RECT measured = box;
  EXPECT_EQ(DrawTextA(drawn.Dc(), both.c_str(), int(both.size()), &measured, DT_LEFT | DT_CALCRECT), 2 * one.cy);
  EXPECT_EQ(measured.right, std::max(one.cx, two.cx));
  EXPECT_EQ(measured.bottom, 2 * one.cy);
  EXPECT_EQ(DrawTextA(drawn.Dc(), both.c_str(), int(both.size()), &box, DT_LEFT | DT_NOCLIP), 2 * one.cy);
  TextOutA(placed.Dc(), 0, 0, first.c_str(), int(first.size()));
  TextOutA(placed.Dc(), 0, one.cy, second.c_str(), int(second.size()));
  EXPECT_TRUE(drawn.SameAs(placed));
  DeleteObject(font);
}

}  // namespace
