// Layered-picture entries: frames from companion layers in every screen format,
// transparent pixels as the screen key, part-way failures, and selector 6.
#include "graphics/XPsdEntry.h"

#include <gtest/gtest.h>

#include "graphics/PsdSidecar.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim_files.h"
#include "support/PictureFileWriters.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using testing_support::Bytes;
using testing_support::VtiFile;
using testing_support::VtiLayer;
using widget_test::DevicePixel;
using widget_test::DisplayFormat;
using widget_test::ReadPixels;
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

TEST_F(XPsdEntryTest, TransparentPixelsBecomeTheScreenKeyAndOthersArePacked) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseDesktop(f);
    ASSERT_EQ(Load(), S_OK) << widget_test::FormatName(f);
    ASSERT_EQ(entry_.frames.size(), 3u);
    const bool wide = f == DisplayFormat::Xrgb8888;
    const uint32_t opaque = wide ? 0xFF000000u : 0;
    const uint32_t key = f == DisplayFormat::Rgb565 ? 0xF81Fu : f == DisplayFormat::Rgb555 ? 0x7C1Fu : 0xFFFF00FFu;
    EXPECT_EQ(ReadPixels(entry_.frames[0]),
              (std::vector<uint32_t>{opaque | DevicePixel(f, 0x10, 0x20, 0x30), key,
                                     opaque | DevicePixel(f, 0x40, 0x50, 0x60), opaque | DevicePixel(f, 0xFF, 0xFF, 0xFF)}))
        << widget_test::FormatName(f);
    EXPECT_EQ(ReadPixels(entry_.frames[1]),
              (std::vector<uint32_t>{key, opaque | DevicePixel(f, 0, 0, 0), opaque | DevicePixel(f, 0xFF, 0, 0)}))
        << widget_test::FormatName(f);
    EXPECT_EQ(entry_.frameAlpha[0], (std::vector<uint8_t>{0xFF, 0x00, 0x80, 0xFF}));
    EXPECT_EQ(entry_.frameAlpha[1], (std::vector<uint8_t>{0x00, 0x01, 0xFF}));
  }
}

TEST_F(XPsdEntryTest, EveryLayerBringsItsSizeOffsetDurationAndName) {
  ASSERT_EQ(Load(0xFF00FF), S_OK);
  EXPECT_EQ(entry_.multiFrame, 1);
  EXPECT_EQ(entry_.hasAlpha, 1);
  EXPECT_EQ(entry_.frameSizes, (std::vector<GSize>{GSize(2, 2), GSize(3, 1), GSize(1, 1)}));
  EXPECT_EQ(entry_.frameOffsets, (std::vector<GPoint>{GPoint(4, -3), GPoint(0, 9), GPoint(-1, -1)}));
  EXPECT_EQ(entry_.durations, (std::vector<uint32_t>{500, 200, 0}));
  EXPECT_EQ(entry_.names, (std::vector<std::string>{"0.5", "frame1", ""}));
  EXPECT_FALSE(entry_.surface);
  for (const DDSurface& s : entry_.frames) {
    DDCOLORKEY key{};
    ASSERT_EQ(s->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0xFF00FFu);
  }
}

TEST_F(XPsdEntryTest, SurfaceFailureAtLayerNKeepsNFramesWithTrimmedArrays) {
  for (uint32_t n = 0; n < 3; ++n) {
    XPsdEntry e;
    plat::sim::FailNext("IDirectDraw4::CreateSurface", 1, n);
    EXPECT_EQ(e.LoadLayers(dd_, 0xFF00FF, Read(Layers())), S_FALSE) << n;
    EXPECT_EQ(e.frames.size(), n);
    EXPECT_EQ(e.frameAlpha.size(), n);
    EXPECT_EQ(e.frameSizes.size(), n);
    EXPECT_EQ(e.frameOffsets.size(), n);
    EXPECT_EQ(e.durations.size(), n);
    EXPECT_EQ(e.names.size(), n);
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

class PsdManagerTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    plat::sim::MapPathPrefix("V:\\", dir_.path());
    m_.SetDirectDraw(dd_.Get());
    m_.SetColorKey(0xFF00FF);
  }
  void TearDown() override {
    m_.ReleaseAll();
    plat::sim::ClearPathPrefixes();
    DisplayTest::TearDown();
  }
  void Write(const std::string& name, const Bytes& bytes) { dir_.Write(name, std::string(bytes.begin(), bytes.end())); }
  testing_support::TempDir dir_;
  XResEntryMgr m_;
};

