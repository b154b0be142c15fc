// The resource manager's font, pen, brush and bitmap caches: sharing by key, counted
// release, no entry left by a failed creation, and a loader thread beside the window's.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "graphics/GdiCache.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "base/GFontList.h"
#include "widgets/WidgetTestSupport.h"

namespace gdi_cache_test {

using widget_test::BmpPicture;

bool Alive(HGDIOBJ h) { return GetObjectType(h) != 0; }

class GdiCacheTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ClearFaults();
    GetStockObject(WHITE_BRUSH);  // the stock objects are made on first use of GDI
    baseline_ = plat::sim::LiveGdiObjects();
  }
  void TearDown() override {
    m_.ClearGdiCaches();
    EXPECT_EQ(plat::sim::LiveGdiObjects(), baseline_);
    plat::sim::ClearFaults();
  }
  XResEntryMgr m_;
  size_t baseline_ = 0;
};

TEST_F(GdiCacheTest, NullFaceIsTheFontListsDefaultFaceAndKeysCompareAllSixtyBytes) {
  const std::string face = GetDefaultFontFace(nullptr);
  HFONT byDefault = m_.GetFontByFace(12, 400, nullptr);
  EXPECT_EQ(m_.GetFontByFace(12, 400, face.c_str()), byDefault);
  EXPECT_EQ(m_.GetFont(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, face.c_str()), byDefault);

  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = 12;
  lf.lfWeight = 400;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH;
  std::strcpy(lf.lfFaceName, face.c_str());
  EXPECT_EQ(m_.GetCachedFont(&lf), byDefault);
  lf.lfFaceName[LF_FACESIZE - 1] = 'x';  // after the terminator
  HFONT dirty = m_.GetCachedFont(&lf);
  EXPECT_NE(dirty, byDefault);
  EXPECT_EQ(m_.GetCachedFont(nullptr), nullptr);
}

TEST_F(GdiCacheTest, ReleasingAnUnknownHandleChangesNothing) {
  HFONT kept = m_.GetFontByFace(12, 400, nullptr);
  HFONT gone = m_.GetFontByFace(20, 700, nullptr);
  m_.ReleaseFont(gone);
  HFONT outside = CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial");
  EXPECT_EQ(m_.ReleaseFont(gone), 0);
  EXPECT_EQ(m_.ReleaseFont(outside), 0);
  EXPECT_EQ(m_.ReleaseFont(nullptr), 0);
  EXPECT_EQ(m_.ReleasePen(reinterpret_cast<HPEN>(kept)), 0);
  EXPECT_TRUE(Alive(kept));
  EXPECT_TRUE(Alive(outside));
  EXPECT_EQ(m_.GdiCacheSize(), 1u);
  DeleteObject(outside);
}

TEST_F(GdiCacheTest, PensAndBrushesShareByTheirDescription) {
  HPEN pen = m_.GetPen(PS_SOLID, 1, 0x0000FF);
  EXPECT_EQ(m_.GetPen(PS_SOLID, 1, 0x0000FF), pen);
  EXPECT_NE(m_.GetPen(PS_SOLID, 2, 0x0000FF), pen);
  EXPECT_NE(m_.GetPen(PS_DASH, 1, 0x0000FF), pen);
  LOGPEN tall{PS_SOLID, {1, 5}, 0x0000FF};  // width y is part of the key
  EXPECT_NE(m_.GetCachedPen(&tall), pen);
  HBRUSH solid = m_.GetSolidBrush(0x00FF00);
  EXPECT_EQ(m_.GetBrush(BS_SOLID, 0x00FF00, 0), solid);
  EXPECT_NE(m_.GetBrush(BS_HATCHED, 0x00FF00, 0), solid);
  EXPECT_NE(m_.GetSolidBrush(0x00FF01), solid);
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  EXPECT_EQ(GetObjectType(solid), OBJ_BRUSH);
  EXPECT_EQ(m_.GdiCacheSize(), 7u);
}

TEST_F(GdiCacheTest, FailedCreationLeavesNoEntry) {
  const struct {
    const char* fault;
    std::function<bool()> madeNothing;
  } cases[] = {
      {"CreateFontIndirectA", [&] { return m_.GetFontByFace(12, 400, nullptr) == nullptr; }},
      {"CreatePenIndirect", [&] { return m_.GetPen(PS_SOLID, 1, 0) == nullptr; }},
      {"CreateBrushIndirect", [&] { return m_.GetSolidBrush(0) == nullptr; }},
  };
  for (const auto& c : cases) {
    plat::sim::FailNext(c.fault);
    EXPECT_TRUE(c.madeNothing()) << c.fault;
    EXPECT_EQ(m_.GdiCacheSize(), 0u) << c.fault;
  }
  EXPECT_EQ(m_.GetCachedBitmap("no such file.bmp"), nullptr);
  EXPECT_EQ(m_.GdiCacheSize(), 0u);
  EXPECT_NE(m_.GetFontByFace(12, 400, nullptr), nullptr);
}

TEST_F(GdiCacheTest, BitmapNamesDifferingInCaseShareOneBitmapAndFourBitFilesGiveNone) {
  gfx_test::Folder dir;
  HBITMAP lower = m_.GetCachedBitmap(dir.Put("a.bmp", widget_test::WriteBmp(BmpPicture(2, 2, 24, {1, 2, 3, 4}))));
  ASSERT_NE(lower, nullptr);
  EXPECT_EQ(m_.GetCachedBitmap(dir / "A.BMP"), lower);
  EXPECT_EQ(m_.GdiCacheSize(), 1u);
  m_.ReleaseBitmap(lower);
  EXPECT_TRUE(Alive(lower));
  m_.ReleaseBitmap(lower);
  EXPECT_FALSE(Alive(lower));
  // A 4-bit file gives null and no entry.
  EXPECT_EQ(m_.GetCachedBitmap(dir.Put("four.bmp", widget_test::WriteBmp(BmpPicture(2, 1, 4, {1, 2}, std::vector<uint32_t>(16, 0))))),
            nullptr);
  EXPECT_EQ(m_.GdiCacheSize(), 0u);
}

TEST_F(GdiCacheTest, LoaderThreadAndWindowThreadKeepExactCounts) {
  HFONT shared = m_.GetFontByFace(12, 400, nullptr);
  std::thread loader([&] {
    for (int i = 0; i < 2000; ++i) m_.ReleaseFont(m_.GetFontByFace(12 + i % 3, 400, nullptr));
  });
  for (int i = 0; i < 2000; ++i) m_.ReleaseFont(m_.GetFontByFace(12 + i % 3, 400, nullptr));
  loader.join();
  EXPECT_EQ(m_.GdiCacheSize(), 1u);
  EXPECT_TRUE(Alive(shared));
  m_.ReleaseFont(shared);
  EXPECT_EQ(m_.GdiCacheSize(), 0u);
}

}  // namespace gdi_cache_test
