// Layered-picture entries: part-way failures keep the frames made. Through the
// manager: XResEntryMgrPicturesTest.
#include "graphics/XPsdEntry.h"

#include <gtest/gtest.h>

#include "graphics/PsdSidecar.h"
#include "support/PictureFileWriters.h"
#include "widgets/WidgetTestSupport.h"

namespace xpsd_entry_test {

using testing_support::VtiFile;
using testing_support::VtiLayer;
using widget_test::DisplayFormat;
constexpr COLORREF kNoKey = 0xFFFFFFFFu;

std::vector<VtiLayer> Layers() {
  return {
      {2, 2, 4, -3, 500, "0.5", {0xFF102030, 0x00FFFFFF, 0x80405060, 0xFFFFFFFF}},
      {3, 1, 0, 9, 200, "frame1", {0x00000000, 0x01000000, 0xFFFF0000}},
      {1, 1, -1, -1, 0, "", {0xFF00FF00}},
  };
}

PsdLayerSet Read(const std::vector<VtiLayer>& layers) {
  PsdLayerSet set;
  EXPECT_TRUE(ReadPsdSidecar(VtiFile(layers), set));
  return set;
}

class XPsdEntryTest : public widget_test::DisplayTest {
 protected:
  HRESULT Load(COLORREF key = kNoKey) { return entry_.LoadLayers(dd_, key, Read(Layers())); }
  XPsdEntry entry_;
};

TEST_F(XPsdEntryTest, SurfaceFailureAtLayerNKeepsNFramesWithTrimmedArrays) {
  for (uint32_t n = 0; n < 3; ++n) {
    XPsdEntry e;
    plat::sim::FailNext("IDirectDraw4::CreateSurface", 1, n);
    EXPECT_EQ(e.LoadLayers(dd_, 0xFF00FF, Read(Layers())), S_FALSE) << n;
    EXPECT_EQ((std::vector<size_t>{e.frames.size(), e.frameAlpha.size(), e.frameSizes.size(), e.frameOffsets.size(),
                                   e.durations.size(), e.names.size()}),
              std::vector<size_t>(6, n));
    plat::sim::ClearFaults();
  }
  // An empty layer has no surface either: the frames before it stay.
  std::vector<VtiLayer> withEmpty = Layers();
  withEmpty[1] = {0, 3, 0, 0, 0, "gap", {}};
  XPsdEntry e;
  EXPECT_EQ(e.LoadLayers(dd_, kNoKey, Read(withEmpty)), S_FALSE);
  EXPECT_EQ(e.names, std::vector<std::string>{"0.5"});
  UseDesktop(DisplayFormat::Rgb888);
  EXPECT_EQ(Load(), S_FALSE);
  EXPECT_TRUE(entry_.frames.empty() && entry_.names.empty());
}

}  // namespace xpsd_entry_test
