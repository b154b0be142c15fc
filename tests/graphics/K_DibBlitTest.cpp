// Sprite blits on fenced buffers: exact placement, mirroring, clipping and effects,
// and the run-walking blitter against the per-pixel reference over a seeded sweep.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "graphics/KK_AlphaChannel.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "base/PixelFormat.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibPlacement.h"
#include "support/FencedBuffer.h"
#include "support/SimdTargets.h"
#include "support/Sweep.h"

namespace k_dib_blit_test {

using testing_support::CaseRng;
using testing_support::FencedBuffer;

class BlitTest : public testing::Test {
 protected:
  void TearDown() override { DestroyFXManager(); }
};

// A 32-bit sprite of w x h distinct pixels (value 1 + index), anchor (ax, ay).
KK_LLESprite& Solid32(KK_LLESprite& s, int32_t w, int32_t h, int32_t ax, int32_t ay) {
  std::vector<uint32_t> px(size_t(w * h));
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint32_t(i + 1);
  EXPECT_EQ(s.EncodeLLESprite(32, w, -h, w * 4, reinterpret_cast<uint8_t*>(px.data()), 0xFF00FF), 1);
  s.SetAnchor(ax, ay);
  return s;
}

struct Canvas {
  FencedBuffer buf;
  K_Dib image;
  Canvas(int32_t w, int32_t h, int32_t bpp, FencedBuffer::Fence fence = FencedBuffer::Fence::kEveryRow)
      : buf(h, w * bpp, fence) {
    image.Attach(buf.Bits(), buf.Pitch(), bpp, w, h);
  }
};

TEST_F(BlitTest, TheAnchorPlacesTheTrimBoxAndMirrorsCutFromTheRightEnd) {
  ASSERT_EQ(CreateFXManager(32), 1);
  struct Case {
    int32_t w, h, ax, ay, x, y;
    uint32_t flags;
    std::vector<std::array<int32_t, 3>> want;  // x, y, pixel (1 + index in the sprite)
  };
  const Case cases[] = {
      {3, 2, 10, 10, 10, 10, 0, {{0, 0, 1}, {2, 1, 6}}},
      {3, 2, 10, 10, 20, 20, K_Dib::kNoAnchor, {{20, 20, 1}}},
      // The anchor applies without mirroring the position; the pixels still run backwards.
      {3, 2, 10, 10, 20, 15, K_Dib::kAnchorNoMirror | K_Dib::kMirrorX, {{10, 5, 3}, {12, 5, 1}}},
      // Left -1: the leftmost pixel lands at x - (width + left) + width - 1.
      {3, 2, 1, 0, 20, 5, K_Dib::kMirrorX, {{20, 5, 1}, {18, 5, 3}}},
      {3, 2, 1, 0, 20, 20, K_Dib::kMirrorY, {{19, 19, 1}, {19, 18, 4}}},  // y - (height + top), rows swapped
      {4, 1, 0, 0, -2, 0, 0, {{0, 0, 3}}},                                  // pixels 1, 2 cut
      {4, 1, 0, 0, 2, 2, K_Dib::kMirrorX | K_Dib::kNoAnchor, {{2, 2, 4}}},  // fits: 4 3 2 1
      {4, 1, 0, 0, -2, 4, K_Dib::kMirrorX | K_Dib::kNoAnchor, {{0, 4, 2}, {1, 4, 1}}},  // 4 and 3 fell off
  };
  for (const Case& c : cases) {
    Canvas canvas(40, 30, 4);
    KK_LLESprite s;
    canvas.image.DrawSprite(c.x, c.y, Solid32(s, c.w, c.h, c.ax, c.ay), c.flags);
    for (const auto& [x, y, v] : c.want) EXPECT_EQ(canvas.image.GetPixel(x, y), uint32_t(v)) << c.x << "," << c.y << " flags " << c.flags;
  }
}

TEST_F(BlitTest, ExtremePositionsDrawNothing) {
  ASSERT_EQ(CreateFXManager(16), 1);
  Canvas c(8, 8, 2, FencedBuffer::Fence::kEnds);
  std::vector<uint16_t> px(4, 0x1234);
  KK_LLESprite s;
  ASSERT_EQ(s.EncodeLLESprite(16, 2, -2, 4, reinterpret_cast<uint8_t*>(px.data()), 0xFF00FF), 1);
  s.SetAnchor(-30000, 30000);
  for (int32_t x : {INT32_MIN, INT32_MAX, 0})
    for (int32_t y : {INT32_MIN, INT32_MAX})
      for (uint32_t f : {0u, K_Dib::kMirrorX | K_Dib::kMirrorY}) c.image.DrawSprite(x, y, s, f);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(c.image.GetPixel(x, y), 0u);
}

TEST_F(BlitTest, PixelSizeAndAlphaModeDecideWhetherToDraw) {
  ASSERT_EQ(CreateFXManager(16), 1);
  Canvas c(8, 8, 2);
  KK_LLESprite s32;
  Solid32(s32, 2, 2, 0, 0);
  c.image.DrawSprite(0, 0, s32);
  EXPECT_EQ(c.image.GetPixel(0, 0), 0u);
  std::vector<uint16_t> px(4, 0x7C00);
  KK_LLESprite s555;
  ASSERT_EQ(s555.EncodeLLESprite(17, 2, -2, 4, reinterpret_cast<uint8_t*>(px.data()), 0xFF00FF), 1);
  c.image.DrawSprite(0, 0, s555);
  EXPECT_EQ(c.image.GetPixel(1, 1), 0x7C00u);  // drawn as it is
  const uint32_t cut[1] = {0xFF00FF00};
  KK_LLESprite mode3;
  ASSERT_EQ(CreateFXManager(32), 1);
  Canvas c32(4, 4, 4);
  ASSERT_EQ(mode3.CreateFromAlpha(1, 1, 4, reinterpret_cast<const uint8_t*>(cut), 0), 1);
  c32.image.DrawSprite(0, 0, mode3);
  EXPECT_EQ(c32.image.GetPixel(0, 0), 0u);
}

TEST_F(BlitTest, LevelTravelsInItsOwnArgument) {
  ASSERT_EQ(CreateFXManager(32), 1);
  Canvas c(4, 1, 4);
  KK_LLESprite s;
  const uint32_t white[1] = {0x00FFFFFF};
  ASSERT_EQ(s.EncodeLLESprite(32, 1, -1, 4, reinterpret_cast<const uint8_t*>(white), 0xFF00FF), 1);
  c.image.DrawSprite(0, 0, s, 1, 31);
  c.image.DrawSprite(1, 0, s, 1, 23);
  c.image.DrawSprite(2, 0, s, 23, 0);
  // Table 22: (8 x 255 + 23 x 0) / 31 = 65.8 -> 66 per channel.
  EXPECT_EQ((std::vector<uint32_t>{c.image.GetPixel(0, 0), c.image.GetPixel(1, 0), c.image.GetPixel(2, 0)}),
            (std::vector<uint32_t>{0, 0x00424242, 0}));
}

// ---- the seeded sweep ----

void MakeSprite(CaseRng& rng, int32_t format, KK_LLESprite& s) {
  const int32_t w = rng.Range(1, 80), h = rng.Range(1, 80);
  const int32_t holes = rng.Range(0, 70);
  const int32_t alphaKind = rng.Below(3);  // 0 keyed, 1 per-pixel alpha
  std::vector<uint32_t> px(size_t(w * h));
  for (auto& v : px) {
    v = uint32_t(rng.Next()) & 0x00FFFFFF;
    if (alphaKind) v |= uint32_t(rng.Range(0, 31)) << 24;
    if (rng.Below(100) < holes) v = alphaKind ? 0 : 0xFF00FF;
  }
  if (alphaKind) {
    s.CreateFromAlpha(w, -h, w * 4, reinterpret_cast<const uint8_t*>(px.data()), -1);
    if (format != 32) s.ConvertFormat(format);  // mode 2 with alpha bytes
  } else if (format == 32) {
    s.EncodeLLESprite(32, w, -h, w * 4, reinterpret_cast<const uint8_t*>(px.data()), 0xFF00FF);
  } else {
    std::vector<uint16_t> p16(px.size());
    for (size_t i = 0; i < px.size(); ++i) {
      const uint32_t ref = (px[i] >> 16 & 0xFF) | (px[i] & 0xFF00) | (px[i] & 0xFF) << 16;
      p16[i] = format == 16 ? kk::Px565::FromRef(ref) : kk::Px555::FromRef(ref);
    }
    s.EncodeLLESprite(format, w, -h, w * 2, reinterpret_cast<const uint8_t*>(p16.data()), 0xFF00FF);
  }
  s.SetAnchor(rng.Range(-20, 100), rng.Range(-20, 100));
  if (rng.Chance(30)) {
    uint8_t extra[32] = {};
    s.SetExtra(extra);
  }
}

TEST_F(BlitTest, SweepRunBlitterEqualsReferenceOnEverySimdTarget) {
  static const uint32_t kModes[] = {0, 0, 1, 1, 100, 101, 102, 103, 150, 151, 152, 153, 154, 200};
  static const int32_t kFormats[] = {16, 17, 32};
  for (int64_t target : testing_support::SimdTargets()) {
  SCOPED_TRACE(testing_support::SimdTargetName(target));
  testing_support::OnlySimdTarget only(target);
  uint32_t sum = 0;
  for (int32_t format : kFormats) {
    ASSERT_EQ(CreateFXManager(format), 1);
    KK_FXMan& m = *GetFXManager();
    const int32_t bpp = m.BytesPerPixel();
    for (int32_t index : testing_support::SweepCases(20000)) {
      CaseRng rng{uint64_t(index) * 3 + 1};
      if (kFormats[rng.Below(3)] != format) continue;
      KK_LLESprite s;
      MakeSprite(rng, format, s);
      const int32_t w = rng.Range(1, 120), h = rng.Range(1, 90);
      Canvas fast(w, h, bpp, FencedBuffer::Fence::kEnds), ref(w, h, bpp, FencedBuffer::Fence::kEnds);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t i = 0; i < w * bpp; ++i) fast.buf.Row(y)[i] = ref.buf.Row(y)[i] = rng.Byte();
      const int32_t cl = rng.Range(0, w - 1), ct = rng.Range(0, h - 1);
      const K_Rect clip{cl, ct, rng.Range(cl, w + 5), rng.Range(ct, h + 5)};
      fast.image.SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
      ref.image.SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
      const int32_t x = rng.Chance(5) ? rng.Range(-100000, 100000) : rng.Range(-150, w + 150);
      const int32_t y = rng.Chance(5) ? rng.Range(-100000, 100000) : rng.Range(-150, h + 150);
      const uint32_t mode = kModes[rng.Below(int32_t(std::size(kModes)))];
      const uint32_t flags = mode | (uint32_t(rng.Below(16)) << 16);
      const int32_t level = rng.Range(-1, 32);
      const uint32_t colour = uint32_t(rng.Next()) & 0xFFFFFF;
      const int32_t call = rng.Below(10);  // 0..5 DrawSprite, 6..7 DrawSpriteRect, 8..9 DrawSpriteFast
      K_Rect sub{rng.Range(-5, 40), rng.Range(-5, 40), 0, 0};
      sub.right = sub.left + rng.Range(0, 60);
      sub.bottom = sub.top + rng.Range(0, 60);
      std::vector<uint8_t> plane(size_t(w * h));
      for (auto& v : plane) v = rng.Byte();
      auto run = [&](Canvas& c, bool reference) {
        if (mode == 154) {
          m.PrepareAlphaPlane(c.image.GetBits(), c.image.Pitch(), h);
          std::memcpy(m.AlphaPlane().Data(), plane.data(), plane.size());
        }
        if (call < 6) {
          if (reference) kk::ReferenceDrawSprite(c.image, x, y, s, nullptr, flags, level, colour, false);
          else c.image.DrawSprite(x, y, s, flags, level, colour);
        } else if (call < 8) {
          if (reference) kk::ReferenceDrawSprite(c.image, x, y, s, &sub, flags, level, colour, false);
          else c.image.DrawSpriteRect(x, y, s, sub.left, sub.top, sub.right, sub.bottom, flags, level, colour);
        } else {
          if (reference) kk::ReferenceDrawSprite(c.image, x, y, s, nullptr, 0, 0, 0, true);
          else c.image.DrawSpriteFast(x, y, s);
        }
      };
      run(fast, false);
      run(ref, true);
      for (int32_t row = 0; row < h; ++row) {
        ASSERT_EQ(std::memcmp(fast.buf.Row(row), ref.buf.Row(row), size_t(w * bpp)), 0)
            << "case " << index << " (DORVIK_CASE=" << index << " replays it): format " << format << " flags 0x"
            << std::hex << flags << std::dec << " level " << level << " call " << call << " at " << x << "," << y
            << " row " << row;
        sum = testing_support::Crc32(fast.buf.Row(row), size_t(w * bpp), sum);
      }
    }
  }
  if (!testing_support::ReplayingOneCase()) {
    EXPECT_EQ(sum, 0xDC219998u) << std::hex << sum;
  }
  }
}

