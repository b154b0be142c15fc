// The effect manager's row functions, per pixel format, on one 800-pixel row (in
// cache) and on a whole 800 x 600 frame, each as a ratio to memcpy of the same bytes
// measured in the same run, with the reference row's ratio beside it.
// Counters: "ratio" (fast) and "reference" (1.0 = as fast as memcpy). Each runs on the
// best SIMD target here ("best") and on the floor a processor with SSE2 alone gets
// ("floor", Highway's scalar target: the per-pixel rows); "ssse3" is the lowest SIMD
// target. Run pinned to one core (taskset) and take medians of several runs.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "hwy/targets.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

template <class Fn>
double Time(Fn&& fn, int repeats) {
  // One untimed call first, so the first benchmark of a run does not pay for warming up.
  fn();
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int i = 0; i < repeats; ++i) fn();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    best = std::min(best, (double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9) / repeats);
  }
  return best;
}

enum class Effect { kCopy, kLevel, kLighten, kDarken, kHalf, kFill, kTint, kDestColor, kPlane, kPixelAlpha };

// Selects the effect on the manager into `params`; the fast row it hands out.
KK_RowFn Select(KK_FXMan& m, Effect e, std::vector<uint8_t>& planeImage, KK_FXParams& params) {
  switch (e) {
    case Effect::kCopy: return m.SetFXMode(params, 0, 0, 0);
    case Effect::kLevel: return m.SetFXMode(params, 1, 16, 0);
    case Effect::kLighten: return m.SetFXMode(params, 152, 0, 0);
    case Effect::kDarken: return m.SetFXMode(params, 153, 0, 0);
    case Effect::kHalf: return m.SetFXMode(params, 150, 0, 0);
    case Effect::kFill: return m.SelectFillColor(params, 0x336699);
    case Effect::kTint: return m.SetFXMode(params, 151, 12, 0x336699);
    case Effect::kDestColor: return m.SetFXMode(params, 200, 12, 0x336699);
    case Effect::kPlane: {
      const int32_t pitch = kWidth * m.BytesPerPixel();
      m.PrepareAlphaPlane(planeImage.data(), pitch, kHeight);
      for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < m.AlphaPlane().Width(); ++x) *m.AlphaPlane().Address(x, y) = uint8_t(x * 7 + y);
      return m.SetFXMode(params, 154, 0, 0);
    }
    case Effect::kPixelAlpha: {
      KK_RowFn fn = m.SetFXMode(params, 0, 0, 0);
      params.alphaMode = m.BytesPerPixel() == 4 ? 1 : 2;
      return fn;
    }
  }
  return nullptr;
}

// Holds the rows' dispatch to one target (0: the best) for one benchmark.
struct OnlyTarget {
  explicit OnlyTarget(int64_t target) { hwy::SetSupportedTargetsForTest(target); }
  ~OnlyTarget() { hwy::SetSupportedTargetsForTest(0); }
};

void Run(benchmark::State& state, int32_t format, Effect effect, bool frame, int64_t target) {
  if (target != 0 && (hwy::SupportedTargets() & target) == 0) {
    state.SkipWithError("target not on this processor");
    return;
  }
  OnlyTarget only(target);
  if (!CreateFXManager(format)) {
    state.SkipWithError("no manager");
    return;
  }
  KK_FXMan& m = *GetFXManager();
  const int32_t rows = frame ? kHeight : 1;
  const size_t rowBytes = size_t(kWidth) * size_t(m.BytesPerPixel()), bytes = rowBytes * size_t(rows);
  std::vector<uint8_t> src(bytes), dst(size_t(kWidth) * m.BytesPerPixel() * kHeight), alpha(kWidth);
  for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 37 + 11);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = uint8_t(i * 13);
  KK_FXParams params = m.DrawParams();
  KK_RowFn fast = Select(m, effect, dst, params);
  params.alpha = alpha.data();
  KK_RowFn reference = kk::ReferenceRow(format, params.row);
  const int repeats = frame ? 3 : 200;
  auto pass = [&](KK_RowFn fn) {
    for (int32_t y = 0; y < rows; ++y) fn(dst.data() + size_t(y) * rowBytes, src.data() + size_t(y) * rowBytes, kWidth, params);
    benchmark::DoNotOptimize(dst.data());
  };
  double copy = 0, fastTime = 0, refTime = 0;
  for (auto _ : state) {
    copy = Time(
        [&] {
          std::memcpy(dst.data(), src.data(), bytes);
          benchmark::DoNotOptimize(dst.data());
        },
        repeats);
    fastTime = Time([&] { pass(fast); }, repeats);
    refTime = reference ? Time([&] { pass(reference); }, repeats) : 0;
  }
  state.counters["ratio"] = copy / fastTime;
  state.counters["reference"] = refTime > 0 ? copy / refTime : 0;
  DestroyFXManager();
}

#define FX_AT(name, effect, target, tname)                                                    \
  BENCHMARK_CAPTURE(Run, name##_565_frame_##tname, 16, Effect::effect, true, target)->Iterations(1); \
  BENCHMARK_CAPTURE(Run, name##_555_frame_##tname, 17, Effect::effect, true, target)->Iterations(1); \
  BENCHMARK_CAPTURE(Run, name##_32_frame_##tname, 32, Effect::effect, true, target)->Iterations(1)
#define FX_BENCH(name, effect)                                                                  \
  BENCHMARK_CAPTURE(Run, name##_565_row, 16, Effect::effect, false, 0)->Iterations(1);          \
  BENCHMARK_CAPTURE(Run, name##_555_row, 17, Effect::effect, false, 0)->Iterations(1);          \
  BENCHMARK_CAPTURE(Run, name##_32_row, 32, Effect::effect, false, 0)->Iterations(1);           \
  FX_AT(name, effect, 0, best);                                                                 \
  FX_AT(name, effect, HWY_SSSE3, ssse3);                                                        \
  FX_AT(name, effect, HWY_SCALAR, floor)

FX_BENCH(copy, kCopy);
FX_BENCH(level, kLevel);
FX_BENCH(lighten, kLighten);
FX_BENCH(darken, kDarken);
FX_BENCH(half, kHalf);
FX_BENCH(fill, kFill);
FX_BENCH(tint, kTint);
FX_BENCH(dest_colour, kDestColor);
FX_BENCH(alpha_plane, kPlane);
FX_BENCH(pixel_alpha, kPixelAlpha);

}  // namespace
