// The module's text in the module's fonts: the face it looks for among the system's
// families (굴림), and the extents and cell of its text at the heights and weights its
// panels use, over Korean, digits and Latin. The figures are the system's with
// Baekmuk's Gulim drawing 굴림, as the headless layer draws it and as the Wine run's
// prefix maps it; the layer may differ from them by a pixel and 2% of a width, what
// another hinting of the same outlines can move.
#include "Seam.h"

#include <cstdlib>
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

}  // namespace
