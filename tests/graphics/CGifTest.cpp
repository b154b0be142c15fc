// The GIF player: signatures, control blocks, rows (stride and interlace), the frame
// key in every surface format, LZW streams good and broken, and stepping with and
// without composition.
#include "graphics/CGif.h"

#include <gtest/gtest.h>

#include <random>

#include "support/GifWriter.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;
using widget_test::DisplayFormat;
using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kMagenta = 0xFF00FF;  // 0x00RRGGBB

// Colours that are never magenta; the first 32 stay distinct in 5-bit channels.
uint32_t Colour(size_t i) {
  const uint32_t r = (i * 8) & 0xFF, g = (248 - i * 8) & 0xFF, b = (i * 40) & 0xF8;
  return r << 16 | g << 8 | b;
}
std::vector<uint32_t> Palette(size_t n) {
  std::vector<uint32_t> p;
  for (size_t i = 0; i < n; ++i) p.push_back(Colour(i));
  return p;
}

GifFrameDesc Image(uint16_t l, uint16_t t, uint16_t w, uint16_t h, std::vector<uint8_t> indices) {
  GifFrameDesc f;
  f.left = l, f.top = t, f.width = w, f.height = h;
  f.indices = std::move(indices);
  return f;
}
GifFrameDesc Solid(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t index) {
  return Image(l, t, w, h, std::vector<uint8_t>(size_t(w) * h, index));
}
GifFrameDesc Controlled(GifFrameDesc f, uint8_t disposal, uint16_t delay = 0) {
  f.control = true;
  f.disposal = disposal;
  f.delay = delay;
  return f;
}

GifDesc Screen(uint16_t w, uint16_t h, size_t colours = 16) {
  GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = Palette(colours);
  return g;
}