TEST_F(BlitTest, FramesLinesAndFills) {
  ASSERT_EQ(CreateFXManager(16), 1);
  Canvas c(9, 7, 2);
  const uint32_t a = kk::Px565::FromRef(0x0000FF), b = kk::Px565::FromRef(0xFF0000);
  c.image.SetClipRect(0, 0, 9, 6);
  c.image.DrawFrame({1, 1, 5, 9}, 0x0000FF, 0xFF0000);  // bottom edge clipped away
  EXPECT_EQ(c.image.GetPixel(1, 1), a);
  EXPECT_EQ(c.image.GetPixel(4, 1), b);  // right column over the top row
  EXPECT_EQ(c.image.GetPixel(1, 5), a);
  EXPECT_EQ(c.image.GetPixel(2, 5), 0u);  // no bottom edge
  c.image.Fill(0);
  c.image.DrawRoundFrame({0, 0, 4, 4}, 0x0000FF, 0xFF0000);
  EXPECT_EQ(c.image.GetPixel(0, 0), 0u);
  EXPECT_EQ(c.image.GetPixel(1, 0), a);
  EXPECT_EQ(c.image.GetPixel(3, 3), 0u);
  EXPECT_EQ(c.image.GetPixel(3, 2), b);
  c.image.Fill(0);
  c.image.DrawRoundFrame({0, 0, 2, 4}, 0x0000FF, 0xFF0000);  // two wide: the rows between the corners are empty
  EXPECT_EQ(c.image.GetPixel(0, 0), 0u);
  EXPECT_EQ(c.image.GetPixel(1, 0), 0u);
  EXPECT_EQ(c.image.GetPixel(0, 1), a);
  EXPECT_EQ(c.image.GetPixel(1, 2), b);
  EXPECT_EQ(c.image.GetPixel(1, 3), 0u);
  c.image.Fill(0);
  c.image.DrawHLine(-1, 2, 5, 0x0000FF);  // start moved by the clip: nothing
  EXPECT_EQ(c.image.GetPixel(0, 2), 0u);
  c.image.DrawHLine(6, 2, 5, 0x0000FF);
  EXPECT_EQ(c.image.GetPixel(8, 2), a);
  c.image.DrawVLine(3, 4, 9, 0x0000FF);
  EXPECT_EQ(c.image.GetPixel(3, 5), a);
  EXPECT_EQ(c.image.GetPixel(3, 6), 0u);  // below the clip
  c.image.SetClipRect(0, 0, 9, 7);
  c.image.Fill(0xFFFFFF);  // odd width, fenced rows
  EXPECT_EQ(c.image.GetPixel(8, 6), 0xFFFFu);
  c.image.FillRectFX(7, 5, 5, 5, 0x000000, 0);
  EXPECT_EQ(c.image.GetPixel(8, 6), 0u);
  EXPECT_EQ(c.image.GetPixel(6, 6), 0xFFFFu);
  KK_AlphaChannel plane;
  ASSERT_EQ(plane.Create(2, 1), 1);
  plane.Data()[0] = 255;
  c.image.DrawAlphaFill(plane, 8, 0, 0x0000FF, 0);
  EXPECT_EQ(c.image.GetPixel(8, 0), a);
}

}  // namespace k_dib_blit_test
