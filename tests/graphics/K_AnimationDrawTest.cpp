// Drawing and hit-testing animation frames: part order, anchor offsets, motion, effects,
// and a seeded sweep holding Draw to the plain recipe (offset the sprite's anchor, move
// by the motion, blit, under the fixed bounds, mirrors combined by exclusive or) with
// HitTest and GetFrameRect checked against the pixels Draw paints.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"
#include "plat/sim.h"
#include "support/SpriteFileWriters.h"
#include "support/Sweep.h"

namespace k_animation_draw_test {

using namespace testing_support;

constexpr uint32_t kBackground = 0x00303030;  // the same as a COLORREF and as a pixel

// A 32-bit sprite whose pixels all differ, with a transparent hole and a cut corner so
// that mirroring and hit tests have something to find.
Bytes PatternSprite(int32_t w, int32_t h, int32_t ax, int32_t ay, uint32_t seed) {
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool hole = (x == w / 2 && y == h / 2 && w > 2 && h > 2) || (x == 0 && y == 0 && w > 1);
      px[size_t(y * w + x)] = hole ? 0xFF00FF : 0x00800000u + seed * 0x1000u + uint32_t(y * w + x) * 3u + 1u;
    }
  return kk::EncodeSpriteChunk(32, w, h, w * 4, reinterpret_cast<const uint8_t*>(px.data()), 0xFF00FF, ax, ay);
}

Bytes ThreeSprites() {
  return PspFile({PatternSprite(5, 4, 0, 0, 1), PatternSprite(3, 3, 1, 1, 2), PatternSprite(6, 2, 2, 0, 3)});
}

struct Image {
  K_Dib dib;
  Image(int32_t w, int32_t h, int32_t format) {
    dib.Create(w, h, format);
    dib.Fill(kBackground);
  }
  uint32_t Crc() const { return Crc32(dib.GetBits(), size_t(dib.Pitch()) * size_t(dib.Height())); }
  bool Painted(int32_t x, int32_t y, const Image& blank) const { return dib.GetPixel(x, y) != blank.dib.GetPixel(x, y); }
};

class AnimationDrawTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateFXManager(32), 1); }
  void TearDown() override { DestroyFXManager(); }
  void Bind(const QlaAnimation& a, const Bytes& sprites = ThreeSprites()) {
    ASSERT_EQ(rsc.LoadFromBytes(QlaFile(a, sprites)), 1);
    player.SetRsc(&rsc);
    plat::sim::SetTickBase(1000);
    player.Play(-1);
  }
  K_Animation_RSC rsc;
  K_Animation player;
};

QlaAnimation OneFrame(std::vector<QlaPart> parts, int16_t ox = 10, int16_t oy = 5) {
  QlaAnimation a;
  a.originX = ox, a.originY = oy;
  QlaFrame f;
  f.duration = 10;
  f.parts = std::move(parts);
  a.frames.push_back(f);
  return a;
}

