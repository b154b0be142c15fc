// A region grown by RGN_OR block after block (as a shape is cut from a bitmap) must be
// the very region a full merge gives, bands and all.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi/Region.h"
#include "plat/gdi.h"

namespace {

using plat::detail::gdi::Region;

HRGN Make(const std::vector<RECT>& rects) {
  std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  if (!rects.empty()) std::memcpy(block.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data);
}

std::vector<uint8_t> Data(HRGN rgn) {
  std::vector<uint8_t> block(GetRegionData(rgn, 0, nullptr));
  GetRegionData(rgn, static_cast<DWORD>(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
  return block;
}

struct AppendCase {
  const char* name;
  std::vector<RECT> first, second;
  bool appends;  // the fast path applies
};

// Rows 0..3 of the first region have equal spans, so they are one band.
const std::vector<RECT> kBlock = {{0, 0, 10, 1}, {0, 1, 10, 2}, {0, 2, 10, 3}, {20, 3, 30, 4}, {0, 3, 10, 4}};

const AppendCase kCases[] = {
    {"BelowWithAGap", kBlock, {{0, 6, 5, 7}}, true},
    {"DirectlyBelow", kBlock, {{3, 4, 8, 5}}, true},
    {"RepeatsTheLastBandBelow", kBlock, {{0, 4, 10, 5}, {20, 4, 30, 5}}, true},
    {"RepeatsTheLastBandOnItsRow", kBlock, {{0, 3, 10, 4}, {20, 3, 30, 4}}, true},
    {"SharesTheLastRowRightOfItsSpans", kBlock, {{40, 3, 50, 4}, {0, 4, 50, 5}}, true},
    {"TouchesTheLastSpanOnItsRow", kBlock, {{30, 3, 35, 4}}, true},
    {"StartsInsideAMergedBand", {{0, 0, 10, 4}}, {{20, 2, 30, 3}, {0, 3, 5, 6}}, true},
    {"StartsAboveTheLastBand", kBlock, {{40, 1, 50, 2}}, false},
    {"EmptySecond", kBlock, {}, true},
    {"EmptyFirst", {}, {{1, 1, 2, 2}}, true},
};

void PrintTo(const AppendCase& c, std::ostream* os) { *os << c.name; }

class RegionAppend : public testing::TestWithParam<AppendCase> {};

TEST_P(RegionAppend, EqualsTheFullMergeInEveryDestination) {
  const AppendCase& c = GetParam();
  std::vector<RECT> all = c.first;
  all.insert(all.end(), c.second.begin(), c.second.end());
  HRGN expected = Make(all);
  const std::vector<uint8_t> want = Data(expected);

  // In place (destination = first source), into a third region, and into the second source.
  HRGN a = Make(c.first), b = Make(c.second);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(Data(a), want);
  HRGN a2 = Make(c.first), b2 = Make(c.second), d = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(d, a2, b2, RGN_OR);
  EXPECT_EQ(Data(d), want);
  EXPECT_EQ(Data(a2), Data(Make(c.first)));  // the source is untouched
  CombineRgn(b2, a2, b2, RGN_OR);
  EXPECT_EQ(Data(b2), want);

  Region ra = Region::FromRects(c.first.data(), c.first.size());
  const Region rb = Region::FromRects(c.second.data(), c.second.size());
  const Region before = ra;
  EXPECT_EQ(ra.AppendOr(rb), c.appends);
  if (!c.appends) {
    EXPECT_TRUE(ra == before);
  }
  for (HRGN r : {expected, a, b, a2, b2, d}) DeleteObject(r);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegionAppend, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<AppendCase>& info) { return info.param.name; });

TEST(RegionAppendRows, OneRowAtATimeEqualsOneBuild) {
  // A checker-like shape of many one-row runs, grown in blocks that split rows.
  std::vector<RECT> rects;
  for (int y = 0; y < 40; ++y)
    for (int x = (y / 3) % 2; x < 60; x += 2) rects.push_back({x, y, x + 1, y + 1});
  HRGN grown = CreateRectRgn(0, 0, 0, 0);
  constexpr size_t kBlockRects = 37;
  for (size_t i = 0; i < rects.size(); i += kBlockRects) {
    std::vector<RECT> part(rects.begin() + i, rects.begin() + std::min(rects.size(), i + kBlockRects));
    HRGN piece = Make(part);
    CombineRgn(grown, grown, piece, RGN_OR);
    DeleteObject(piece);
  }
  HRGN once = Make(rects);
  EXPECT_EQ(Data(grown), Data(once));
  EXPECT_TRUE(EqualRgn(grown, once));
  DeleteObject(grown);
  DeleteObject(once);
}

}  // namespace
