// The GIF player: the error flag, the frame key in every surface format, the caps, and
// still pictures. Rows, interlace, LZW streams and damaged files: GifReadersTest.
#include "graphics/CGif.h"

#include <gtest/gtest.h>

#include "graphics/GraphicsTestKit.h"
#include "widgets/WidgetTestSupport.h"

namespace cgif_test {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using widget_test::DisplayFormat;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kMagenta = 0xFF00FF;  // 0x00RRGGBB

// Colours that are never magenta; the first 32 stay distinct in 5-bit channels.
uint32_t Colour(size_t i) {
  const uint32_t r = (i * 8) & 0xFF, g = (248 - i * 8) & 0xFF, b = (i * 40) & 0xF8;
  return r << 16 | g << 8 | b;
}

// Images without a control block.
GifFrameDesc Solid(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t index) { return SolidFrame(l, t, w, h, index, false); }
GifFrameDesc Image(uint16_t l, uint16_t t, uint16_t w, uint16_t h, std::vector<uint8_t> indices) {
  GifFrameDesc f = Solid(l, t, w, h, 0);
  f.indices = std::move(indices);
  return f;
}

GifDesc Screen(uint16_t w, uint16_t h, size_t colours = 16) {
  std::vector<uint32_t> palette;
  for (size_t i = 0; i < colours; ++i) palette.push_back(Colour(i));
  return GifScreen(w, h, palette);
}

class CGifTest : public widget_test::DisplayTest {
 protected:
  HRESULT Load(CGif& gif, const GifDesc& desc) { return Load(gif, EncodeGif(desc)); }
  HRESULT Load(CGif& gif, const Bytes& bytes) {
    SIZE screen{};
    return gif.LoadFromBytes(bytes, dd_, &screen);
  }
  uint32_t Device(uint32_t rgb) const {
    return widget_test::DevicePixel(format_, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  uint32_t Px(size_t index) const { return Device(Colour(index)); }
  // Indices (or -1 for the key) as the surface's pixel values.
  Pixels Expect(const std::vector<int>& indices) const {
    Pixels out;
    for (int i : indices) out.push_back(i < 0 ? Device(kMagenta) : Px(size_t(i)));
    return out;
  }
  static Pixels Shown(const CGif& gif) { return widget_test::ReadPixels(gif.MainSurface()); }

  DisplayFormat format_ = DisplayFormat::Xrgb8888;
};

TEST_F(CGifTest, ErrorFlagStopsStepping) {
  GifDesc g = Screen(1, 1);
  g.frames = {Solid(0, 0, 1, 1, 1), Solid(0, 0, 1, 1, 2)};
  Bytes bytes = EncodeGif(g);
  CGif good, bad, missing;
  ASSERT_EQ(Load(good, bytes), 1);
  EXPECT_EQ(good.StepGifFrame(), 1);
  bytes[5] = 'b';
  EXPECT_EQ((std::vector<int>{Load(bad, bytes), bad.HasError(), bad.StepGifFrame()}), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ((std::vector<int>{missing.Load("no such.gif", dd_, nullptr), missing.HasError()}), (std::vector<int>{0, 1}));
}

TEST_F(CGifTest, TransparentIndexAndMagentaPixelsBothBecomeTheFrameKeyInEveryFormat) {
  struct Case {
    DisplayFormat format;
    DWORD key;
  };
  for (const Case& c : {Case{DisplayFormat::Rgb565, 0xF81F}, Case{DisplayFormat::Rgb555, 0x7C1F},
                        Case{DisplayFormat::Xrgb8888, 0xFF00FF}}) {
    SCOPED_TRACE(widget_test::FormatName(c.format));
    format_ = c.format;
    UseDesktop(c.format);
    GifDesc g = Screen(4, 1);
    g.globalTable[3] = kMagenta;
    GifFrameDesc f = Image(0, 0, 4, 1, {0, 1, 3, 2});
    f.control = f.transparent = true;
    f.transparentIndex = 1;
    g.frames = {f};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    EXPECT_EQ(Shown(gif), (Pixels{Px(0), c.key, c.key, Px(2)}));
    DDCOLORKEY key{};
    ASSERT_EQ(gif.MainSurface()->GetColorKey(DDCKEY_SRCBLT, &key), S_OK);
    EXPECT_EQ((std::vector<DWORD>{gif.Frames()[0].colorKey, gif.GetColorKey(), key.dwColorSpaceLowValue}), std::vector<DWORD>(3, c.key));
  }
}

TEST_F(CGifTest, ImagesBeyondTheCapsFailAlone) {
  GifDesc g = Screen(4, 1, 4);
  g.frames = {Solid(0, 0, 4, 1, 1), Image(0, 0, 8192, 4097, {}), Solid(0, 0, 4, 1, 1)};
  g.frames[1].codes = {4, 5};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(gif.GetFrameCount(), 1);

  GifDesc huge = Screen(8192, 4097, 4);
  huge.frames = {Solid(0, 0, 1, 1, 1)};
  CGif screen;
  EXPECT_EQ(Load(screen, huge), DDERR_OUTOFMEMORY);
}

TEST_F(CGifTest, StillPicturesNeverStepAndSetFrameChoosesTheNextFrameDrawn) {
  CGif none;
  EXPECT_EQ((std::vector<int>{Load(none, Screen(2, 2)), none.GetFrameCount(), none.StepGifFrame()}), std::vector<int>(3, 0));

  GifDesc g = Screen(3, 1);
  g.frames = {Solid(2, 0, 1, 1, 1)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(gif.StepGifFrame(), 0);
  EXPECT_EQ(Shown(gif), Expect({1, -1, -1}));  // at the top left
  EXPECT_EQ((std::vector<int>{gif.SetFrame(0), gif.SetFrame(1), gif.SetFrame(-1)}), (std::vector<int>{1, 0, 0}));

  GifDesc three = Screen(1, 1);
  three.frames = {Solid(0, 0, 1, 1, 1), Solid(0, 0, 1, 1, 2), Solid(0, 0, 1, 1, 3)};
  CGif steps;
  ASSERT_EQ(Load(steps, three), 1);
  ASSERT_EQ(steps.SetFrame(2), 1);
  steps.StepGifFrame();
  EXPECT_EQ(Shown(steps), Expect({3}));
  steps.StepGifFrame();  // past the last: frame 0
  EXPECT_EQ(Shown(steps), Expect({1}));
}

}  // namespace cgif_test