class CGifTest : public widget_test::DisplayTest {
 protected:
  void Use(DisplayFormat f) {
    format_ = f;
    UseDesktop(f);
  }
  HRESULT Load(CGif& gif, const GifDesc& desc) { return Load(gif, EncodeGif(desc)); }
  HRESULT Load(CGif& gif, const Bytes& bytes) {
    SIZE screen{};
    return gif.LoadFromBytes(bytes, dd_, &screen);
  }
  uint32_t Device(uint32_t rgb) const {
    return widget_test::DevicePixel(format_, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  uint32_t Px(size_t index) const { return Device(Colour(index)); }
  uint32_t Key() const { return Device(kMagenta); }
  // Indices (or -1 for the key) as the surface's pixel values.
  Pixels Expect(std::initializer_list<int> indices) const {
    Pixels out;
    for (int i : indices) out.push_back(i < 0 ? Key() : Px(size_t(i)));
    return out;
  }
  static Pixels Shown(const CGif& gif) { return widget_test::ReadPixels(gif.MainSurface()); }

  DisplayFormat format_ = DisplayFormat::Xrgb8888;
};

TEST_F(CGifTest, OnlyTheSignaturesOfBothVersionsAreRead) {
  struct Case {
    const char* name;
    Bytes bytes;
    BOOL read;
  };
  GifDesc v87 = Screen(2, 1);
  v87.version87a = true;
  v87.frames = {Solid(0, 0, 2, 1, 1)};
  GifDesc v89 = v87;
  v89.version87a = false;
  Bytes v88 = EncodeGif(v89);
  v88[4] = '8';
  Bytes shortHeader = EncodeGif(v89);
  shortHeader.resize(12);
  Bytes shortTable = EncodeGif(v89);
  shortTable.resize(13 + 3 * 16 - 1);
  const Case cases[] = {
      {"87a", EncodeGif(v87), 1},    {"89a", EncodeGif(v89), 1},        {"88a", v88, 0},
      {"header cut", shortHeader, 0}, {"global table cut", shortTable, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CGif gif;
    EXPECT_EQ(gif.ReadGif(c.bytes), c.read);
    EXPECT_EQ(gif.HasError(), !c.read);
    EXPECT_EQ(Load(gif, c.bytes), c.read ? 1 : 0);
  }
}

TEST_F(CGifTest, ErrorFlagStopsStepping) {
  GifDesc g = Screen(1, 1);
  g.frames = {Solid(0, 0, 1, 1, 1), Solid(0, 0, 1, 1, 2)};
  Bytes bytes = EncodeGif(g);
  CGif good;
  ASSERT_EQ(Load(good, bytes), 1);
  EXPECT_EQ(good.StepGifFrame(), 1);
  bytes[5] = 'b';
  CGif bad;
  EXPECT_EQ(Load(bad, bytes), 0);
  EXPECT_EQ(bad.StepGifFrame(), 0);
  CGif missing;
  EXPECT_EQ(missing.Load("no such.gif", dd_, nullptr), 0);
  EXPECT_TRUE(missing.HasError());
}

TEST_F(CGifTest, ControlBlocksGiveDelaysInMillisecondsAndDisposalCodesUntilTheNextBlock) {
  GifDesc g = Screen(1, 1);
  for (uint8_t method = 0; method < 4; ++method)
    g.frames.push_back(Controlled(Solid(0, 0, 1, 1, 1), method, uint16_t(7 + method)));
  g.frames.push_back(Solid(0, 0, 1, 1, 1));  // no block of its own
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  const int32_t delays[] = {70, 80, 90, 100, 100};
  const int32_t disposals[] = {0, 4, 8, 12, 12};
  ASSERT_EQ(gif.GetFrameCount(), 5);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(gif.Frames()[i].delay, delays[i]) << i;
    EXPECT_EQ(gif.Frames()[i].disposal, disposals[i]) << i;
  }
  EXPECT_TRUE(gif.IsComposing());
}

TEST_F(CGifTest, RowsOfEveryWidthLandInPlace) {
  for (uint16_t width : {1, 3, 4, 5, 7}) {
    SCOPED_TRACE(width);
    GifDesc g = Screen(width, 3);
    std::vector<uint8_t> idx;
    for (size_t i = 0; i < size_t(width) * 3; ++i) idx.push_back(uint8_t(i % 16));
    g.frames = {Image(0, 0, width, 3, idx)};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    Pixels want;
    for (uint8_t i : idx) want.push_back(Px(i));
    EXPECT_EQ(Shown(gif), want);
  }
}

TEST_F(CGifTest, InterlacedRowsArePlacedPassByPass) {
  // Rows 0, 8, ... then 4, 12, ... then 2, 6, ... then 1, 3, ...; short images skip passes.
  for (uint16_t height : {1, 2, 3, 4, 5, 9, 11, 16}) {
    SCOPED_TRACE(height);
    GifDesc g = Screen(2, height);
    std::vector<uint8_t> idx;
    for (uint16_t y = 0; y < height; ++y) idx.insert(idx.end(), 2, uint8_t(y));
    GifFrameDesc f = Image(0, 0, 2, height, idx);
    f.interlace = true;
    g.frames = {f};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    Pixels want;
    for (uint8_t i : idx) want.push_back(Px(i));
    EXPECT_EQ(Shown(gif), want);
  }
}

TEST_F(CGifTest, TransparentIndexAndMagentaPixelsBothBecomeTheFrameKeyInEveryFormat) {
  struct Case {
    DisplayFormat format;
    DWORD key;
  };
  for (const Case& c : {Case{DisplayFormat::Rgb565, 0xF81F}, Case{DisplayFormat::Rgb555, 0x7C1F},
                        Case{DisplayFormat::Xrgb8888, 0xFF00FF}}) {
    SCOPED_TRACE(widget_test::FormatName(c.format));
    Use(c.format);
    GifDesc g = Screen(4, 1);
    g.globalTable[3] = kMagenta;
    GifFrameDesc f = Image(0, 0, 4, 1, {0, 1, 3, 2});
    f.control = f.transparent = true;
    f.transparentIndex = 1;
    g.frames = {f};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    EXPECT_EQ(gif.Frames()[0].colorKey, c.key);
    EXPECT_EQ(gif.GetColorKey(), c.key);
    EXPECT_EQ(Shown(gif), (Pixels{Px(0), c.key, c.key, Px(2)}));
    DDCOLORKEY key{};
    ASSERT_EQ(gif.MainSurface()->GetColorKey(DDCKEY_SRCBLT, &key), S_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, c.key);
  }
}

TEST_F(CGifTest, TransparentIndexStaysWithItsOwnImage) {
  GifDesc g = Screen(2, 1);
  GifFrameDesc first = Image(0, 0, 2, 1, {1, 2});
  first.control = first.transparent = true;
  first.transparentIndex = 1;
  g.frames = {first, Controlled(Image(0, 0, 2, 1, {1, 2}), 0)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(Shown(gif), Expect({-1, 2}));
  ASSERT_EQ(gif.StepGifFrame(), 1);
  ASSERT_EQ(gif.StepGifFrame(), 1);
  EXPECT_EQ(Shown(gif), Expect({1, 2}));  // the global table kept its colour
}

TEST_F(CGifTest, TransparentIndexBeyondTheTableChangesNoColour) {
  GifDesc g = Screen(4, 1, 4);
  GifFrameDesc f = Image(0, 0, 4, 1, {0, 1, 2, 3});
  f.control = f.transparent = true;
  f.transparentIndex = 200;
  g.frames = {f};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(Shown(gif), Expect({0, 1, 2, 3}));
}

// ---- LZW ----

TEST_F(CGifTest, LzwStreamsOfEveryShapeDecodeToTheirPixels) {
  std::mt19937 rng(17);
  auto random = [&](size_t n, int colours) {
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(rng() % uint32_t(colours));
    return v;
  };
  struct Case {
    const char* name;
    uint16_t width, height;
    size_t colours;
    std::vector<uint8_t> indices;
    bool clearEvery = false;
    bool leadingClear = true;
  };
  const Case cases[] = {
      // 16 K random bytes grow the codes to 12 bits and fill the table, which the
      // writer never clears: the rest is decoded with a full table.
      {"growth to 12 bits and a full table", 128, 128, 256, random(128 * 128, 256)},
      {"one long run (KwKwK)", 64, 4, 2, std::vector<uint8_t>(256, 1)},
      {"clear before every code", 8, 8, 16, random(64, 16), true},
      {"first code not a clear code", 8, 8, 16, random(64, 16), false, false},
      {"two colours", 16, 2, 2, random(32, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GifDesc g = Screen(c.width, c.height, c.colours);
    g.globalTable = Palette(c.colours);
    g.clearBeforeEveryCode = c.clearEvery;
    GifFrameDesc f = Image(0, 0, c.width, c.height, c.indices);
    f.leadingClear = c.leadingClear;
    g.frames = {f};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    Pixels want;
    for (uint8_t i : c.indices) want.push_back(Px(i));
    EXPECT_EQ(Shown(gif), want);
  }
}

TEST_F(CGifTest, BrokenCodeStreamsFailTheirImageAndKeepTheImagesBefore) {
  // Minimum code size 2: clear 4, end 5, first free code 6.
  struct Case {
    const char* name;
    std::vector<int32_t> codes;
    bool decodes;
  };
  const Case cases[] = {
      {"first code not a clear code", {0, 1, 6, 5}, true},
      {"a root after a clear", {4, 0, 4, 1, 5}, true},
      {"a code above free after a clear", {4, 0, 4, 7, 5}, false},
      {"the free code without a previous code", {4, 6, 5}, false},
      {"a code above free after another code", {4, 0, 7, 7, 5}, true},
      {"a prefix chain that loops", {4, 0, 7, 7, 7, 5}, false},
      {"no end code", {4, 0, 1}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Wide enough that no stream fills the image before its last code.
    GifDesc g = Screen(16, 1, 4);
    GifFrameDesc broken = Image(0, 0, 16, 1, {});
    broken.codes = c.codes;
    g.frames = {Solid(0, 0, 16, 1, 1), Solid(0, 0, 16, 1, 2), broken, Solid(0, 0, 16, 1, 3)};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    EXPECT_EQ(gif.GetFrameCount(), c.decodes ? 4 : 2);
  }
}

TEST_F(CGifTest, FirstCodeWithoutAClearDecodesAsAfterOne) {
  GifDesc g = Screen(4, 1, 4);
  GifFrameDesc f = Image(0, 0, 4, 1, {});
  f.codes = {0, 1, 6, 5};  // 0, 1, then the entry "0 1" the second code made
  g.frames = {f};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(Shown(gif), Expect({0, 1, 0, 1}));
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

// ---- Stepping ----

TEST_F(CGifTest, FileWithoutImagesLoadsNothingAndNeverSteps) {
  GifDesc g = Screen(2, 2);
  CGif gif;
  EXPECT_EQ(Load(gif, g), 0);
  EXPECT_EQ(gif.GetFrameCount(), 0);
  EXPECT_EQ(gif.StepGifFrame(), 0);
}

TEST_F(CGifTest, SingleImageShowsAtTheTopLeftAndNeverSteps) {
  GifDesc g = Screen(3, 1);
  g.frames = {Solid(2, 0, 1, 1, 1)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_EQ(gif.StepGifFrame(), 0);
  EXPECT_EQ(Shown(gif), Expect({1, -1, -1}));
  EXPECT_EQ(gif.SetFrame(0), 1);
  EXPECT_EQ(gif.SetFrame(1), 0);
  EXPECT_EQ(gif.SetFrame(-1), 0);
}

TEST_F(CGifTest, WrapToTheFirstFrameStartsFromAFreshSurface) {
  GifDesc g = Screen(3, 1);
  g.frames = {Controlled(Solid(0, 0, 1, 1, 1), 0), Controlled(Solid(1, 0, 1, 1, 2), 0),
              Controlled(Solid(2, 0, 1, 1, 3), 1)};  // disposal 4: composition on
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  ASSERT_TRUE(gif.IsComposing());
  const Pixels shown[] = {Expect({1, -1, -1}), Expect({1, 2, -1}), Expect({1, 2, 3}), Expect({1, -1, -1}),
                          Expect({1, 2, -1})};
  for (size_t i = 0; i < 5; ++i) {
    ASSERT_EQ(gif.StepGifFrame(), 1);
    EXPECT_EQ(Shown(gif), shown[i]) << "step " << i;
  }
}

TEST_F(CGifTest, WithoutCompositionEveryFrameIsDrawnAlone) {
  GifDesc g = Screen(2, 1);
  g.frames = {Solid(0, 0, 1, 1, 1), Solid(1, 0, 1, 1, 2)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  EXPECT_FALSE(gif.IsComposing());
  gif.StepGifFrame();
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({-1, 2}));
}

TEST_F(CGifTest, KeptFramesOverlayThroughTransparentPixels) {
  GifDesc g = Screen(4, 1, 4);
  GifFrameDesc over = Controlled(Image(1, 0, 2, 1, {2, 3}), 1);
  over.transparent = true;
  over.transparentIndex = 3;
  g.frames = {Controlled(Solid(0, 0, 4, 1, 1), 1), over, Controlled(Solid(3, 0, 1, 1, 0), 0)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  gif.StepGifFrame();
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({1, 2, 1, 1}));
  gif.StepGifFrame();  // after disposal 4 the next frame overlays too
  EXPECT_EQ(Shown(gif), Expect({1, 2, 1, 0}));
}

TEST_F(CGifTest, ClearedFrameLeavesNothingAndTheNextFrameShowsWhole) {
  // Frame 0 covers columns 0-1 and is cleared; frame 1 covers 1-3.
  for (uint8_t method : {2, 3}) {
    SCOPED_TRACE(method);
    GifDesc g = Screen(4, 2, 4);
    g.frames = {Controlled(Solid(0, 0, 2, 2, 1), method), Controlled(Solid(1, 0, 3, 2, 2), 1)};
    CGif gif;
    ASSERT_EQ(Load(gif, g), 1);
    gif.StepGifFrame();
    EXPECT_EQ(Shown(gif), Expect({1, 1, -1, -1, 1, 1, -1, -1}));
    gif.StepGifFrame();
    EXPECT_EQ(Shown(gif), Expect({-1, 2, 2, 2, -1, 2, 2, 2}));
  }
}

TEST_F(CGifTest, ImagesOutsideTheScreenAreClipped) {
  GifDesc g = Screen(4, 2, 4);
  g.frames = {Controlled(Solid(2, 1, 4, 4, 1), 2), Controlled(Solid(60000, 60000, 3, 3, 2), 1),
              Controlled(Solid(3, 0, 5, 1, 3), 0)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  ASSERT_EQ(gif.GetFrameCount(), 3);
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({-1, -1, -1, -1, -1, -1, 1, 1}));
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({-1, -1, -1, -1, -1, -1, -1, -1}));
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({-1, -1, -1, 3, -1, -1, -1, -1}));
}

TEST_F(CGifTest, SetFrameChoosesTheNextFrameDrawn) {
  GifDesc g = Screen(1, 1);
  g.frames = {Solid(0, 0, 1, 1, 1), Solid(0, 0, 1, 1, 2), Solid(0, 0, 1, 1, 3)};
  CGif gif;
  ASSERT_EQ(Load(gif, g), 1);
  ASSERT_EQ(gif.SetFrame(2), 1);
  gif.StepGifFrame();
  EXPECT_EQ(Shown(gif), Expect({3}));
  gif.StepGifFrame();  // past the last: frame 0
  EXPECT_EQ(Shown(gif), Expect({1}));
}

}  // namespace
