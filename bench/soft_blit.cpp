// The software blend blits over an 800 x 600 target at level 128, as a ratio to memcpy
// of the target's bytes measured in the same run ("ratio" = memcpy time / blit time,
// 1.0 = as fast as memcpy), with the reference path's ratio beside ("ref_ratio"). The
// "_ssse3" and "_floor" runs hold the dispatch to the lowest SIMD target and to the
// floor a processor with SSE2 alone gets (Highway's scalar target: the word code).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "hwy/targets.h"
#include "plat/sim_display.h"
#include "widgets/SoftBlit.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kLevel = 128;

template <class Fn>
double Time(Fn&& fn, int32_t calls) {
  // One untimed call first, so the first benchmark of a run does not pay for warming up.
  fn();
  double best = 1e30;
  for (int round = 0; round < 3; ++round) {
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int32_t i = 0; i < calls; ++i) fn();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    best = std::min(best, (double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9) / calls);
  }
  return best;
}

DDSurface MakeSurface(const DDObject& dd, int32_t f, int32_t w, int32_t h) {
  DDSURFACEDESC2 d;
  InitSurfaceDesc(d, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT, DWORD(w), DWORD(h),
                  DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
  auto& pf = d.ddpfPixelFormat;
  pf.dwFlags = DDPF_RGB;
  switch (f) {
    case kk::kFormat565: pf.dwRGBBitCount = 16, pf.dwRBitMask = 0xF800, pf.dwGBitMask = 0x7E0, pf.dwBBitMask = 0x1F; break;
    case kk::kFormat555: pf.dwRGBBitCount = 16, pf.dwRBitMask = 0x7C00, pf.dwGBitMask = 0x3E0, pf.dwBBitMask = 0x1F; break;
    default: pf.dwRGBBitCount = 32, pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0xFF00, pf.dwBBitMask = 0xFF; break;
  }
  DDSurface s;
  CreateSurface(dd, s, &d);
  // Varied pixels, so no branch is always taken.
  DDSURFACEDESC2 locked;
  InitSurfaceDesc(locked);
  if (SUCCEEDED(s->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) {
    auto* p = static_cast<uint8_t*>(locked.lpSurface);
    uint32_t seed = 12345;
    for (size_t i = 0; i < size_t(locked.lPitch) * size_t(h); ++i) {
      seed = seed * 1103515245u + 12345u;
      p[i] = uint8_t(seed >> 16);
    }
    s->Unlock(nullptr);
  }
  return s;
}

enum Kind { kLevelBlend, kStretch, kAlphaPlane };

void Run(benchmark::State& state, Kind kind, int32_t format, int32_t sourceWidth) {
  plat::sim::ResetDisplay(format == kk::kFormat32 ? plat::sim::DisplayFormat::Xrgb8888
                                                    : plat::sim::DisplayFormat::Rgb565);
  DDObject dd;
  CreateDirectDraw4(dd);
  dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  const DDSurface target = MakeSurface(dd, format, kWidth, kHeight);
  const DDSurface source = MakeSurface(dd, format, sourceWidth, kHeight);
  std::vector<uint8_t> alpha(size_t(sourceWidth) * kHeight);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = uint8_t(i * 7 + i / 13);
  const size_t bytes = size_t(kWidth) * kHeight * kk::BytesPerPixel(format);
  std::vector<uint8_t> from(bytes, 0x35), to(bytes, 0x53);
  const RECT dest{0, 0, kWidth, kHeight}, src{0, 0, sourceWidth, kHeight};
  auto blit = [&](BlitPath path) {
    switch (kind) {
      case kLevelBlend: AlphaBlendSurface(0, 0, source, target, src, kLevel, 1, 0x1234, path); break;
      case kStretch: BlendBlitStretch(target, dest, source, src, kLevel, 0x1234, path); break;
      case kAlphaPlane: BlendBlitAlpha(target, dest, source, src, kLevel, alpha.data(), alpha.size(), path); break;
    }
  };
  double copy = 0, fast = 0, reference = 0;
  for (auto _ : state) {
    copy = Time(
        [&] {
          std::memcpy(to.data(), from.data(), bytes);
          benchmark::DoNotOptimize(to.data());
        },
        40);
    fast = Time([&] { blit(BlitPath::kFast); }, 10);
    reference = Time([&] { blit(BlitPath::kReference); }, 2);
  }
  state.counters["ratio"] = copy / fast;
  state.counters["ref_ratio"] = copy / reference;
  state.counters["memcpy_us"] = copy * 1e6;
  state.counters["fast_us"] = fast * 1e6;
}

// On one SIMD target; 0 is the best this processor has.
void RunOn(benchmark::State& state, int64_t target, Kind kind, int32_t format, int32_t sourceWidth) {
  if (target != 0 && (hwy::SupportedTargets() & target) == 0) {
    state.SkipWithError("target not on this processor");
    return;
  }
  hwy::SetSupportedTargetsForTest(target);
  Run(state, kind, format, sourceWidth);
  hwy::SetSupportedTargetsForTest(0);
}

#define SOFT_AT(name, ...)                                                                \
  BENCHMARK_CAPTURE(RunOn, name, 0, __VA_ARGS__)->Iterations(1);                          \
  BENCHMARK_CAPTURE(RunOn, name##_ssse3, HWY_SSSE3, __VA_ARGS__)->Iterations(1);          \
  BENCHMARK_CAPTURE(RunOn, name##_floor, HWY_SCALAR, __VA_ARGS__)->Iterations(1)
SOFT_AT(alpha_blend_565, kLevelBlend, kk::kFormat565, kWidth);
SOFT_AT(alpha_blend_555, kLevelBlend, kk::kFormat555, kWidth);
SOFT_AT(alpha_blend_32, kLevelBlend, kk::kFormat32, kWidth);
SOFT_AT(stretch_1to1_565, kStretch, kk::kFormat565, kWidth);
SOFT_AT(stretch_1to1_32, kStretch, kk::kFormat32, kWidth);
SOFT_AT(stretch_2x_565, kStretch, kk::kFormat565, kWidth / 2);
SOFT_AT(stretch_2x_32, kStretch, kk::kFormat32, kWidth / 2);
SOFT_AT(alpha_plane_565, kAlphaPlane, kk::kFormat565, kWidth);
SOFT_AT(alpha_plane_32, kAlphaPlane, kk::kFormat32, kWidth);

}  // namespace