// The recipe, with a private copy of the sprite whose anchor may be moved.
void RecipeDraw(K_Dib& image, const K_Animation_RSC& rsc, int32_t progress, int32_t x, int32_t y, uint32_t call) {
  const tagAni_Header h = rsc.Header();
  const K_Rect saved = image.ClipRect();
  if (h.flags & 1) image.SetClipRect(x + h.left, y + h.top, x + h.right, y + h.bottom);
  tagAni_Frame f;
  rsc.GetFrame(0, f);
  for (uint32_t k = 0; k < f.partCount; ++k) {
    const tagAni_Part p = rsc.GetPart(0, int32_t(k));
    if (p.sprite >= rsc.SpriteSet()->GetFrameCount()) continue;
    KK_LLESprite copy;
    copy.LoadFromBytes(rsc.SpriteSet()->GetFrame(p.sprite)->SaveToBytes(), 0, 0);
    copy.OffsetAnchor(h.originX - p.x, h.originY - p.y);
    int64_t px = x, py = y;
    if (progress && (p.partFlags & 1)) {
      const int64_t mx = (int64_t(p.dx) * progress + 50000) / 100000, my = (int64_t(p.dy) * progress + 50000) / 100000;
      px += (call & 0x10000) ? -mx : mx;
      py += (call & 0x20000) ? -my : my;
    }
    image.DrawSprite(int32_t(px), int32_t(py), copy, p.flags ^ (call & 0xF0000), p.level, p.colour);
  }
  image.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

TEST_F(AnimationDrawTest, GoldenFramesOn16And32BitImages) {
  const QlaAnimation a = OneFrame({{.sprite = 0, .x = 3, .y = 2, .flags = 0x10000},
                                   {.sprite = 1, .x = 12, .y = 9, .dx = 7, .dy = -4, .moves = true},
                                   {.sprite = 2, .x = 8, .y = 4, .flags = 0x20000 | 151, .level = 12, .r = 200},
                                   {.sprite = 9, .x = 0, .y = 0}});
  const uint32_t golden[2] = {0x36458257u, 0x648C2540u};
  int32_t i = 0;
  for (int32_t format : {16, 32}) {
    ASSERT_EQ(CreateFXManager(format), 1);
    Bind(a);
    player.Step(1000 + 70);
    Image img(48, 32, format);
    player.Draw(img.dib, 20, 12, 0);
    player.Draw(img.dib, 30, 20, 0x10000);
    EXPECT_EQ(img.Crc(), golden[i++]) << format;
    EXPECT_EQ(img.dib.ClipRect().right, 48);  // the caller's clip comes back
  }
}

TEST_F(AnimationDrawTest, SweepDrawFollowsTheRecipeAndHitTestAndRectMatchThePixels) {
  static const uint32_t kPlacement[] = {0, 0, 0x10000, 0x20000, 0x30000, 0x40000, 0x80000, 0x90000};
  for (int32_t index : SweepCases(600)) {
    CaseRng rng{uint64_t(index) + 77};
    QlaAnimation a;
    a.originX = int16_t(rng.Range(-20, 20)), a.originY = int16_t(rng.Range(-20, 20));
    if (rng.Chance(20)) {
      a.useBounds = true;
      a.left = int16_t(rng.Range(-30, 0)), a.top = int16_t(rng.Range(-30, 0));
      a.right = int16_t(rng.Range(0, 30)), a.bottom = int16_t(rng.Range(0, 30));
    }
    QlaFrame f;
    f.duration = 10;
    for (int32_t k = rng.Range(1, 4); k > 0; --k) {
      QlaPart p;
      p.sprite = uint16_t(rng.Below(4));
      p.x = int16_t(rng.Range(-20, 20)), p.y = int16_t(rng.Range(-20, 20));
      p.flags = kPlacement[rng.Below(8)];
      p.moves = rng.Chance(50);
      p.dx = int16_t(rng.Range(-15, 15)), p.dy = int16_t(rng.Range(-15, 15));
      f.parts.push_back(p);
    }
    a.frames.push_back(f);
    Bind(a);
    player.Step(1000 + uint32_t(rng.Range(0, 100)));
    const uint32_t call = kPlacement[rng.Below(8)];
    Image blank(96, 96, 32), mine(96, 96, 32), recipe(96, 96, 32);
    player.Draw(mine.dib, 48, 48, call);
    RecipeDraw(recipe.dib, rsc, player.Progress(), 48, 48, call);
    ASSERT_EQ(mine.Crc(), recipe.Crc()) << "case " << index;
    K_Rect box;
    rsc.GetFrameRect(0, box, call);
    for (int32_t y = 0; y < 96; ++y)
      for (int32_t x = 0; x < 96; ++x) {
        const bool painted = mine.Painted(x, y, blank);
        ASSERT_EQ(player.HitTest(x - 48, y - 48, call), painted) << "case " << index << " at " << x << "," << y;
        if (painted) {
          ASSERT_TRUE(x - 48 >= box.left && x - 48 < box.right && y - 48 >= box.top && y - 48 < box.bottom)
              << "case " << index;
        }
      }
  }
}

}  // namespace k_animation_draw_test
