// GDI as the module uses it: memory DCs over DIB sections (32-bit, 24-bit, 8-bit with a
// palette, top-down and bottom-up), monochrome masks, blits with its raster operations,
// msimg32's keyed blit, the DIB transfers, and regions as the skinned pop-ups build them.
#include "Seam.h"

#include <array>
#include <cstring>
#include <vector>

#include "plat/gdi.h"
#include "plat/winuser.h"

namespace {

BITMAPINFOHEADER Header(int width, int height, int bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = WORD(bits);
  h.biCompression = BI_RGB;
  return h;
}

// A DIB section selected into a memory DC of its own.
class Dib {
 public:
  Dib(int width, int height, int bits, const std::vector<RGBQUAD>& palette = {}) {
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER header = Header(width, height, bits);
    header.biClrUsed = DWORD(palette.size());
    std::memcpy(info.data(), &header, sizeof header);
    if (!palette.empty())
      std::memcpy(info.data() + sizeof header, palette.data(), palette.size() * sizeof(RGBQUAD));
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits_,
                               nullptr, 0);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Dib() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  bool Made() const { return bitmap_ && bits_; }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  uint8_t* Bits() {
    GdiFlush();
    return static_cast<uint8_t*>(bits_);
  }
  // A 32-bit section's pixel in memory order: row `row` of the memory, not of the picture.
  uint32_t Word(int row, int x, int width) {
    uint32_t v;
    std::memcpy(&v, Bits() + (size_t(row) * size_t(width) + size_t(x)) * 4, 4);
    return v & 0xFFFFFF;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// A device bitmap in a memory DC: monochrome, or compatible with the screen.
class Ddb {
 public:
  Ddb(int width, int height, bool mono) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Ddb() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Ddb(const Ddb&) = delete;
  Ddb& operator=(const Ddb&) = delete;

  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

std::vector<COLORREF> Row(HDC dc, int y, int width) {
  std::vector<COLORREF> row;
  for (int x = 0; x < width; ++x) row.push_back(GetPixel(dc, x, y));
  return row;
}

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

// ---- DIB sections ------------------------------------------------------------------------

TEST(SeamGdi, ATopDownSectionKeepsItsOrientationAndRowsInItsDescription) {
  Dib dib(3, -2, 32);
  ASSERT_TRUE(dib.Made());
  std::memset(dib.Bits(), 0, 3 * 2 * 4);
  SetPixel(dib.Dc(), 2, 1, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(dib.Word(1, 2, 3), 0x123456u);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(dib.Bitmap(), sizeof section, &section), int(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 3);
  EXPECT_EQ(section.dsBm.bmHeight, 2);
  EXPECT_EQ(section.dsBm.bmWidthBytes, 12);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(section.dsBm.bmBits, dib.Bits());
  // The description counts rows and keeps no order: a top-down section cannot be told.
  EXPECT_EQ(section.dsBmih.biHeight, 2);
  EXPECT_EQ(section.dsBmih.biBitCount, 32);
  EXPECT_EQ(section.dsBmih.biCompression, BI_RGB);
  BITMAP plain{};
  ASSERT_EQ(GetObjectA(dib.Bitmap(), sizeof plain, &plain), int(sizeof plain));
  EXPECT_EQ(plain.bmHeight, 2);
}

TEST(SeamGdi, ABottomUpSectionStoresItsTopRowLastAndPadsRowsToFourBytes) {
  Dib dib(3, 2, 24);
  ASSERT_TRUE(dib.Made());
  std::memset(dib.Bits(), 0, 2 * 12);
  SetPixel(dib.Dc(), 2, 0, RGB(0x12, 0x34, 0x56));
  SetPixel(dib.Dc(), 0, 1, RGB(0xAB, 0xCD, 0xEF));
  const uint8_t* bits = dib.Bits();
  // Rows of 9 bytes padded to 12; blue, green, red; the picture's top row is the last.
  EXPECT_EQ(bits[12 + 6], 0x56);
  EXPECT_EQ(bits[12 + 7], 0x34);
  EXPECT_EQ(bits[12 + 8], 0x12);
  EXPECT_EQ(bits[0], 0xEF);
  EXPECT_EQ(bits[2], 0xAB);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(dib.Bitmap(), sizeof section, &section), int(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidthBytes, 12);
  EXPECT_EQ(section.dsBmih.biHeight, 2);
}

TEST(SeamGdi, AnEightBitSectionDrawsItsPaletteColoursWhereverItIsBlitted) {
  Dib indexed(4, -1, 8, {{0, 0, 0, 0}, {0, 0, 255, 0}, {30, 20, 10, 0}, {255, 0, 255, 0}});
  ASSERT_TRUE(indexed.Made());
  const uint8_t indices[4] = {1, 2, 3, 0};
  std::memcpy(indexed.Bits(), indices, 4);
  EXPECT_EQ(GetPixel(indexed.Dc(), 1, 0), RGB(10, 20, 30));
  Dib target(4, -1, 32);
  ASSERT_TRUE(target.Made());
  ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 4, 1, indexed.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(target.Word(0, 0, 4), 0xFF0000u);
  EXPECT_EQ(target.Word(0, 1, 4), 0x0A141Eu);
  EXPECT_EQ(target.Word(0, 2, 4), 0xFF00FFu);
  EXPECT_EQ(target.Word(0, 3, 4), 0x000000u);
  // Drawing a palette colour on the section stores its index.
  SetPixel(indexed.Dc(), 3, 0, RGB(10, 20, 30));
  EXPECT_EQ(indexed.Bits()[3], 2);
}

// ---- Blits and raster operations ----------------------------------------------------------

TEST(SeamGdi, BitBltCombinesColourPixelsByTheModulesRasterOperations) {
  Dib source(3, -1, 32), dest(3, -1, 32);
  ASSERT_TRUE(source.Made() && dest.Made());
  auto set = [](Dib& dib, std::vector<COLORREF> colours) {
    for (int x = 0; x < 3; ++x) SetPixel(dib.Dc(), x, 0, colours[size_t(x)]);
  };
  const std::vector<COLORREF> from{RGB(0xF0, 0x0F, 0x33), kBlack, kWhite};
  const std::vector<COLORREF> under{RGB(0x3C, 0xFF, 0x55), RGB(1, 2, 3), RGB(9, 8, 7)};
  set(source, from);
  set(dest, under);
  ASSERT_TRUE(BitBlt(dest.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, SRCAND));
  EXPECT_EQ(Row(dest.Dc(), 0, 3), (std::vector<COLORREF>{RGB(0x30, 0x0F, 0x11), kBlack, RGB(9, 8, 7)}));
  set(dest, under);
  ASSERT_TRUE(BitBlt(dest.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, SRCPAINT));
  EXPECT_EQ(Row(dest.Dc(), 0, 3), (std::vector<COLORREF>{RGB(0xFC, 0xFF, 0x77), RGB(1, 2, 3), kWhite}));
  set(dest, under);
  ASSERT_TRUE(BitBlt(dest.Dc(), 1, 0, 2, 1, source.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(Row(dest.Dc(), 0, 3), (std::vector<COLORREF>{RGB(0x3C, 0xFF, 0x55), RGB(0xF0, 0x0F, 0x33), kBlack}));
  ASSERT_TRUE(PatBlt(dest.Dc(), 0, 0, 2, 1, BLACKNESS));
  ASSERT_TRUE(PatBlt(dest.Dc(), 2, 0, 1, 1, WHITENESS));
  EXPECT_EQ(Row(dest.Dc(), 0, 3), (std::vector<COLORREF>{kBlack, kBlack, kWhite}));
}

TEST(SeamGdi, AMonochromeMaskTakesTheTargetsTextAndBackgroundColours) {
  // The animated pictures' mask: white keeps the target, black clears it, then the
  // picture is or-ed in.
  Ddb mask(4, 1, true);
  ASSERT_TRUE(mask.Bitmap());
  ASSERT_TRUE(PatBlt(mask.Dc(), 0, 0, 4, 1, WHITENESS));
  ASSERT_TRUE(PatBlt(mask.Dc(), 1, 0, 2, 1, BLACKNESS));
  EXPECT_EQ(Row(mask.Dc(), 0, 4), (std::vector<COLORREF>{kWhite, kBlack, kBlack, kWhite}));
  Dib target(4, -1, 32);
  ASSERT_TRUE(target.Made());
  Fill(target.Dc(), 0, 0, 4, 1, RGB(0x40, 0x80, 0xC0));
  SetTextColor(target.Dc(), kBlack);
  SetBkColor(target.Dc(), kWhite);
  ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 4, 1, mask.Dc(), 0, 0, SRCAND));
  const COLORREF kept = RGB(0x40, 0x80, 0xC0);
  EXPECT_EQ(Row(target.Dc(), 0, 4), (std::vector<COLORREF>{kept, kBlack, kBlack, kept}));
  // Other colours: 0 bits take the text colour and 1 bits the background colour.
  SetTextColor(target.Dc(), kRed);
  SetBkColor(target.Dc(), kBlue);
  ASSERT_TRUE(BitBlt(target.Dc(), 0, 0, 4, 1, mask.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(Row(target.Dc(), 0, 4), (std::vector<COLORREF>{kBlue, kRed, kRed, kBlue}));
}

TEST(SeamGdi, AColourBlitToMonochromeSetsThePixelsOfTheSourcesBackgroundColour) {
  Dib source(3, -1, 32);
  ASSERT_TRUE(source.Made());
  SetPixel(source.Dc(), 0, 0, kMagenta);
  SetPixel(source.Dc(), 1, 0, kGreen);
  SetPixel(source.Dc(), 2, 0, kMagenta);
  SetBkColor(source.Dc(), kMagenta);
  Ddb mask(3, 1, true);
  ASSERT_TRUE(mask.Bitmap());
  ASSERT_TRUE(BitBlt(mask.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(Row(mask.Dc(), 0, 3), (std::vector<COLORREF>{kWhite, kBlack, kWhite}));
}

TEST(SeamGdi, StretchBltRepeatsPixelsToEnlargeAndCopiesOneToOne) {
  Dib source(2, -1, 32), dest(4, -2, 32);
  ASSERT_TRUE(source.Made() && dest.Made());
  SetPixel(source.Dc(), 0, 0, kRed);
  SetPixel(source.Dc(), 1, 0, kBlue);
  ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 4, 2, source.Dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(Row(dest.Dc(), 0, 4), (std::vector<COLORREF>{kRed, kRed, kBlue, kBlue}));
  EXPECT_EQ(Row(dest.Dc(), 1, 4), (std::vector<COLORREF>{kRed, kRed, kBlue, kBlue}));
  // One to one, onto a row of another colour: the two pixels land where they are sent
  // and nothing beside them changes.
  Fill(dest.Dc(), 0, 1, 4, 2, kGreen);
  ASSERT_TRUE(StretchBlt(dest.Dc(), 1, 1, 2, 1, source.Dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(Row(dest.Dc(), 1, 4), (std::vector<COLORREF>{kGreen, kRed, kBlue, kGreen}));
}

TEST(SeamGdi, TransparentBltLeavesThePixelsOfTheKeyColour) {
  Dib source(4, -1, 32), dest(4, -1, 32);
  ASSERT_TRUE(source.Made() && dest.Made());
  const std::vector<COLORREF> picture{kMagenta, kRed, kMagenta, RGB(254, 0, 255)};
  for (int x = 0; x < 4; ++x) SetPixel(source.Dc(), x, 0, picture[size_t(x)]);
  Fill(dest.Dc(), 0, 0, 4, 1, kBlue);
  ASSERT_TRUE(TransparentBlt(dest.Dc(), 0, 0, 4, 1, source.Dc(), 0, 0, 4, 1, kMagenta));
  // Only the exact key is left out: a colour one step from it is drawn.
  EXPECT_EQ(Row(dest.Dc(), 0, 4), (std::vector<COLORREF>{kBlue, kRed, kBlue, RGB(254, 0, 255)}));
}

TEST(SeamGdi, TransparentBltMatchesTheKeyInTheSourcesOwnFormat) {
  // The pop-ups' pictures are bitmaps of the display's format: at 16 bits a colour that
  // cuts to the key's 5-6-5 value is left out with it.
  Ddb source(3, 1, false);
  ASSERT_TRUE(source.Bitmap());
  SetPixel(source.Dc(), 0, 0, kMagenta);
  SetPixel(source.Dc(), 1, 0, RGB(250, 2, 250));
  SetPixel(source.Dc(), 2, 0, kRed);
  Dib dest(3, -1, 32);
  ASSERT_TRUE(dest.Made());
  Fill(dest.Dc(), 0, 0, 3, 1, kBlue);
  ASSERT_TRUE(TransparentBlt(dest.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, 3, 1, kMagenta));
  const COLORREF nearKey = seam::Depth() == 16 ? kBlue : RGB(250, 2, 250);
  EXPECT_EQ(Row(dest.Dc(), 0, 3), (std::vector<COLORREF>{kBlue, nearKey, kRed}));
}

// ---- DIB transfers ------------------------------------------------------------------------

TEST(SeamGdi, DibTransfersPlaceBottomUpRowsAndReadThemBack) {
  // A 2x2 bottom-up picture: its first row in memory is the picture's bottom row.
  const uint32_t pixels[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
  BITMAPINFO info{};
  info.bmiHeader = Header(2, 2, 32);
  Dib dest(4, -4, 32);
  ASSERT_TRUE(dest.Made());
  Fill(dest.Dc(), 0, 0, 4, 4, kBlack);
  EXPECT_EQ(SetDIBitsToDevice(dest.Dc(), 1, 1, 2, 2, 0, 0, 0, 2, pixels, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(Row(dest.Dc(), 1, 4), (std::vector<COLORREF>{kBlack, kRed, kWhite, kBlack}));
  EXPECT_EQ(Row(dest.Dc(), 2, 4), (std::vector<COLORREF>{kBlack, kBlue, kGreen, kBlack}));
  EXPECT_NE(StretchDIBits(dest.Dc(), 0, 0, 4, 2, 0, 0, 2, 2, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(Row(dest.Dc(), 0, 4), (std::vector<COLORREF>{kRed, kRed, kWhite, kWhite}));
  EXPECT_EQ(Row(dest.Dc(), 1, 4), (std::vector<COLORREF>{kBlue, kBlue, kGreen, kGreen}));

  // Read back as a bottom-up 32-bit picture of the whole section.
  std::vector<uint32_t> back(16, 0xDEADBEEF);
  BITMAPINFO query{};
  query.bmiHeader = Header(4, 4, 32);
  HBITMAP held = dest.Bitmap();
  HDC reader = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDIBits(reader, held, 0, 4, back.data(), &query, DIB_RGB_COLORS), 4);
  DeleteDC(reader);
  EXPECT_EQ(back[3 * 4 + 0] & 0xFFFFFF, 0xFF0000u);  // the top row, last in memory
  EXPECT_EQ(back[2 * 4 + 3] & 0xFFFFFF, 0x00FF00u);
}

TEST(SeamGdi, AScreenCompatibleBitmapHasTheDisplaysDepthAndReadsBackAsThirtyTwoBits) {
  // The sprite loader reads device bitmaps of the display's format as 32-bit rows.
  HDC screen = GetDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(screen, 3, 1);
  ASSERT_NE(picture, nullptr);
  BITMAP described{};
  ASSERT_EQ(GetObjectA(picture, sizeof described, &described), int(sizeof described));
  EXPECT_EQ(described.bmBitsPixel, seam::Depth());
  EXPECT_EQ(described.bmBits, nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, picture);
  SetPixel(memory, 0, 0, RGB(0x87, 0x43, 0x25));
  SetPixel(memory, 1, 0, kWhite);
  SetPixel(memory, 2, 0, kMagenta);
  // Rows are read from a bitmap no DC holds.
  SelectObject(memory, old);
  DeleteDC(memory);
  uint32_t rows[3] = {};
  BITMAPINFO query{};
  query.bmiHeader = Header(3, -1, 32);
  EXPECT_EQ(GetDIBits(screen, picture, 0, 1, rows, &query, DIB_RGB_COLORS), 1);
  ReleaseDC(nullptr, screen);
  DeleteObject(picture);
  // At 16 bits the colour was cut to 5-6-5 and comes back with its top bits repeated.
  if (seam::Depth() == 16) {
    EXPECT_EQ(rows[0] & 0xFFFFFF,
              seam::WineDiffers(0x844121u, 0x844221u,
                                "Wine 8 widens the 6-bit green of a bitmap kept by a 16-bit X server by another rule "
                                "than its own DIB engine, which the layer follows (0x42 for 0x10, where a surface's DC gives "
                                "0x41)"));
  } else {
    EXPECT_EQ(rows[0] & 0xFFFFFF, 0x874325u);
  }
  EXPECT_EQ(rows[1] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(rows[2] & 0xFFFFFF, 0xFF00FFu);
}

// ---- Regions ------------------------------------------------------------------------------

// A rectangle as left, top, right, bottom, comparable and printable.
using Box = std::array<LONG, 4>;
Box BoxOf(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }

std::vector<Box> RectsOf(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<uint8_t> data(size);
  auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
  if (size < sizeof(RGNDATAHEADER) || GetRegionData(region, size, rgn) != size) return {};
  std::vector<RECT> rects(rgn->rdh.nCount);
  std::memcpy(rects.data(), rgn->Buffer, rects.size() * sizeof(RECT));
  std::vector<Box> boxes;
  for (const RECT& r : rects) boxes.push_back(BoxOf(r));
  return boxes;
}

TEST(SeamGdi, CombiningRegionsAnswersTheirKindAndKeepsBandsInOrder) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(RectsOf(out), (std::vector<Box>{{5, 5, 10, 10}}));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(RectsOf(out), (std::vector<Box>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(RectsOf(out), (std::vector<Box>{{0, 0, 10, 5}, {0, 5, 5, 10}}));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(RectsOf(out),
            (std::vector<Box>{{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}}));
  EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_COPY), SIMPLEREGION);
  HRGN far = CreateRectRgn(20, 20, 30, 30);
  EXPECT_EQ(CombineRgn(out, a, far, RGN_AND), NULLREGION);
  RECT box{};
  EXPECT_EQ(GetRgnBox(out, &box), NULLREGION);
  // The destination may be one of the sources, as the pop-ups' region grows.
  EXPECT_EQ(CombineRgn(a, a, far, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(GetRgnBox(a, &box), COMPLEXREGION);
  EXPECT_EQ(BoxOf(box), (Box{0, 0, 30, 30}));
  for (HRGN r : {a, b, out, far}) DeleteObject(r);
}

TEST(SeamGdi, ARegionFromRowsOfRectanglesMergesThemAndAnswersPointsAndOffsets) {
  // Rows of runs, as the pop-ups scan their masks: two runs on one row, one below
  // each that lines up, and a run one row down that extends the band above.
  const RECT runs[] = {{0, 0, 2, 1}, {3, 0, 5, 1}, {0, 1, 2, 2}, {3, 1, 5, 2}, {1, 2, 4, 3}};
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + sizeof runs);
  RGNDATAHEADER header{};
  header.dwSize = sizeof header;
  header.iType = RDH_RECTANGLES;
  header.nCount = DWORD(std::size(runs));
  header.rcBound = RECT{0, 0, 5, 3};
  std::memcpy(data.data(), &header, sizeof header);
  std::memcpy(data.data() + sizeof header, runs, sizeof runs);
  HRGN region = ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
  ASSERT_NE(region, nullptr);
  // Bands of equal rows merge.
  EXPECT_EQ(RectsOf(region), (std::vector<Box>{{0, 0, 2, 2}, {3, 0, 5, 2}, {1, 2, 4, 3}}));
  EXPECT_TRUE(PtInRegion(region, 4, 1));
  EXPECT_FALSE(PtInRegion(region, 2, 1));
  EXPECT_FALSE(PtInRegion(region, 5, 0));
  EXPECT_EQ(OffsetRgn(region, 10, 20), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(region, 14, 21));
  HRGN same = CreateRectRgn(11, 22, 14, 23);
  HRGN partOf = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(partOf, region, same, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(partOf, same));
  for (HRGN r : {region, same, partOf}) DeleteObject(r);
}

TEST(SeamGdi, ASelectedClipRegionLimitsDrawingUntilItIsTakenAway) {
  Dib dib(6, -1, 32);
  ASSERT_TRUE(dib.Made());
  Fill(dib.Dc(), 0, 0, 6, 1, kBlack);
  HRGN clip = CreateRectRgn(2, 0, 4, 1);
  EXPECT_EQ(SelectClipRgn(dib.Dc(), clip), SIMPLEREGION);
  // The DC keeps a copy: the region may go at once.
  DeleteObject(clip);
  Fill(dib.Dc(), 0, 0, 6, 1, kWhite);
  // A pixel outside the clip cannot be read through the DC.
  EXPECT_EQ(GetPixel(dib.Dc(), 0, 0),
            seam::WineDiffers(CLR_INVALID, kBlack,
                              "Wine 8 reads a pixel outside the clip region; the system's GetPixel is documented "
                              "to answer CLR_INVALID there"));
  EXPECT_EQ(GetPixel(dib.Dc(), 2, 0), kWhite);
  RECT box{};
  EXPECT_EQ(GetClipBox(dib.Dc(), &box), SIMPLEREGION);
  EXPECT_EQ(BoxOf(box), (Box{2, 0, 4, 1}));
  EXPECT_EQ(SelectClipRgn(dib.Dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(Row(dib.Dc(), 0, 6), (std::vector<COLORREF>{kBlack, kBlack, kWhite, kWhite, kBlack, kBlack}));
}

}  // namespace