TEST_F(PsdManagerTest, SelectorSixReadsTheCompanionBesideThePicture) {
  UseDesktop(DisplayFormat::Rgb565);
  m_.SetDirectDraw(dd_.Get());
  m_.SetColorKey(0xF81F);
  Write("a.b/pic.VTi", VtiFile(Layers()));
  const int32_t h = m_.LoadEntry(6, "V:\\a.b\\pic.psd", GSize(), 0xF81F);
  ASSERT_NE(h, -1);
  auto* e = static_cast<XPsdEntry*>(m_.EntryAt(h));
  EXPECT_EQ(e->kind, kEntryLayered);
  EXPECT_EQ(e->frames.size(), 3u);
  EXPECT_EQ(m_.GetEntrySurface(h).Get(), e->frames[0].Get());
  EXPECT_EQ(m_.IsEntryPixelOpaque(h, GPoint(1, 0), 0), 0);
  EXPECT_EQ(m_.IsEntryPixelOpaque(h, GPoint(2, 0), 1), 1);
  // Shared by name with the other file selectors.
  EXPECT_EQ(m_.LoadEntry(3, "v:\\A.B\\PIC.PSD", GSize(), kNoKey), h);
  EXPECT_EQ(m_.LoadEntry(2, "V:\\a.b\\pic.psd", GSize(), kNoKey), h);
  EXPECT_EQ(e->refCount, 3u);
}

TEST_F(PsdManagerTest, MissingCompanionOrNameWithoutDotGivesAHandleWithoutFrames) {
  Write("nodot", VtiFile(Layers()));
  Write("bad.VTi", Bytes{'V', 'T', 'i', '.'});
  for (const char* name : {"V:\\none.psd", "V:\\nodot", "V:\\bad.psd"}) {
    const int32_t h = m_.LoadEntry(6, name, GSize(), kNoKey);
    ASSERT_NE(h, -1) << name;
    EXPECT_EQ(m_.GetLastResult(), S_OK) << name;
    EXPECT_TRUE(m_.EntryAt(h)->frames.empty()) << name;
    EXPECT_FALSE(m_.GetEntrySurface(h)) << name;
  }
}

TEST_F(PsdManagerTest, PartWayFailureKeepsTheEntryAndAKeyFailureDeletesIt) {
  Write("p.VTi", VtiFile(Layers()));
  plat::sim::FailNext("IDirectDraw4::CreateSurface", 1, 2);
  const int32_t h = m_.LoadEntry(6, "V:\\p.psd", GSize(), kNoKey);
  ASSERT_NE(h, -1);
  EXPECT_EQ(m_.GetLastResult(), S_FALSE);
  EXPECT_EQ(m_.EntryAt(h)->frames.size(), 2u);

  Write("q.VTi", VtiFile(Layers()));
  plat::sim::FailNext("IDirectDrawSurface4::SetColorKey", 1, 1);
  EXPECT_EQ(m_.LoadEntry(6, "V:\\q.psd", GSize(), 0xFF00FF), -1);
  EXPECT_EQ(m_.GetLastResult(), DDERR_GENERIC);
  // The name was not kept: a later load makes the entry afresh.
  const int32_t again = m_.LoadEntry(6, "V:\\q.psd", GSize(), 0xFF00FF);
  ASSERT_NE(again, -1);
  EXPECT_EQ(m_.EntryAt(again)->frames.size(), 3u);
}

TEST_F(PsdManagerTest, BuiltCompanionGivesFramesEqualToTheWrittenLayers) {
  testing_support::PsdDesc psd;
  psd.guides = {{10 * 32, false}, {20 * 32, true}};
  for (int i = 0; i < 3; ++i) {
    testing_support::PsdLayerDesc l;
    l.left = 12 + i;
    l.top = 25;
    l.right = l.left + 3 + i;
    l.bottom = l.top + 2;
    l.name = i == 0 ? "0.3" : "layer";
    l.alpha = i != 1;
    l.packBits = i == 2;
    for (int p = 0; p < (3 + i) * 2; ++p) l.pixels.push_back(p % 3 ? 0xFF123456u + static_cast<uint32_t>(p) : 0u);
    psd.layers.push_back(l);
  }
  Write("built.psd", testing_support::PsdFile(psd));
  ASSERT_EQ(BuildPsdSidecar("V:\\built.psd"), PsdSidecarBuild::kBuilt);
  const int32_t h = m_.LoadEntry(6, "V:\\built.psd", GSize(), kNoKey);
  ASSERT_NE(h, -1);
  auto* e = static_cast<XPsdEntry*>(m_.EntryAt(h));
  ASSERT_EQ(e->frames.size(), 3u);
  EXPECT_EQ(e->durations, (std::vector<uint32_t>{300, 200, 200}));
  for (size_t i = 0; i < 3; ++i) {
    const testing_support::PsdLayerDesc& l = psd.layers[i];
    EXPECT_EQ(e->frameSizes[i], GSize(l.right - l.left, 2)) << i;
    EXPECT_EQ(e->frameOffsets[i], GPoint(l.left - 10, 5)) << i;
    std::vector<uint32_t> want;
    std::vector<uint8_t> plane;
    for (uint32_t p : l.pixels) {
      const uint8_t a = l.alpha ? static_cast<uint8_t>(p >> 24) : 0xFF;
      plane.push_back(a);
      want.push_back(a == 0 ? 0xFFFF00FFu : 0xFF000000u | (p & 0xFFFFFF));
    }
    EXPECT_EQ(ReadPixels(e->frames[i]), want) << i;
    EXPECT_EQ(e->frameAlpha[i], plane) << i;
  }
}

}  // namespace
