// The three GIF readers (the player, the sprite library's decoder and the avatar
// composer's reader) over one table of damaged and unusual files: each has its own
// rules for versions, cut files, unknown blocks and broken LZW streams, and none may
// read outside the bytes it is given.
#include <gtest/gtest.h>

#include "graphics/CGif.h"
#include "graphics/KKGIF.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/XGif89Reader.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;

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

}  // namespace
