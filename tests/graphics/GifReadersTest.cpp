// The three GIF readers (the player, the sprite library's decoder and the avatar
// composer's reader) over one table of images every reader must decode alike (row
// strides, interlace passes, LZW streams of every shape) and one of damaged and
// unusual files, where each has its own rules for versions, cut files, unknown blocks
// and broken LZW streams, and none may read outside the bytes it is given.
#include <gtest/gtest.h>

#include <string>

#include "graphics/CGif.h"
#include "graphics/KKGIF.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/XGif89Reader.h"
#include "support/Sweep.h"
#include "widgets/WidgetTestSupport.h"

namespace gif_readers_test {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;
using testing_support::GifFrameDesc;

// Two 16 x 1 frames.
GifDesc TwoFrames() {
  GifDesc g = GifScreen(16, 1, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
  g.frames = {SolidFrame(0, 0, 16, 1, 1), SolidFrame(0, 0, 16, 1, 2)};
  return g;
}

Bytes WithCodes(std::vector<int32_t> codes) {
  GifDesc g = TwoFrames();
  testing_support::GifFrameDesc broken = SolidFrame(0, 0, 16, 1, 0);
  broken.indices.clear();
  broken.codes = std::move(codes);
  g.frames.push_back(broken);
  g.frames.push_back(SolidFrame(0, 0, 16, 1, 3));
  return EncodeGif(g);
}

// The file without its trailer, then `tail`.
Bytes Tail(const Bytes& tail) {
  Bytes b = EncodeGif(TwoFrames());
  b.pop_back();
  b.insert(b.end(), tail.begin(), tail.end());
  return b;
}

struct Outcome {
  int result;
  int32_t frames;
};

struct Case {
  const char* name;
  Bytes bytes;
  Outcome player, decoder, avatar;
};

std::vector<Case> Cases() {
  const Bytes good = EncodeGif(TwoFrames());
  auto patched = [&](size_t at, uint8_t v) {
    Bytes b = good;
    b[at] = v;
    return b;
  };
  auto cut = [&](size_t keep) { return Bytes(good.begin(), good.begin() + ptrdiff_t(keep)); };
  GifDesc v87 = TwoFrames();
  v87.version87a = true;
  GifDesc bogus = TwoFrames();
  bogus.bogusSignature = true;
  // The code-size byte of the last image: the trailer, the end-of-data byte, the
  // codes, and their block's length come after it.
  Bytes wideCodes = EncodeGif([] {
    GifDesc g = GifScreen(1, 1, {0, 0xFF0000, 0, 0});
    g.frames = {SolidFrame(0, 0, 1, 1, 1)};
    return g;
  }());
  wideCodes[wideCodes.size() - 6] = 12;
  // Minimum code size 2: clear 4, end 5, first free code 6.
  return {
      {"89a", good, {1, 2}, {1, 2}, {1, 2}},
      {"87a", EncodeGif(v87), {1, 2}, {1, 2}, {0, 0}},
      {"88a", patched(4, '8'), {0, 0}, {1, 2}, {0, 0}},
      {"bogus signature", EncodeGif(bogus), {0, 0}, {1, 2}, {0, 0}},
      {"screen cut", cut(8), {0, 0}, {0, 0}, {0, 0}},
      {"header cut", cut(12), {0, 0}, {0, 0}, {0, 0}},
      {"global table cut", cut(13 + 3 * 4 - 1), {0, 0}, {0, 0}, {0, 0}},
      {"no trailer", cut(good.size() - 1), {1, 2}, {1, 2}, {0, 2}},
      // The player and the decoder keep what a cut image had; the avatar reader drops it.
      {"cut in the second image", cut(good.size() - 5), {1, 2}, {1, 2}, {1, 1}},
      {"comment", Tail({0x21, 0xFE, 2, 'h', 'i', 0, 0x3B}), {1, 2}, {1, 2}, {1, 2}},
      {"application block", Tail({0x21, 0xFF, 3, 'a', 'b', 'c', 1, 'x', 0, 0x3B}), {1, 2}, {1, 2}, {1, 2}},
      {"plain text", Tail({0x21, 0x01, 1, 'q', 0, 0x3B}), {1, 2}, {1, 2}, {1, 2}},
      {"unknown label", Tail({0x21, 0x33, 0, 0x3B}), {1, 2}, {1, 2}, {0, 2}},
      {"unknown block", Tail({0x55, 0x3B}), {1, 2}, {1, 2}, {0, 2}},
      {"comment cut short", Tail({0x21, 0xFE, 9, 'h'}), {1, 2}, {1, 2}, {0, 2}},
      // The decoder keeps the frame, without a picture.
      {"13-bit codes", wideCodes, {0, 0}, {1, 1}, {0, 0}},
      {"first code not a clear code", WithCodes({0, 1, 6, 5}), {1, 4}, {1, 4}, {1, 4}},
      {"a root after a clear", WithCodes({4, 0, 4, 1, 5}), {1, 4}, {1, 4}, {1, 4}},
      {"a code above free after a clear", WithCodes({4, 0, 4, 7, 5}), {1, 2}, {1, 4}, {1, 4}},
      {"the free code without a previous code", WithCodes({4, 6, 5}), {1, 2}, {1, 4}, {1, 4}},
      {"a code above free after another code", WithCodes({4, 0, 7, 7, 5}), {1, 4}, {1, 4}, {1, 4}},
      {"a prefix chain that loops", WithCodes({4, 0, 7, 7, 7, 5}), {1, 2}, {1, 4}, {1, 4}},
      {"no end code", WithCodes({4, 0, 1}), {1, 4}, {1, 4}, {1, 4}},
  };
}

class GifReadersTest : public widget_test::DisplayTest {};

// Colours that are never magenta (the player's key): red is a multiple of 8.
uint32_t Colour(size_t i) {
  const uint32_t r = (i * 8) & 0xFF, g = (248 - i * 8) & 0xFF, b = (i * 40) & 0xF8;
  return r << 16 | g << 8 | b;
}

TEST_F(GifReadersTest, ImagesOfEveryShapeAndCodeStreamDecodeAlikeInEveryReader) {
  testing_support::CaseRng rng(17);
  auto random = [&](size_t n, int32_t colours) {
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(rng.Below(colours));
    return v;
  };
  auto ramp = [](uint16_t w, uint16_t h, bool byRow) {
    std::vector<uint8_t> v;
    for (size_t i = 0; i < size_t(w) * h; ++i) v.push_back(uint8_t(byRow ? i / w : i % 16));
    return v;
  };
  struct Case {
    std::string name;
    uint16_t width, height;
    size_t colours;
    std::vector<uint8_t> indices;
    bool interlace = false, clearEvery = false, leadingClear = true;
    std::vector<int32_t> codes = {};  // written instead of the indices' stream
    size_t surplus = 0;               // indices past the image's end
  };
  std::vector<Case> cases = {
      // 16 K random bytes grow the codes to 12 bits and fill the table, which the
      // writer never clears: the rest is decoded with a full table. Odd widths pad
      // the rows of the readers' bitmaps.
      {"growth to 12 bits and a full table", 128, 128, 256, random(128 * 128, 256)},
      {"a full table, odd width", 201, 200, 256, random(201 * 200, 256)},
      {"one long run (KwKwK)", 64, 4, 2, std::vector<uint8_t>(256, 1)},
      {"clear before every code", 8, 8, 16, random(64, 16), false, true},
      {"first code not a clear code", 8, 8, 16, random(64, 16), false, false, false},
      {"two colours", 16, 2, 2, random(32, 2)},
      // 0, 1, then the entry "0 1" the second code made, as after a clear.
      {"first raw code not a clear code", 4, 1, 4, {0, 1, 0, 1}, false, false, true, {0, 1, 6, 5}},
      {"surplus pixels", 2, 2, 8, {1, 1, 1, 1}, false, false, true, {}, 36},
      {"surplus pixels, clear before every code", 2, 2, 8, {1, 1, 1, 1}, false, true, true, {}, 36},
  };
  for (uint16_t width : {1, 3, 4, 5, 7}) cases.push_back({"width " + std::to_string(width), width, 3, 16, ramp(width, 3, false)});
  // Rows 0, 8, ... then 4, 12, ... then 2, 6, ... then 1, 3, ...; short images skip passes.
  for (uint16_t height : {1, 2, 3, 4, 5, 9, 10, 11, 16})
    cases.push_back({"interlaced height " + std::to_string(height), 2, height, 16, ramp(2, height, true), true});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GifDesc g = GifScreen(c.width, c.height, {});
    for (size_t i = 0; i < c.colours; ++i) g.globalTable.push_back(Colour(i));
    g.clearBeforeEveryCode = c.clearEvery;
    GifFrameDesc f = SolidFrame(0, 0, c.width, c.height, 0, false);
    f.indices = c.codes.empty() ? c.indices : std::vector<uint8_t>{};
    f.indices.resize(f.indices.size() + c.surplus, 2);
    f.leadingClear = c.leadingClear;
    f.interlace = c.interlace;
    f.codes = c.codes;
    g.frames = {f};
    const Bytes bytes = EncodeGif(g);
    std::vector<uint32_t> colours;
    for (uint8_t i : c.indices) colours.push_back(Colour(i));

    CGif player;
    SIZE screen{};
    ASSERT_EQ(player.LoadFromBytes(bytes, dd_, &screen), 1);
    EXPECT_EQ(widget_test::ReadPixels(player.MainSurface()), colours);
    for (bool dibSections : {false, true}) {
      KKGIF::SetDibSectionMode(dibSections);
      KKGIF decoder;
      ASSERT_EQ(decoder.LoadMemory(bytes.data(), bytes.size()), 1);
      EXPECT_EQ(ReadBitmap(decoder.GetFrameBitmap(0)), colours) << "DIB sections " << dibSections;
    }
    KKGIF::SetDibSectionMode(false);
    XDibAnimation avatar;
    ASSERT_EQ(DecodeGif89a(bytes, avatar), 1);
    const XDib& dib = avatar.Frame(0)->dib;
    std::vector<uint8_t> indices;
    for (int32_t y = 0; y < dib.Height(); ++y)
      for (int32_t x = 0; x < dib.Width(); ++x) indices.push_back(*dib.PixelAt(x, y));
    EXPECT_EQ(indices, c.indices);
  }
}

TEST_F(GifReadersTest, DamagedAndUnusualFilesInEveryReader) {
  KKGIF::SetDibSectionMode(false);
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    CGif player;
    SIZE screen{};
    EXPECT_EQ(player.LoadFromBytes(c.bytes, dd_, &screen), c.player.result);
    EXPECT_EQ(player.GetFrameCount(), c.player.frames);
    KKGIF decoder;
    EXPECT_EQ(decoder.LoadMemory(c.bytes.data(), c.bytes.size()), c.decoder.result);
    EXPECT_EQ(decoder.GetFrameCount(), c.decoder.frames);
    XDibAnimation avatar;
    EXPECT_EQ(DecodeGif89a(c.bytes, avatar), c.avatar.result);
    EXPECT_EQ(avatar.FrameCount(), c.avatar.frames);
  }
}

}  // namespace gif_readers_test
