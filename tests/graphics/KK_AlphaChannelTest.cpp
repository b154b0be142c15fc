// Alpha planes: sizes, run-length chunks with exact bytes, combining, scaling,
// splitting and plane files.
#include "graphics/KK_AlphaChannel.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/ByteReader.h"
#include "graphics/GraphicsTestKit.h"
#include "support/Sweep.h"

namespace kk_alpha_channel_test {

using Bytes = std::vector<uint8_t>;

KK_AlphaChannel& Filled(KK_AlphaChannel& p, int32_t w, int32_t h, uint8_t v) {
  EXPECT_EQ(p.Create(w, h), 1);
  for (int32_t i = 0; i < w * h; ++i) p.Data()[i] = v;
  return p;
}

TEST(AlphaChannelTest, CreateRoundsTheDataUpToFourBytesEqualValuesSaveAsRunLengthPairsAndOthersRaw) {
  KK_AlphaChannel p;
  ASSERT_EQ(p.Create(3, 3), 1);
  EXPECT_EQ((std::vector<int>{p.DataSize(), p.Data()[11], p.Create(0, 3), p.Empty()}), (std::vector<int>{12, 0, 0, 1}));
  EXPECT_EQ(p.Address(0, 0), nullptr);
  Filled(p, 100, 10, 9);
  const Bytes saved = p.SaveToBytes();
  const Bytes want = {20, 0, 0, 0, 0x10, 0x85, 0, 0, 0x6A, 0x09, 0x6B, 0x07,  // chunk: 12 + 8 bytes, 0x8510
                      0, 'K', 'A', 1, 100, 0, 10, 0, 0xE8, 0x03, 0, 0,          // plane header, data size 1000
                      9, 255, 9, 255, 9, 255, 9, 235};
  EXPECT_EQ(saved, want);
  KK_AlphaChannel back;
  ASSERT_EQ(back.LoadFromBytes(saved), 1);
  EXPECT_EQ(Bytes(back.Data(), back.Data() + 1000), Bytes(1000, 9));
  // Random values save raw.
  ASSERT_EQ(p.Create(7, 5), 1);
  testing_support::CaseRng rng{5};
  for (int32_t i = 0; i < 35; ++i) p.Data()[i] = rng.Byte();
  const Bytes raw = p.SaveToBytes();
  // Padding saved as zero.
  EXPECT_EQ((std::vector<uint32_t>{LoadU32(raw.data() + 4), LoadU32(raw.data()), raw.back()}), (std::vector<uint32_t>{0x8500, 12 + 36, 0}));
  ASSERT_EQ(back.LoadFromBytes(raw), 1);
  EXPECT_EQ(back.SaveToBytes(), raw);
}

TEST(AlphaChannelTest, DamagedChunksAreRefused) {
  KK_AlphaChannel p;
  Filled(p, 10, 10, 3);
  const Bytes good = p.SaveToBytes();
  struct Damage {
    const char* what;
    size_t at;
    uint8_t value;
  };
  const Damage damages[] = {{"kind", 5, 0x84}, {"signature", 13, 'X'}, {"version", 15, 2}, {"zero width", 16, 0},
                            {"data size", 20, 99}, {"pairs past the plane", 25, 255}, {"count 0", 25, 0}};
  KK_AlphaChannel q;
  for (const Damage& d : damages) {
    Bytes bad = good;
    bad[d.at] = d.value;
    EXPECT_EQ(q.LoadFromBytes(bad), 0) << d.what;
    EXPECT_TRUE(q.Empty());
  }
  for (size_t cut = 0; cut < good.size(); ++cut) EXPECT_EQ(q.LoadFromBytes(Bytes(good.begin(), good.begin() + ptrdiff_t(cut))), 0);
}

TEST(AlphaChannelTest, DrawCombinesClippedAtEveryEdge) {
  KK_AlphaChannel dst, src;
  Filled(src, 3, 3, 10);
  for (int32_t op = 0; op < 3; ++op)
    for (int32_t x : {-2, 0, 3}) {
      Filled(dst, 4, 4, 20);
      dst.Draw(src, x, x, op);
      for (int32_t yy = 0; yy < 4; ++yy)
        for (int32_t xx = 0; xx < 4; ++xx) {
          const bool covered = xx >= x && xx < x + 3 && yy >= x && yy < x + 3;
          const uint8_t want = covered ? (op == 1 ? 20 : 10) : 20;
          ASSERT_EQ(*dst.Address(xx, yy), want) << op << " " << x << " " << xx << "," << yy;
        }
    }
  Filled(dst, 4, 4, 20);
  dst.Draw(src, 4, 0, 0);
  dst.Draw(src, 0, -3, 0);
  EXPECT_EQ(*dst.Address(0, 0), 20);
  dst.Scale(128);
  EXPECT_EQ(*dst.Address(3, 3), 10);
}

TEST(AlphaChannelTest, SplitCutsCellsInRowOrder) {
  KK_AlphaChannel big;
  ASSERT_EQ(big.Create(100, 50), 1);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 100; ++x) *big.Address(x, y) = uint8_t(x / 33 + 3 * (y / 25));
  KK_AlphaChannelSet set;
  set.Split(big, 3, 2);
  ASSERT_EQ(set.Count(), 6);
  for (int32_t i = 0; i < 6; ++i)
    EXPECT_EQ((std::vector<int>{set.At(i)->Width(), set.At(i)->Height(), *set.At(i)->Address(0, 0), *set.At(i)->Address(32, 24)}),
              (std::vector<int>{33, 25, i, i}));
  set.Split(big, 1, 1);
  EXPECT_EQ(set.Count(), 6);
}

TEST(AlphaChannelTest, PlaneFilesStopAtTheFirstBadPlane) {
  const gfx_test::Folder dir("A:\\");
  KK_AlphaChannelSet set;
  Filled(*set.AddChannel(), 5, 5, 1);
  Filled(*set.AddChannel(), 6, 2, 2);
  ASSERT_EQ(set.SaveFile("A:\\planes.alp"), 1);
  KK_AlphaChannelSet back;
  ASSERT_EQ(back.LoadFile("A:\\planes.alp"), 1);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(*back.At(1)->Address(5, 1), 2);
  Bytes two = set.SaveToBytes();
  two[set.At(0)->SaveToBytes().size() + 13] = 'X';
  EXPECT_EQ((std::vector<int>{back.LoadFromBytes(two), back.Count(), back.LoadFile("A:\\missing.alp"), back.Count()}),
            (std::vector<int>{1, 1, 1, 0}));
  KK_AlphaChannel one;
  ASSERT_EQ(one.Load("A:\\planes.alp"), 1);
  EXPECT_EQ(one.Width(), 5);
}

}  // namespace kk_alpha_channel_test
