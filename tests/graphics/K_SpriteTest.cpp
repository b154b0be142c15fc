// Sprite sets: .psp loading up to the first bad chunk, the shared empty sprite, saving
// and its failures, and GIF files turned into sets.
#include "graphics/K_Sprite.h"

#include <gtest/gtest.h>

#include "graphics/KK_FXMan.h"
#include "graphics/K_Dib.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "graphics/GraphicsTestKit.h"
#include "support/SpriteFileWriters.h"

namespace k_sprite_test {

using namespace testing_support;

class SpriteSetTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::sim::ClearFaults();
    DestroyFXManager();
  }
  void Write(const std::string& name, const Bytes& bytes) { dir.Put(name, bytes); }
  gfx_test::Folder dir{"C:\\Game\\"};
};

Bytes ThreeChunks() {
  return PspFile({SolidSpriteChunk(16, 3, 2, 0x00FF00, 1, 1), SolidSpriteChunk(16, 4, 4, 0xFF0000, 0, 0, 1, 1),
                  SolidSpriteChunk(16, 1, 5, 0x0000FF, 0, 2)});
}

TEST_F(SpriteSetTest, EmptyFileIsAnEmptySetAndADamagedThirdChunkEndsTheSet) {
  Write("empty.psp", {});
  K_Sprite set;
  EXPECT_EQ((std::vector<int>{set.LoadSpriteSetFile("C:\\Game\\empty.psp", 1), set.GetFrameCount(),
                              set.LoadSpriteSetFile("C:\\Game\\missing.psp", 1)}),
            (std::vector<int>{1, 0, 0}));

  Bytes damaged = ThreeChunks();
  const size_t third = SolidSpriteChunk(16, 3, 2, 0x00FF00, 1, 1).size() + SolidSpriteChunk(16, 4, 4, 0xFF0000, 0, 0, 1, 1).size();
  damaged[third + 9] ^= 0xFF;
  Write("damaged.psp", damaged);
  EXPECT_EQ((std::vector<int>{set.LoadSpriteSetFile("C:\\Game\\damaged.psp", 1), set.GetFrameCount()}), (std::vector<int>{1, 2}));
  EXPECT_TRUE(set.Delays().empty());
}

TEST_F(SpriteSetTest, SaveRoundTripsByteForByteAnEmptySetWritesNothingAndAFailedWriteStops) {
  K_Sprite empty;
  EXPECT_EQ(empty.SaveSpriteSetFile("C:\\Game\\none.psp"), 0);
  EXPECT_FALSE(dir.Exists("none.psp"));

  K_Sprite set;
  set.LoadFromBytes(ThreeChunks(), 0);
  ASSERT_EQ(set.SaveSpriteSetFile("C:\\Game\\out.psp"), 1);
  EXPECT_EQ(dir.Get("out.psp"), ThreeChunks());
  // A write failing part-way returns 0 and leaves the partial file.
  plat::sim::FailNext("WriteFile", 1, 1);
  EXPECT_EQ(set.SaveSpriteSetFile("C:\\Game\\part.psp"), 0);
  EXPECT_EQ(dir.Get("part.psp"), SolidSpriteChunk(16, 3, 2, 0x00FF00, 1, 1));
}

GifDesc FiveFrames() {
  GifDesc g = gfx_test::GifScreen(4, 3, {0x000000, 0xFF00FF, 0x00FF00, 0x0000FF});
  for (int32_t i = 0; i < 5; ++i) {
    g.frames.push_back(gfx_test::SolidFrame(0, 0, 4, 3, uint8_t(2 + i % 2)));
    g.frames.back().delay = uint16_t(10 + i);
    g.frames.back().indices[size_t(i)] = 1;  // one magenta pixel, moving
  }
  return g;
}

TEST_F(SpriteSetTest, GifSetsReleaseTheirGdiObjectsAndFailWithoutThem) {
  const Bytes gif = EncodeGif(FiveFrames());
  ASSERT_EQ(CreateFXManager(32), 1);
  K_Sprite().LoadGifFromBytes(gif, 0);  // the first DCs of the process make the stock objects
  const gfx_test::GdiBalance balance;
  for (const char* fault : {"CreateDIBSection", "CreateCompatibleDC"}) {
    K_Sprite set;
    // The decoder's own bitmaps come first; the last DIB section is the drawing image.
    plat::sim::FailNext(fault, 1, std::string(fault) == "CreateDIBSection" ? 6 : 0);
    EXPECT_EQ(set.LoadGifFromBytes(gif, 0) + set.GetFrameCount(), 0) << fault;
    plat::sim::ClearFaults();
    balance.Check();
  }
  K_Sprite set;
  ASSERT_EQ(set.LoadGifFromBytes(gif, 0), 1);
  EXPECT_EQ(set.GetFrameCount(), 5);
  balance.Check();
}

TEST_F(SpriteSetTest, OutOfRangeFramesAreTheOneSharedEmptySprite) {
  K_Sprite set;
  ASSERT_EQ(set.LoadFromBytes(ThreeChunks(), 0), 1);
  const KK_LLESprite* empty = set.GetFrame(3);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(set.GetFrame(-1), empty);
  EXPECT_EQ(K_Sprite().GetFrame(0), empty);
  int32_t l, t, w, h;
  EXPECT_FALSE(empty->GetBounds(&l, &t, &w, &h));
  ASSERT_EQ(CreateFXManager(16), 1);
  K_Dib image;
  image.Create(8, 8, 16);
  image.Fill(0x123456);
  const uint32_t before = image.GetPixel(4, 4);
  for (uint32_t flags : {0u, 0x10000u, 0x40000u}) image.DrawSprite(4, 4, *empty, flags);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(image.GetPixel(x, y), before);
}

TEST_F(SpriteSetTest, AddAndRemoveFrames) {
  K_Sprite set;
  set.LoadFromBytes(ThreeChunks(), 0);
  const KK_LLESprite* last = set.GetFrame(2);
  set.RemoveAt(0);
  set.RemoveAt(5);
  EXPECT_EQ(set.GetFrameCount(), 2);
  EXPECT_EQ(set.GetFrame(1), last);
  set.RemoveLast();
  ASSERT_NE(set.AddFrame(), nullptr);
  EXPECT_EQ(set.GetFrameCount(), 2);
}

TEST_F(SpriteSetTest, AFiveFrameGifGivesFiveFramesAndDelaysWithMagentaTransparent) {
  Write("anim.gif", EncodeGif(FiveFrames()));
  for (int32_t screen : {32, 16}) {
    ASSERT_EQ(CreateFXManager(screen), 1);
    K_Sprite set;
    ASSERT_EQ(set.LoadGifAsSpriteSet("C:\\Game\\anim.gif", 0), 1);
    ASSERT_EQ(set.GetFrameCount(), 5);
    EXPECT_EQ(set.Delays(), (std::vector<int32_t>{10, 11, 12, 13, 14}));
    for (int32_t i = 0; i < 5; ++i) {
      const KK_LLESprite& s = *set.GetFrame(i);
      EXPECT_EQ(s.Header().format, screen);
      // Pixel i of the top row is transparent; its neighbours are drawn.
      EXPECT_FALSE(s.HitTest(i % 4, i / 4)) << i;
      EXPECT_TRUE(s.HitTest((i + 1) % 4, (i + 1) / 4)) << i;
    }
  }
  EXPECT_EQ(K_Sprite().LoadGifAsSpriteSet("C:\\Game\\missing.gif", 0), 0);
}

}  // namespace k_sprite_test
