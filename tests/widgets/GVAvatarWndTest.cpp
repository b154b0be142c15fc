#include "widgets/GVAvatarWnd.h"

#include <gtest/gtest.h>

#include "graphics/XAvatarEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim.h"
#include "plat/sim_kernel.h"
#include "support/GifWriter.h"
#include "support/Sweep.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace gvavatar_wnd_test {

using namespace testing_support;
using widget_test::DisplayFormat;
using widget_test::PixelAt;
constexpr uint32_t kKey = 0xFF00FF;
constexpr uint8_t kClear = 255;  // the parts' transparent index

// Palette entry i: a colour no other entry has and never the key.
uint32_t Shade(uint32_t i) { return 0x000100u * i + 0x20; }

GifDesc PartScreen(uint16_t w, uint16_t h) {
  GifDesc g;
  g.width = w, g.height = h;
  g.globalTable.resize(256);
  for (uint32_t i = 0; i < 256; ++i) g.globalTable[i] = Shade(i);
  return g;
}

GifFrameDesc Frame(uint16_t w, uint16_t h, uint16_t delay) {
  GifFrameDesc f;
  f.width = w, f.height = h;
  f.indices.assign(size_t(w) * h, 0);
  f.control = true;
  f.transparent = true;
  f.transparentIndex = kClear;
  f.delay = delay;
  return f;
}

class GVAvatarWndTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    m_.ReleaseAll();
    m_.SetDirectDraw(dd_.Get());
    m_.SetColorKey(kKey);
    plat::sim::SetTickBase(0);
  }
  void TearDown() override {
    m_.ReleaseAll();
    DisplayTest::TearDown();
  }
  std::string Write(const std::string& name, const GifDesc& g) {
    const std::vector<uint8_t> bytes = EncodeGif(g);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return dir_ / name;
  }
  // A part whose column x has palette index x.
  std::string Columns(const std::string& name, uint16_t w, uint16_t h) {
    GifDesc g = PartScreen(w, h);
    GifFrameDesc f = Frame(w, h, 0);
    for (uint16_t y = 0; y < h; ++y)
      for (uint16_t x = 0; x < w; ++x) f.indices[size_t(y) * w + x] = uint8_t(x);
    g.frames.push_back(f);
    return Write(name, g);
  }
  // A part of solid frames, frame i of index first + i, each `delay` hundredths.
  std::string Solids(const std::string& name, int frames, uint16_t delay, uint8_t first) {
    GifDesc g = PartScreen(2, 2);
    for (int i = 0; i < frames; ++i) {
      GifFrameDesc f = Frame(2, 2, delay);
      f.indices.assign(4, uint8_t(first + i));
      g.frames.push_back(f);
    }
    return Write(name, g);
  }
  DDSurface Composite(GVAvatarWnd& w) { return w.GetAvatarEntry()->surface; }
  std::vector<uint32_t> CompositeAt(GVAvatarWnd& w, std::initializer_list<GPoint> points) {
    std::vector<uint32_t> out;
    for (GPoint p : points) out.push_back(PixelAt(Composite(w), p.x, p.y));
    return out;
  }
  XResEntryMgr& m_ = XResEntryMgr::Global();
  TempDir dir_;
};

// Frames of both layers (layer order: the second part at the bottom) every 50 ms.
std::vector<std::vector<int32_t>> FramesEvery50Ms(GVAvatarWnd& w, int steps) {
  std::vector<std::vector<int32_t>> seen;
  for (int i = 0; i < steps; ++i) {
    seen.push_back(w.GetLayerFrames());
    plat::sim::AdvanceClock(50);
    w.AnimateParts();
  }
  return seen;
}

TEST_F(GVAvatarWndTest, EachPartStepsOnItsOwnDelaysAlsoAcrossTheClocksWrap) {
  const std::string fast = Solids("fast.gif", 3, 10, 1), slow = Solids("slow.gif", 2, 30, 5);
  GVAvatarWnd a;
  ASSERT_EQ(a.Create({fast, slow}, GSize(2, 2), kKey), 1);
  EXPECT_EQ(a.GetLayerNextTimes(), (std::vector<uint32_t>{300, 100}));
  const auto fromZero = FramesEvery50Ms(a, 120);
  const std::vector<std::vector<int32_t>> expect = {{0, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 2}, {0, 2}, {1, 0},
                                                    {1, 0}, {1, 1}, {1, 1}, {1, 2}, {1, 2}, {0, 0}};
  EXPECT_EQ(std::vector<std::vector<int32_t>>(fromZero.begin(), fromZero.begin() + 13), expect);
  plat::sim::SetTickBase(0xFFFFF000u);
  GVAvatarWnd b;
  ASSERT_EQ(b.Create({fast, slow}, GSize(2, 2), kKey), 1);
  EXPECT_EQ(FramesEvery50Ms(b, 120), fromZero);  // 6 s: the millisecond clock wraps after 4.1 s
}

TEST_F(GVAvatarWndTest, MissingPartsAreSkippedAndASecondCreateReleasesTheFirstAvatar) {
  const std::string part = Solids("p.gif", 2, 10, 1);
  int32_t second = -1;
  {
    GVAvatarWnd w;
    ASSERT_EQ(w.Create({part, dir_ / "absent.gif"}, GSize(2, 2), kKey), 1);
    const int32_t first = w.GetImage();
    const std::vector<int32_t> parts = w.GetAvatarEntry()->PartHandles();
    EXPECT_EQ(parts[0], -1);
    EXPECT_EQ(w.GetLayerNextTimes()[0], 0u);
    ASSERT_EQ(w.Create({part}, GSize(2, 2), kKey), 1);
    second = w.GetImage();
    EXPECT_NE(second, first);
    EXPECT_EQ(m_.ReleaseEntry(first), 0);     // already gone
    EXPECT_EQ(m_.ReleaseEntry(parts[1]), 0);  // and its part with it
  }
  EXPECT_EQ(m_.ReleaseEntry(second), 0);  // the widget gave its avatar back when it went
}

