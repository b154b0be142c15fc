#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "GdiFixtures.h"
#include "plat/gdi.h"

namespace {

HRGN FromRects(const std::vector<RECT>& rects) {
  std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  std::memcpy(block.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data);
}

std::vector<RECT> RectsOf(HRGN rgn) {
  const DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<uint8_t> block(size);
  GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(block.data()));
  const auto* data = reinterpret_cast<const RGNDATA*>(block.data());
  std::vector<RECT> out(data->rdh.nCount);
  std::memcpy(out.data(), block.data() + sizeof(RGNDATAHEADER), out.size() * sizeof(RECT));
  return out;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Region, CombineModesGiveTheExpectedPointsAndComplexityEvenIntoASource) {
  // a = (0,0)-(10,10), b = (5,5)-(15,15).
  struct Case {
    int mode;
    int complexity;
    bool at2x2, at7x7, at12x12;
  } cases[] = {{RGN_AND, SIMPLEREGION, false, true, false},
               {RGN_OR, COMPLEXREGION, true, true, true}, {RGN_DIFF, COMPLEXREGION, true, false, false},
               {RGN_XOR, COMPLEXREGION, true, false, true},
               {RGN_COPY, SIMPLEREGION, true, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.complexity);
    EXPECT_EQ(PtInRegion(d, 2, 2), c.at2x2);
    EXPECT_EQ(PtInRegion(d, 7, 7), c.at7x7);
    EXPECT_EQ(PtInRegion(d, 12, 12), c.at12x12);
    EXPECT_FALSE(PtInRegion(d, 10, 2));  // right edges are exclusive
    for (HRGN r : {a, b, d}) DeleteObject(r);
  }
  // Combining into one of the sources works; an empty result is a null region.
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(20, 20, 30, 30);
  EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), NULLREGION);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(a, &box), NULLREGION);
  EXPECT_TRUE(Same(box, RECT{0, 0, 0, 0}));
  EXPECT_EQ(CombineRgn(a, b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(a, b, nullptr, RGN_OR), ERROR);
  DeleteObject(a);
  DeleteObject(b);
}

TEST(Region, TouchingRectanglesMergeIntoBands) {
  HRGN r = FromRects({{0, 0, 5, 1}, {5, 0, 10, 1}, {0, 1, 10, 2}, {20, 5, 30, 6}});
  const std::vector<RECT> rects = RectsOf(r);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_TRUE(Same(rects[0], RECT{0, 0, 10, 2}));
  EXPECT_TRUE(Same(rects[1], RECT{20, 5, 30, 6}));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_TRUE(Same(box, RECT{0, 0, 30, 6}));
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, r, nullptr, RGN_COPY);
  EXPECT_TRUE(EqualRgn(copy, r));
  DeleteObject(copy);
  DeleteObject(r);
}

TEST(Region, ExtCreateRegionRefusesBadHeadersAndOffsetsClampAtTheCoordinateLimits) {
  RGNDATA data{};
  data.rdh.dwSize = sizeof(RGNDATAHEADER);
  data.rdh.iType = RDH_RECTANGLES;
  data.rdh.nCount = 1000;  // more rectangles than the block holds
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(data), &data), nullptr);
  data.rdh.nCount = 0;
  data.rdh.iType = 2;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(data), &data), nullptr);
  data.rdh.iType = RDH_RECTANGLES;
  data.rdh.dwSize = 0xFFFFFFF0u;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(data), &data), nullptr);
  HRGN r = CreateRectRgn(-10, -10, 10, 10);
  EXPECT_EQ(OffsetRgn(r, INT_MAX, 0), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(r, INT_MAX - 1, 0));
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_EQ(box.right, INT_MAX);
  EXPECT_EQ(OffsetRgn(r, INT_MAX, 0), NULLREGION);  // squeezed to nothing at the limit
  HRGN huge = CreateRectRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_TRUE(PtInRegion(huge, 0, 0));
  EXPECT_TRUE(PtInRegion(huge, INT_MIN, INT_MAX - 1));
  DeleteObject(r);
  DeleteObject(huge);
}

TEST(Region, ASelectedClipRegionLimitsDrawing) {
  gdi_test::DibCanvas c(10, 10, 32);
  c.Fill(RGB(0, 0, 0));
  HRGN a = CreateRectRgn(0, 0, 3, 3), b = CreateRectRgn(6, 6, 9, 9);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(SelectClipRgn(c.dc(), a), COMPLEXREGION);
  DeleteObject(a);  // the DC keeps its own copy
  c.Fill(RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 7, 7), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc(), 4, 4), CLR_INVALID);  // outside the clip
  SelectClipRgn(c.dc(), nullptr);
  EXPECT_EQ(GetPixel(c.dc(), 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(IntersectClipRect(c.dc(), 2, 2, 4, 4), SIMPLEREGION);
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(FillRgn(c.dc(), b, white));
  EXPECT_EQ(GetPixel(c.dc(), 7, 7), CLR_INVALID);
  DeleteObject(b);
}

}  // namespace
