// Full-frame surface blits on 800 x 600 in 16 and 32 bits, each measured beside a
// memcpy of the same bytes in the same run; the ratios are printed at the end. The keyed
// Blt runs on the best SIMD target here, on the lowest one (SSSE3) and on the floor a
// processor with SSE2 alone gets (Highway's scalar target: the plain loop).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "hwy/targets.h"
#include "plat/ddraw.h"
#include "plat/sim.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Frame {
  ComPtr<IDirectDraw4> dd;
  ComPtr<IDirectDrawSurface4> src, dst;
};

Frame MakeFrame(int bits) {
  plat::sim::ResetDisplay(bits == 16 ? plat::sim::DisplayFormat::Rgb565 : plat::sim::DisplayFormat::Xrgb8888);
  Frame f;
  ComPtr<IDirectDraw> first;
  DirectDrawCreate(nullptr, first.ReleaseAndGetAddressOf(), nullptr);
  first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(f.dd.ReleaseAndGetAddressOf()));
  f.dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  for (auto* s : {&f.src, &f.dst}) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = kWidth;
    d.dwHeight = kHeight;
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    f.dd->CreateSurface(&d, s->ReleaseAndGetAddressOf(), nullptr);
  }
  // A picture with about a third of its pixels transparent, as sprites have.
  const uint32_t key = bits == 16 ? 0xF81F : 0xFF00FF;
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  f.src->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
  std::mt19937 rng(7);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t v = rng() % 3 == 0 ? key : rng();
      std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bits / 8, &v, static_cast<size_t>(bits / 8));
    }
  f.src->Unlock(nullptr);
  DDCOLORKEY ck{key, key};
  f.src->SetColorKey(DDCKEY_SRCBLT, &ck);
  return f;
}

void Memcpy(benchmark::State& state) {
  const size_t bytes = size_t{kWidth} * kHeight * static_cast<size_t>(state.range(0)) / 8;
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BltFast(benchmark::State& state) {
  Frame f = MakeFrame(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (f.dst->BltFast(0, 0, f.src.Get(), nullptr, DDBLTFAST_WAIT) != DD_OK) state.SkipWithError("BltFast failed");
  }
}

void KeyBlt(benchmark::State& state) {
  Frame f = MakeFrame(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (f.dst->Blt(nullptr, f.src.Get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr) != DD_OK)
      state.SkipWithError("Blt failed");
  }
}

void KeyBltOn(benchmark::State& state, int64_t target) {
  if ((hwy::SupportedTargets() & target) == 0) {
    state.SkipWithError("target not on this processor");
    return;
  }
  hwy::SetSupportedTargetsForTest(target);
  KeyBlt(state);
  hwy::SetSupportedTargetsForTest(0);
}
void KeyBltSsse3(benchmark::State& state) { KeyBltOn(state, HWY_SSSE3); }
void KeyBltFloor(benchmark::State& state) { KeyBltOn(state, HWY_SCALAR); }

// Medians of several runs: the machine may be busy with other work.
constexpr int kRepetitions = 7;
BENCHMARK(Memcpy)->Arg(16)->Arg(32)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BltFast)->Arg(16)->Arg(32)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(KeyBlt)->Arg(16)->Arg(32)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(KeyBltSsse3)->Arg(16)->Arg(32)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(KeyBltFloor)->Arg(16)->Arg(32)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

// Keeps each run's time per iteration so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    static const std::string kMedian = "_median";
    for (const Run& r : runs) {
      std::string name = r.benchmark_name();
      if (!name.ends_with(kMedian)) continue;
      name.resize(name.find("/repeats:"));
      times_[name] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    for (const char* bits : {"16", "32"}) {
      const auto base = times_.find(std::string("Memcpy/") + bits);
      if (base == times_.end()) continue;
      for (const char* name : {"BltFast", "KeyBlt", "KeyBltSsse3", "KeyBltFloor"}) {
        const auto it = times_.find(std::string(name) + "/" + bits);
        if (it == times_.end() || it->second <= 0) continue;
        std::printf("%-11s %s-bit: %.2f of memcpy speed\n", name, bits, base->second / it->second);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
