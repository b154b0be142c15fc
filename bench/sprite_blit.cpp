// Sprite blits and effect rows as a ratio to memcpy of the same bytes, measured in the
// same run. Counters: "ratio" = memcpy time / this time (1.0 = as fast as memcpy).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "base/PixelFormat.h"
#include "graphics/K_Dib.h"
#include "hwy/targets.h"

namespace {

// Seconds per call of `fn`, best of a few timed batches.
template <class Fn>
double Time(Fn&& fn) {
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int i = 0; i < 50; ++i) fn();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    const double s = (double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9) / 50;
    best = std::min(best, s);
  }
  return best;
}

struct Scene {
  int32_t format, w, h;
  std::vector<uint8_t> pixels;
  KK_LLESprite sprite;
  K_Dib image;
  std::vector<uint8_t> memSrc, memDst;
  Scene(int32_t fmt, int32_t sw, int32_t sh, bool roundCorners, bool alpha) : format(fmt), w(sw), h(sh) {
    CreateFXManager(fmt);
    const int32_t bpp = kk::BytesPerPixel(fmt);
    std::vector<uint32_t> px(size_t(w * h));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const int32_t dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
        const bool corner = roundCorners && dx < 4 && dy < 4 && dx + dy < 4;
        px[size_t(y * w + x)] = corner ? 0xFF00FF : (0x00102030u + uint32_t(x * 7 + y)) | (alpha ? 20u << 24 : 0);
      }
    if (alpha) {
      sprite.CreateFromAlpha(w, -h, w * 4, reinterpret_cast<uint8_t*>(px.data()), -1);
      if (fmt != 32) sprite.ConvertFormat(fmt);
    } else if (fmt == 32) {
      sprite.EncodeLLESprite(32, w, -h, w * 4, reinterpret_cast<uint8_t*>(px.data()), 0xFF00FF);
    } else {
      std::vector<uint16_t> p16(px.size());
      for (size_t i = 0; i < px.size(); ++i) {
        const uint32_t v = px[i];
        p16[i] = kk::Px565::FromRef((v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16);
      }
      sprite.EncodeLLESprite(fmt, w, -h, w * 2, reinterpret_cast<uint8_t*>(p16.data()), 0xFF00FF);
    }
    image.Create(800, 600, fmt);
    memSrc.assign(size_t(image.Pitch()) * size_t(h), 1);
    memDst.assign(memSrc.size(), 0);
    (void)bpp;
  }
  double MemcpyRows() {
    const int32_t row = w * kk::BytesPerPixel(format), pitch = image.Pitch();
    return Time([&] {
      for (int32_t y = 0; y < h; ++y) std::memcpy(memDst.data() + size_t(y) * pitch, memSrc.data() + size_t(y) * pitch, size_t(row));
      benchmark::DoNotOptimize(memDst.data());
    });
  }
};

void Report(benchmark::State& state, Scene& s, uint32_t flags, int32_t level, bool fast, int32_t x, int32_t y) {
  double blit = 0, copy = 0;
  for (auto _ : state) {
    copy = s.MemcpyRows();
    blit = Time([&] {
      if (fast) s.image.DrawSpriteFast(x, y, s.sprite);
      else s.image.DrawSprite(x, y, s.sprite, flags, level, 0);
      benchmark::DoNotOptimize(s.image.GetBits());
    });
  }
  state.counters["ratio"] = copy / blit;
  DestroyFXManager();
}

// The card blits on one SIMD target (0: the best here; HWY_SSSE3 the lowest SIMD one;
// HWY_SCALAR the floor of a processor with SSE2 alone, the per-pixel rows).
void CardAt(benchmark::State& st, int64_t target, int32_t fmt, uint32_t flags, int32_t level, bool alpha) {
  if (target != 0 && (hwy::SupportedTargets() & target) == 0) {
    st.SkipWithError("target not on this processor");
    return;
  }
  hwy::SetSupportedTargetsForTest(target);
  Scene s(fmt, 60, 90, true, alpha);
  Report(st, s, flags, level, false, 100, 100);
  hwy::SetSupportedTargetsForTest(0);
}

void Card(benchmark::State& st, int32_t fmt, uint32_t flags, int32_t level, bool fast, bool alpha, int32_t x) {
  Scene s(fmt, 60, 90, true, alpha);
  Report(st, s, flags, level, fast, x, 100);
}

void Full(benchmark::State& st, int32_t fmt) {
  Scene s(fmt, 800, 600, false, false);
  Report(st, s, 0, 0, false, 0, 0);
}

