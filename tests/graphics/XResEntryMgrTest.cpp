// The resource manager's entry table: names folded in ASCII case, slots and serials,
// stale handles, bitmap and text entries, held screen objects, and a loader thread.
// Picture files: XResEntryMgrPicturesTest.
#include "graphics/XResEntryMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "base/DDSurfacePixel.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/XBaseEntry.h"
#include "plat/sim.h"
#include "widgets/WidgetTestSupport.h"

namespace xres_entry_mgr_test {

using widget_test::DisplayFormat;
using widget_test::ReadPixels;
constexpr COLORREF kNoKey = 0xFFFFFFFFu;
constexpr uint32_t kMagenta = 0xFF00FF;

// A 24-bit BMP of 2 x 1 pixels: magenta, then the given colour.
std::string TwoPixelBmp(uint32_t rgb) {
  const std::vector<uint8_t> b = widget_test::WriteBmp(widget_test::BmpPicture(2, 1, 24, {kMagenta, rgb}));
  return std::string(b.begin(), b.end());
}

class XResEntryMgrTest : public gfx_test::ManagerTest {
 protected:
  int32_t Blank() { return m_.LoadEntry(0, "", GSize(1, 1), kNoKey); }
  static uint16_t Serial(int32_t h) { return static_cast<uint16_t>(static_cast<uint32_t>(h) >> 16); }
  static int32_t Slot(int32_t h) { return h & 0xFFFF; }
};

TEST_F(XResEntryMgrTest, FreedSlotsAreReusedLowestFirstThenTheTableGrowsAndFailuresUseUpSerials) {
  int32_t h[5];
  for (int32_t& x : h) x = Blank();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Slot(h[i]), i);
  EXPECT_EQ(m_.ReleaseEntry(h[3]) + m_.ReleaseEntry(h[1]), 2);
  const int32_t one = Blank(), three = Blank(), last = Blank();
  EXPECT_EQ((std::vector<int32_t>{Slot(one), Slot(three), Slot(last)}), (std::vector<int32_t>{1, 3, 5}));
  // A failed blank entry keeps its result and uses up its serial, not its slot.
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(Blank(), -1);
  EXPECT_EQ(m_.GetLastResult(), DDERR_OUTOFMEMORY);
  const int32_t next = Blank();
  EXPECT_EQ(std::make_pair(int(Serial(next)), Slot(next)), std::make_pair(Serial(last) + 2, 6));
}

TEST_F(XResEntryMgrTest, SerialsStartAtOneAndWrapToZero) {
  int32_t h = Blank();
  EXPECT_EQ(Serial(h), 1);
  for (int i = 0; i < 65535; ++i) {
    ASSERT_EQ(m_.ReleaseEntry(h), 1);
    h = Blank();
    ASSERT_NE(h, -1);
  }
  EXPECT_EQ(std::make_pair(int(Serial(h)), Slot(h)), std::make_pair(0, 0));
}

TEST_F(XResEntryMgrTest, StaleAndEmptyHandlesAndSelectorsThatCannotLoad) {
  const int32_t old = Blank();
  ASSERT_EQ(m_.ReleaseEntry(old), 1);
  const int32_t now = Blank();
  ASSERT_EQ(Slot(now), Slot(old));
  EXPECT_EQ(m_.ReleaseEntry(old), 0);
  EXPECT_EQ(m_.EntryAt(now)->refCount, 1u);
  EXPECT_EQ(m_.GetEntrySurface(old).Get(), m_.EntryAt(now)->surface.Get());  // serial not compared

  EXPECT_EQ(m_.ReleaseEntry(-1), 0);
  m_.SetLastResult(0);
  EXPECT_FALSE(m_.GetEntrySurface(-1));
  EXPECT_EQ(m_.GetLastResult(), E_UNEXPECTED);
  EXPECT_EQ(m_.EntryAt(0x00010007), nullptr);
  EXPECT_EQ(m_.IsEntryPixelOpaque(0x00010007, GPoint(), 0), 0);
  for (int32_t selector : {4, 7, -1}) EXPECT_EQ(m_.LoadEntry(selector, "x", GSize(1, 1), kNoKey), -1);
  XResEntryMgr fresh;  // no DirectDraw yet
  EXPECT_EQ((std::vector<int64_t>{fresh.LoadEntry(0, "", GSize(1, 1), kNoKey), fresh.GetColorKey()}), (std::vector<int64_t>{-1, kNoKey}));
}

