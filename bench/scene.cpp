// The built table on the synthetic data, drawn whole and drawn with one card moving, as
// a multiple of memcpy of one 800 x 600 frame of the same format measured in the same
// run. Counter "x_memcpy" = this time / memcpy time (targets: a full redraw within 10,
// a dirty frame with one moving card within 2); nothing asserts it.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"

namespace {

using plat::sim::DisplayFormat;

constexpr int32_t kFrameWidth = 800, kFrameHeight = 600;
constexpr int kRounds = 5, kCallsPerRound = 20;

// Seconds per call of `fn`, best of a few timed batches.
template <class Fn>
double Time(Fn&& fn) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int i = 0; i < kCallsPerRound; ++i) fn();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    const double s = (double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9) / kCallsPerRound;
    best = std::min(best, s);
  }
  return best;
}

class SilentHost : public IHostInterface {
 public:
  int32_t Send(int32_t, int32_t, const BYTE*, int32_t) override { return 0; }
  int32_t GetAvatar(BSTR, BSTR, BSTR*) override { return 0; }
  int32_t SetText(BSTR, uint32_t, BSTR) override { return 0; }
  int32_t SetPlayState(uint32_t) override { return 0; }
  int32_t SetPlayerList(BSTR) override { return 0; }
  int32_t AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return 0; }
  int32_t RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t NotifyEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }
};

// The game window with its table built, in a host window on a display of `format`.
struct BuiltTable {
  explicit BuiltTable(DisplayFormat format) {
    plat::sim::ResetDisplay(format);
    plat::sim::MapPathPrefix("D:\\game\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "BenchHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr,
                                nullptr, nullptr);
    CreateGameWnd(&silent, &client);
    if (client && InitGameWnd(client, 0, host, u"D:\\game\\", u"D:\\portal\\", u"", 0, 0, 0, 0, 0)) {
      wnd = dynamic_cast<CDorvik2Wnd*>(client);
      if (HANDLE loader = wnd->LoaderThread()) WaitForSingleObject(loader, INFINITE);
      scene = wnd->Scene();
    }
  }
  ~BuiltTable() {
    if (client) DestroyGameWnd(client);
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetWindowSystem();
    plat::sim::ResetDisplay();
  }
  bool Ready() const { return scene && scene->IsReady(); }
  SilentHost silent;
  IClientInterface* client = nullptr;
  CDorvik2Wnd* wnd = nullptr;
  CDorvik2VWS* scene = nullptr;
};

double MemcpyFrame(int32_t bytesPerPixel) {
  const size_t bytes = size_t(kFrameWidth) * kFrameHeight * size_t(bytesPerPixel);
  std::vector<uint8_t> src(bytes, 0x35), dst(bytes, 0x53);
  return Time([&] {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
  });
}

void FullRedraw(benchmark::State& state, DisplayFormat format, int32_t bytesPerPixel) {
  BuiltTable table(format);
  if (!table.Ready()) return state.SkipWithError("the table was not built");
  double copy = 0, redraw = 0;
  for (auto _ : state) {
    copy = MemcpyFrame(bytesPerPixel);
    redraw = Time([&] {
      table.scene->SetFullRedraw();
      benchmark::DoNotOptimize(table.scene->Draw(nullptr, GRect()));
    });
  }
  state.counters["x_memcpy"] = redraw / copy;
}

void MovingCard(benchmark::State& state, DisplayFormat format, int32_t bytesPerPixel) {
  BuiltTable table(format);
  if (!table.Ready()) return state.SkipWithError("the table was not built");
  CVHTWnd* card = table.scene->CardWidgets().cards[0];
  // Settled first: the full frame, then the partial one that cleans the hidden widgets.
  table.scene->SetFullRedraw();
  table.scene->Draw(nullptr, GRect());
  table.scene->Draw(nullptr, GRect());
  int32_t step = 0;
  double copy = 0, frame = 0;
  for (auto _ : state) {
    copy = MemcpyFrame(bytesPerPixel);
    frame = Time([&] {
      card->SetPos(CDorvik2VWS::kDeckPoint + GSize(step++ % 40, 0));
      benchmark::DoNotOptimize(table.scene->Draw(nullptr, GRect()));
    });
  }
  state.counters["x_memcpy"] = frame / copy;
}

}  // namespace

BENCHMARK_CAPTURE(FullRedraw, rgb565, DisplayFormat::Rgb565, 2)->Iterations(1);
BENCHMARK_CAPTURE(FullRedraw, xrgb8888, DisplayFormat::Xrgb8888, 4)->Iterations(1);
BENCHMARK_CAPTURE(MovingCard, rgb565, DisplayFormat::Rgb565, 2)->Iterations(1);
BENCHMARK_CAPTURE(MovingCard, xrgb8888, DisplayFormat::Xrgb8888, 4)->Iterations(1);