void RowEffect(benchmark::State& state, int32_t fmt, uint32_t mode, int32_t level) {
  CreateFXManager(fmt);
  KK_FXMan& m = *GetFXManager();
  const size_t bytes = size_t(800) * size_t(m.BytesPerPixel());
  std::vector<uint8_t> src(bytes, 0x35), dst(bytes, 0x53);
  double copy = 0, row = 0;
  for (auto _ : state) {
    copy = Time([&] {
      for (int i = 0; i < 100; ++i) std::memcpy(dst.data(), src.data(), bytes);
      benchmark::DoNotOptimize(dst.data());
    });
    KK_FXParams params = m.DrawParams();
    KK_RowFn fn = m.SetFXMode(params, mode, level, 0x336699);
    row = Time([&] {
      for (int i = 0; i < 100; ++i) fn(dst.data(), src.data(), 800, params);
      benchmark::DoNotOptimize(dst.data());
    });
  }
  state.counters["ratio"] = copy / row;
  DestroyFXManager();
}

// The same row effect over a whole 800 x 600 frame (out of cache), against memcpy of
// the frame.
void FrameEffect(benchmark::State& state, int32_t fmt, uint32_t mode, int32_t level) {
  CreateFXManager(fmt);
  KK_FXMan& m = *GetFXManager();
  const size_t row = size_t(800) * size_t(m.BytesPerPixel()), bytes = row * 600;
  std::vector<uint8_t> src(bytes, 0x35), dst(bytes, 0x53);
  double copy = 0, frame = 0;
  for (auto _ : state) {
    copy = Time([&] {
      std::memcpy(dst.data(), src.data(), bytes);
      benchmark::DoNotOptimize(dst.data());
    });
    KK_FXParams params = m.DrawParams();
    KK_RowFn fn = m.SetFXMode(params, mode, level, 0x336699);
    frame = Time([&] {
      for (size_t y = 0; y < 600; ++y) fn(dst.data() + y * row, src.data() + y * row, 800, params);
      benchmark::DoNotOptimize(dst.data());
    });
  }
  state.counters["ratio"] = copy / frame;
  DestroyFXManager();
}

}  // namespace

BENCHMARK_CAPTURE(Card, copy_565, 16, 0, 0, false, false, 100)->Iterations(1);
BENCHMARK_CAPTURE(Card, copy_32, 32, 0, 0, false, false, 100)->Iterations(1);
BENCHMARK_CAPTURE(Full, copy_565, 16)->Iterations(1);
BENCHMARK_CAPTURE(Full, copy_32, 32)->Iterations(1);
BENCHMARK_CAPTURE(Card, mirror_x_565, 16, 0x10000, 0, false, false, 100)->Iterations(1);
BENCHMARK_CAPTURE(Card, clipped_565, 16, 0, 0, false, false, -30)->Iterations(1);
BENCHMARK_CAPTURE(Card, level16_565, 16, 1, 16, false, false, 100)->Iterations(1);
BENCHMARK_CAPTURE(Card, level16_32, 32, 1, 16, false, false, 100)->Iterations(1);
BENCHMARK_CAPTURE(Card, alpha_mode2_565, 16, 0, 0, false, true, 100)->Iterations(1);
BENCHMARK_CAPTURE(Card, fast_565, 16, 0, 0, true, false, 100)->Iterations(1);
#define CARD_AT(name, ...)                                                    \
  BENCHMARK_CAPTURE(CardAt, name##_best, 0, __VA_ARGS__)->Iterations(1);       \
  BENCHMARK_CAPTURE(CardAt, name##_ssse3, HWY_SSSE3, __VA_ARGS__)->Iterations(1); \
  BENCHMARK_CAPTURE(CardAt, name##_floor, HWY_SCALAR, __VA_ARGS__)->Iterations(1)
CARD_AT(card_level16_565, 16, 1, 16, false);
CARD_AT(card_level16_32, 32, 1, 16, false);
CARD_AT(card_alpha_mode2_565, 16, 0, 0, true);
CARD_AT(card_mirror_x_565, 16, 0x10000, 0, false);
BENCHMARK_CAPTURE(RowEffect, row_copy_565, 16, 0, 0)->Iterations(1);
BENCHMARK_CAPTURE(RowEffect, row_level_565, 16, 1, 16)->Iterations(1);
BENCHMARK_CAPTURE(RowEffect, row_level_32, 32, 1, 16)->Iterations(1);
BENCHMARK_CAPTURE(RowEffect, row_half_565, 16, 150, 0)->Iterations(1);
BENCHMARK_CAPTURE(RowEffect, row_lighten_32, 32, 152, 0)->Iterations(1);
BENCHMARK_CAPTURE(FrameEffect, frame_level_565, 16, 1, 16)->Iterations(1);
BENCHMARK_CAPTURE(FrameEffect, frame_level_32, 32, 1, 16)->Iterations(1);