TEST_F(XResEntryMgrTest, ScreenObjectsAreHeldCountedAndRestoreTouchesNothing) {
  const int32_t h = Blank();
  DDSurface before = m_.EntryAt(h)->surface;
  EXPECT_EQ(m_.RestoreSurfaces(), 1);
  EXPECT_EQ(std::make_pair(m_.EntryAt(h)->surface.Get(), m_.EntryAt(h)->refCount), std::make_pair(before.Get(), 1u));
  DDSurface back = widget_test::MakeSurface(dd_, 4, 4);
  m_.SetBackBuffer(back.Get());
  EXPECT_EQ(m_.GetBackBuffer(), back.Get());
  DDSurface copy;
  m_.CopyBackBuffer(copy);
  EXPECT_EQ(copy.Get(), back.Get());
  m_.SetBackBuffer(nullptr);
  back = nullptr;
  EXPECT_EQ(copy->AddRef(), 2u);  // the copy is the one holder left
  copy->Release();
}

// What the library's detach does: every surface the manager still holds goes, the
// entries' and the handed back buffer's alike.
TEST_F(XResEntryMgrTest, ReleaseAllLetsGoOfEverySurfaceItStillHolds) {
  const uint32_t before = plat::sim::LiveSurfaces();
  ASSERT_NE(Blank(), -1);
  ASSERT_NE(m_.LoadEntry(0, "", GSize(2, 2), kNoKey), -1);
  DDSurface back = widget_test::MakeSurface(dd_, 4, 4);
  m_.SetBackBuffer(back.Get());
  back = nullptr;
  ASSERT_EQ(plat::sim::LiveSurfaces(), before + 3);
  m_.ReleaseAll();
  EXPECT_EQ(plat::sim::LiveSurfaces(), before);
}

TEST_F(XResEntryMgrTest, LoaderThreadAndHandOversLeaveExactCounts) {
  DDObject second = widget_test::MakeDirectDraw();
  int32_t handles[10] = {};
  std::thread loader([&] {
    for (int i = 0; i < 500; ++i) {
      const int32_t h = m_.LoadEntry(2, "pic" + std::to_string(i % 10) + ".bmp", GSize(), kNoKey);
      if (i < 10) handles[i] = h;
    }
  });
  for (int i = 0; i < 100; ++i) {
    m_.Lock();
    m_.SetDirectDraw((i % 2 ? second : dd_).Get());
    m_.SetColorKey(i % 2 ? 0xF81F : kMagenta);
    m_.Unlock();
  }
  loader.join();
  for (int32_t h : handles) {
    ASSERT_NE(h, -1);
    EXPECT_EQ(m_.EntryAt(h)->refCount, 50u);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(m_.ReleaseEntry(h), 1);
    EXPECT_EQ(m_.EntryAt(h), nullptr);
  }
  const int32_t fresh = m_.LoadEntry(2, "pic0.bmp", GSize(), kNoKey);  // every name freed
  ASSERT_NE(fresh, -1);
  EXPECT_EQ(m_.EntryAt(fresh)->refCount, 1u);
}

TEST_F(XResEntryMgrTest, BitmapEntryTakesItsSizeAndAnswersPixelOpacity) {
  testing_support::TempDir dir;
  dir.Write("pic.bmp", TwoPixelBmp(0x102030));
  const int32_t keyed = m_.LoadEntry(2, dir / "pic.bmp", GSize(), kMagenta);
  ASSERT_NE(keyed, -1);
  EXPECT_EQ(m_.EntryAt(keyed)->size, GSize(2, 1));
  EXPECT_EQ(m_.IsEntryPixelOpaque(keyed, GPoint(0, 0), 0), 0);
  EXPECT_EQ(m_.IsEntryPixelOpaque(keyed, GPoint(1, 0), 0), 1);
  EXPECT_EQ(m_.IsEntryPixelOpaque(keyed, GPoint(5, 0), 0), -1);  // outside the surface

  dir.Write("plain.bmp", TwoPixelBmp(0x102030));
  const int32_t plain = m_.LoadEntry(2, dir / "plain.bmp", GSize(), kNoKey);
  EXPECT_EQ(m_.IsEntryPixelOpaque(plain, GPoint(0, 0), 0), 1);  // no key: everything opaque
}

}  // namespace xres_entry_mgr_test