TEST_F(GVAvatarWndTest, NoPartsOrNoSurfaceMakeNoEntry) {
  GVAvatarWnd w;
  EXPECT_EQ(w.Create({}, GSize(4, 4), kKey), 0);
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(w.Create({""}, GSize(2, 2), kKey), 0);
  EXPECT_FALSE(w.HasImage());
  const int32_t first = m_.LoadEntry(0, "", GSize(1, 1), kKey);
  EXPECT_EQ(first & 0xFFFF, 0);  // no slot was taken
}

// The avatar drawn over a striped back buffer at two virtual times, in each desktop
// format; the frames' CRCs are pinned.
TEST_F(GVAvatarWndTest, GoldenFramesOverABackground) {
  struct Case { DisplayFormat format; uint32_t key; uint32_t crc[2]; };
  const Case cases[] = {
      {DisplayFormat::Rgb565, 0xF81F, {547882699u, 2251528721u}},
      {DisplayFormat::Rgb555, 0x7C1F, {2895773681u, 2630610626u}},
      {DisplayFormat::Xrgb8888, kKey, {2471987080u, 571437260u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(widget_test::FormatName(c.format));
    m_.ReleaseAll();
    UseDesktop(c.format);
    m_.SetDirectDraw(dd_.Get());
    m_.SetColorKey(c.key);
    plat::sim::SetTickBase(1000);
    GifDesc body = PartScreen(12, 10);
    GifFrameDesc f = Frame(12, 10, 20);
    for (size_t i = 0; i < f.indices.size(); ++i) f.indices[i] = (i % 12 + i / 12) % 5 == 0 ? kClear : uint8_t(i * 7);
    body.frames.push_back(f);
    f.indices.assign(f.indices.size(), 40);
    for (size_t i = 3 * 12 + 4; i < 3 * 12 + 8; ++i) f.indices[i] = kClear;  // a window onto the layers below
    body.frames.push_back(f);
    const std::string parts[] = {Write("body.gif", body), Solids("eyes.gif", 3, 10, 90), Columns("hat.gif", 8, 3)};
    GVAvatarWnd w;
    ASSERT_EQ(w.Create({parts[0], parts[1], parts[2]}, GPoint(1, 0), GSize(10, 8), c.key), 1);
    w.SetPos(GPoint(3, 2));
    DDSurface back = widget_test::MakeSurface(dd_, 16, 12);
    for (int i = 0; i < 2; ++i) {
      for (int32_t y = 0; y < 12; ++y) {
        RECT row{0, y, 16, y + 1};
        FillSurfaceRect(back, &row, widget_test::DevicePixel(c.format, uint8_t(y * 20), 0x40, uint8_t(255 - y * 20)), 0);
      }
      ASSERT_EQ(w.Draw(back.Get(), GRect(0, 0, 16, 12)), 1);
      const std::vector<uint32_t> px = widget_test::ReadPixels(back);
      EXPECT_EQ(Crc32(px.data(), px.size() * sizeof(uint32_t)), c.crc[i]) << i;
      plat::sim::AdvanceClock(350);
      w.AnimateParts();
    }
  }
}

TEST_F(GVAvatarWndTest, HoverPressAndClickFollowOpaquePixels) {
  GifDesc g = PartScreen(4, 4);
  GifFrameDesc f = Frame(4, 4, 0);
  for (size_t i = 0; i < f.indices.size(); ++i) f.indices[i] = i % 4 < 2 ? kClear : 3;  // left half clear
  g.frames.push_back(f);
  GVAvatarWnd w;
  ASSERT_EQ(w.Create({Write("half.gif", g)}, GSize(4, 4), kKey), 1);
  const GPoint opaque(3, 1), clear(0, 1);
  EXPECT_FALSE(w.IsHover());
  EXPECT_EQ(w.OnMouseMove(0, opaque), 1);
  EXPECT_TRUE(w.IsHover());
  EXPECT_EQ(w.OnMouseMove(0, clear), 1);
  EXPECT_FALSE(w.IsHover());
  // Pressed on the avatar, dragged off: hover stays, and the release is no click.
  w.OnMouseMove(0, opaque);
  EXPECT_EQ(w.OnLButtonDown(0, opaque), 1);
  EXPECT_EQ(w.OnMouseMove(0, clear), 1);
  EXPECT_TRUE(w.IsHover());
  EXPECT_EQ(w.OnLButtonUp(0, clear), 0);
  EXPECT_FALSE(w.IsPressed());
  EXPECT_EQ(w.OnLButtonUp(0, opaque), 0);  // not pressed any more
  EXPECT_EQ(w.OnLButtonDown(0, opaque), 1);
  EXPECT_EQ(w.OnLButtonUp(0, opaque), 1);
  EXPECT_EQ(w.OnRButtonDown(0, clear), 1);
  EXPECT_EQ(w.OnRButtonUp(0, clear), 1);
  // Hidden or disabled: everything is dropped.
  w.OnLButtonDown(0, opaque);
  w.Enable(0);
  EXPECT_EQ(w.OnMouseMove(0, opaque), 0);
  EXPECT_FALSE(w.IsHover());
  EXPECT_FALSE(w.IsPressed());
  EXPECT_EQ(w.OnLButtonDown(0, opaque), 0);
  EXPECT_EQ(w.OnRButtonUp(0, opaque), 0);
  w.Enable(1);
  w.Show(0);
  EXPECT_EQ(w.AnimateParts(), 0);
}

}  // namespace gvavatar_wnd_test
