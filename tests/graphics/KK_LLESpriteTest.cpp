// Run-length sprites: exact encoder bytes, load checks, round trips, conversion and
// hit tests.
#include "graphics/KK_LLESprite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/ByteReader.h"
#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"
#include "support/Sweep.h"

namespace kk_llesprite_test {

using Bytes = std::vector<uint8_t>;
using testing_support::CaseRng;

constexpr uint16_t K = 0xF81F;  // the 5-6-5 key of magenta
constexpr uint32_t kMagenta = 0xFF00FF;

Bytes Le16(std::initializer_list<uint16_t> px) {
  Bytes b;
  for (uint16_t v : px) b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
  return b;
}

// Five lines of five pixels: a dropped top line, two pixels, an empty middle line, two
// single-pixel runs, a trailing empty line and a key-only right column.
Bytes SmallImage16() {
  return Le16({K, K, K, K, K,  //
               K, 0x1111, 0x2222, K, K,  //
               K, K, K, K, K,  //
               K, 0x3333, K, 0x4444, K,  //
               K, K, K, K, K});
}

Bytes ExpectedRuns16() {
  return {
      0x01, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x11, 0x11, 0x22, 0x22,  // line 1
      0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00,  // empty middle line
      0x02, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00,
      0x33, 0x33, 0x70, 0x70, 0x44, 0x44, 0x70, 0x70,  // two runs, padded, marked last
      0x00, 0x00, 0x08, 0x00,  // what the size rule keeps of the trailing empty line
  };
}

Bytes ExpectedHeader(uint8_t code, bool extra, uint32_t runSize) {
  return {code, 'K', 'S', uint8_t(extra ? 2 : 1), 5, 0, 5, 0, 1, 0, 1, 0, 3, 0, 3, 0, 0xFE, 0xFF, 2, 0, 0, 0,
          uint8_t(extra ? 68 : 36), 0, uint8_t(runSize), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

TEST(LLESpriteTest, EncoderWritesExactBytes) {
  const Bytes img = SmallImage16();
  for (bool extra : {false, true}) {
    uint8_t block[32];
    for (int i = 0; i < 32; ++i) block[i] = uint8_t(0xC0 + i);
    const Bytes chunk = kk::EncodeSpriteChunk(16, 5, 5, 10, img.data(), kMagenta, -2, 2, extra ? block : nullptr);
    const Bytes runs = ExpectedRuns16();
    Bytes want = {0, 0, 0, 0, uint8_t(extra ? 0x02 : 0x01), 0x84, 0, 0, 0x6A, 0x09, 0x6B, 0x07};
    StoreU32(want.data(), uint32_t((extra ? 68 : 36) + runs.size()));
    const Bytes head = ExpectedHeader(16, extra, uint32_t(runs.size()));
    want.insert(want.end(), head.begin(), head.end());
    if (extra) want.insert(want.end(), block, block + 32);
    want.insert(want.end(), runs.begin(), runs.end());
    EXPECT_EQ(chunk, want) << "extra " << extra;
  }
}

TEST(LLESpriteTest, AllKeySpriteHasNoRunsAndNoBounds) {
  const Bytes img = Le16({K, K, K, K});
  KK_LLESprite s;
  ASSERT_EQ(s.EncodeLLESprite(16, 2, 2, 4, img.data(), kMagenta), 1);
  EXPECT_EQ(s.RunSize() + s.Header().trimWidth, 0u);
  int32_t l, t, w, h;
  EXPECT_FALSE(s.GetBounds(&l, &t, &w, &h));
  KK_LLESprite back;
  EXPECT_EQ(back.LoadFromBytes(s.SaveToBytes(), 0, 0), 1);
  EXPECT_FALSE(back.HitTest(0, 0));
}

// Random sprites with key holes, every code.
Bytes RandomImage(CaseRng& rng, int32_t code, int32_t w, int32_t h, uint32_t key) {
  const int32_t bpp = kk::BytesPerPixel(code);
  Bytes img(size_t(w * h * bpp));
  const int32_t holes = rng.Range(0, 90);
  for (int32_t i = 0; i < w * h; ++i) {
    uint8_t* p = &img[size_t(i * bpp)];
    for (int32_t b = 0; b < bpp; ++b) p[b] = rng.Byte();
    if (rng.Below(100) < holes) {
      uint32_t v = code == 16 ? kk::Px565::FromRef(key) : code == 17 ? kk::Px555::FromRef(key)
                 : code == 24 ? (kk::RefBlue(key) | kk::RefGreen(key) << 8 | kk::RefRed(key) << 16)
                              : kk::Px8888::FromRef(key);
      std::memcpy(p, &v, size_t(bpp));
    }
  }
  return img;
}

TEST(LLESpriteTest, SweepRoundTripsThroughSaveLoadAndUnpack) {
  static const int32_t kCodes[] = {16, 17, 24, 32};
  for (int32_t index : testing_support::SweepCases(400)) {
    CaseRng rng{uint64_t(index) + 7000};
    const int32_t code = kCodes[rng.Below(4)], bpp = kk::BytesPerPixel(code);
    const int32_t w = rng.Range(1, 40), h = rng.Range(1, 40);
    const Bytes img = RandomImage(rng, code, w, h, kMagenta);
    uint8_t extra[32];
    for (auto& b : extra) b = rng.Byte();
    const Bytes chunk = kk::EncodeSpriteChunk(code, w, h, w * bpp, img.data(), kMagenta, rng.Range(-50, 50),
                                              rng.Range(-50, 50), rng.Chance(50) ? extra : nullptr);
    ASSERT_FALSE(chunk.empty());
    KK_LLESprite s;
    ASSERT_EQ(s.LoadFromBytes(chunk, 0, 0), 1) << "case " << index;
    EXPECT_EQ(s.SaveToBytes(), chunk) << "case " << index;
    // Unpack over a copy of the source: only keyed pixels may differ, and those stay.
    Bytes out = img;
    const auto& hd = s.Header();
    s.Unpack(out.data() + (hd.trimTop * w + hd.trimLeft) * bpp, w * bpp);
    EXPECT_EQ(out, img) << "case " << index;
    // A pixel is drawn when unpacking changes it over either of two blank fills.
    Bytes blankA(img.size(), 0xEE), blankB(img.size(), 0x11);
    s.Unpack(blankA.data() + (hd.trimTop * w + hd.trimLeft) * bpp, w * bpp);
    s.Unpack(blankB.data() + (hd.trimTop * w + hd.trimLeft) * bpp, w * bpp);
    for (int32_t y = -1; y <= h; ++y)
      for (int32_t x = -1; x <= w; ++x) {
        bool unpacked = false;
        if (x >= 0 && y >= 0 && x < w && y < h)
          for (int32_t b = 0; b < bpp; ++b) {
            const size_t i = size_t((y * w + x) * bpp + b);
            unpacked = unpacked || blankA[i] != 0xEE || blankB[i] != 0x11;
          }
        ASSERT_EQ(s.HitTest(x - hd.anchorX, y - hd.anchorY), unpacked) << "case " << index << " at " << x << "," << y;
      }
  }
}

TEST(LLESpriteTest, WorstCaseLinesEncodeWithoutOverrun) {
  // A one-pixel column and an alternating checkerboard, 600 lines each.
  Bytes column;
  for (int i = 0; i < 600; ++i) column.push_back(0x34), column.push_back(0x12);
  KK_LLESprite s;
  ASSERT_EQ(s.EncodeLLESprite(16, 1, -600, 2, column.data(), kMagenta), 1);
  EXPECT_EQ(s.RunSize(), 600u * 16);
  Bytes checker;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint16_t v = (x + y) % 2 ? K : 0x0001;
      checker.push_back(uint8_t(v)), checker.push_back(uint8_t(v >> 8));
    }
  ASSERT_EQ(s.EncodeLLESprite(16, 64, -600, 128, checker.data(), kMagenta), 1);
  KK_LLESprite back;
  ASSERT_EQ(back.LoadFromBytes(s.SaveToBytes(), 0, 0), 1);
  Bytes out(checker.size(), 0);
  back.Unpack(out.data(), 128);
  for (size_t i = 0; i < out.size(); i += 2) EXPECT_TRUE(checker[i] != 0x01 || out[i] == 0x01) << i;
}

Bytes ThreeChunks() {
  Bytes file;
  for (uint16_t v : {0x1111, 0x2222, 0x3333}) {
    const Bytes px = Le16({v});
    const Bytes c = kk::EncodeSpriteChunk(16, 1, 1, 2, px.data(), kMagenta, 0, 0);
    file.insert(file.end(), c.begin(), c.end());
  }
  return file;
}

TEST(LLESpriteTest, SkipCountReadsLaterChunksAndFailsPastTheEnd) {
  const Bytes file = ThreeChunks();
  KK_LLESprite s;
  size_t used = 0;
  ASSERT_EQ(s.LoadFromBytes(file, 2, 0, &used), 1);
  EXPECT_EQ(used, file.size());
  Bytes px(2);
  s.Unpack(px.data(), 2);
  EXPECT_EQ(px, Le16({0x3333}));
  const Bytes two(file.begin(), file.begin() + ptrdiff_t(file.size() / 3 * 2));
  EXPECT_EQ(s.LoadFromBytes(two, 2, 0), 0);
  EXPECT_FALSE(s.HasHeader());
  // Kind 0x83 is refused; any low byte but 2 is a plain sprite.
  for (const auto& [kind, want] : {std::pair{0x8301u, 0}, std::pair{0x84FFu, 1}}) {
    Bytes other = file;
    StoreU32(other.data() + 4, kind);
    EXPECT_EQ(s.LoadFromBytes(other, 0, 0), want) << std::hex << kind;
  }
}

// Each damage to a good chunk is refused at load.
TEST(LLESpriteTest, DamagedChunksAreRefused) {
  const Bytes img = SmallImage16();
  const Bytes good = kk::EncodeSpriteChunk(16, 5, 5, 10, img.data(), kMagenta, 0, 0);
  constexpr size_t H = 12, R = 12 + 36;  // KS header, run data
  struct Damage {
    const char* what;
    size_t at;
    std::vector<uint8_t> bytes;
  };
  const Damage damages[] = {
      {"magic", 8, {0x6B}},
      {"size beyond the file", 0, {0xFF, 0xFF, 0, 0}},
      {"huge size", 0, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"payload shorter than a header", 0, {20, 0, 0, 0}},
      {"signature", H + 1, {'X'}},
      {"format code", H, {15}},
      {"layout without extra", H + 3, {2}},
      {"header size", H + 22, {68}},
      {"alpha mode 4", H + 28, {4}},
      {"alpha mode 1 on 16 bits", H + 28, {1}},
      {"trim box wider than the sprite", H + 12, {5}},
      {"trim box below the sprite", H + 10, {3}},
      {"run data beyond the chunk", H + 24, {0x80}},
      {"record length not a multiple of 4", R + 2, {0x11}},
      {"record length below its run table", R + 2, {0x08}},
      {"record beyond the data", R + 2, {0xF0}},
      {"run count negative", R, {0xFF, 0xFF}},
      {"runs wider than the trim box", R + 10, {0x04}},
      {"pixels beyond the record", R + 8 + 2, {0x09}},
  };
  KK_LLESprite s;
  ASSERT_EQ(s.LoadFromBytes(good, 0, 0), 1);
  for (const Damage& d : damages) {
    Bytes bad = good;
    std::copy(d.bytes.begin(), d.bytes.end(), bad.begin() + ptrdiff_t(d.at));
    EXPECT_EQ(s.LoadFromBytes(bad, 0, 0), 0) << d.what;
    EXPECT_EQ(s.AttachMemory(bad.data() + H, bad.size() - H), d.at < H ? 1 : 0) << d.what;
  }
  for (size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(s.LoadFromBytes(Bytes(good.begin(), good.begin() + ptrdiff_t(cut)), 0, 0), 0) << cut;
}

class LLEConvertTest : public testing::Test {
 protected:
  void TearDown() override { DestroyFXManager(); }
};

}  // namespace kk_llesprite_test
