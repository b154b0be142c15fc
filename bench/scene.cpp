// The table of the plain-win script after its deal (hands, floor, seat panels), reached
// by the script runner playing the statically linked module, drawn whole and drawn as
// a typical frame, each as a multiple of memcpy of one 800 x 600 x 4-byte frame measured
// in the same run and as a share of the 50 ms tick; and the whole game played, as
// virtual seconds per real second. Counters: "x_memcpy" = time / memcpy time (targets:
// a full redraw within 10, a typical frame within 2), "tick_pct" = percent of the tick,
// "x_real" = virtual time / real time (target: at least 200). Nothing asserts a time.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "scene/CDorvik2VWS.h"
#include "testhost/ScriptRunner.h"
#include "testhost/TestHost.h"

namespace {

using plat::sim::DisplayFormat;

constexpr size_t kFrameBytes = size_t{800} * 600 * 4;
constexpr double kTickSeconds = 0.050;
constexpr int kRounds = 5, kCallsPerRound = 20;
constexpr uint32_t kLoaderWaitRealMs = 30000;
constexpr const char16_t* kGameFolderWide = u"C:\\Dorvik2\\Game\\";
constexpr const char16_t* kPortalFolderWide = u"C:\\Dorvik2\\Portal\\";
constexpr const char* kScript = "01-plain-win.txt";
// The script's first checkpoint: the table just dealt.
constexpr const char* kDealtCheckpoint = "after-deal";
// A zoomed card's flight: it shrinks from the zoom size to the size it lands at.
constexpr GSize kZoomSize{56, 86}, kFlightEnd{36, 55};
constexpr int32_t kFlightSteps = 10;
constexpr GSize kShadowOffset{20, 15};
// The countdown restarts before it runs out, so every other frame shows a number.
constexpr int32_t kCountdownStart = 10, kCountdownLowest = 2;

double Seconds(const timespec& t0, const timespec& t1) {
  return double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9;
}

// Seconds per call of `fn`, best of a few timed batches.
template <class Fn>
double Time(Fn&& fn) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int i = 0; i < kCallsPerRound; ++i) fn();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    best = std::min(best, Seconds(t0, t1) / kCallsPerRound);
  }
  return best;
}

double MemcpyFrame() {
  std::vector<uint8_t> src(kFrameBytes, 0x35), dst(kFrameBytes, 0x53);
  return Time([&] {
    std::memcpy(dst.data(), src.data(), kFrameBytes);
    benchmark::DoNotOptimize(dst.data());
  });
}

void Report(benchmark::State& state, double seconds, double copy) {
  state.counters["us"] = seconds * 1e6;
  state.counters["memcpy_us"] = copy * 1e6;
  state.counters["x_memcpy"] = seconds / copy;
  state.counters["tick_pct"] = 100.0 * seconds / kTickSeconds;
}

std::string ScriptText() {
  std::ifstream in(std::string(DORVIK_GAME_SCRIPTS_DIR) + kScript);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The static module's game window, built and ready for the script's first message, in
// a fresh layer on a desktop of `format`. Teardown destroys it and resets the layer.
class StartedGame {
 public:
  explicit StartedGame(DisplayFormat format) {
    // The world the script's header names (its start tick seeds the voices and the
    // deal's jitter), on the desktop asked for.
    testhost::ScriptSetup setup;
    std::string error;
    testhost::ScriptEnvironment environment;
    environment.gameFolder = DORVIK_GAME_DATA_DIR;
    environment.portalFolder = DORVIK_GAME_PORTAL_DIR;
    // A registry of this run's own, in a folder no other run shares, removed at the end.
    std::string folder = (std::filesystem::temp_directory_path() / "dorvik2-bench-XXXXXX").string();
    if (mkdtemp(folder.data())) folder_ = folder;
    environment.registryFile = folder_ + "/registry.dat";
    ready_ = !folder_.empty();
    ready_ = ready_ && testhost::ReadScriptSetup(ScriptText(), setup, error);
    setup.desktop = format == DisplayFormat::Rgb565 ? "565" : "32";
    ready_ = ready_ && testhost::PrepareLayer(setup, environment, error);
    host_ = std::make_unique<testhost::TestHost>();
    host_->UseExports(&CreateGameWnd, &InitGameWnd, &DestroyGameWnd);
    ready_ = ready_ && host_->Create() == 0 && host_->Init(kGameFolderWide, kPortalFolderWide, 0) &&
             host_->WaitForLoader(kLoaderWaitRealMs);
    if (ready_) host_->Client()->RefreshScreen(0);
  }
  ~StartedGame() {
    runner_.reset();
    host_.reset();
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetWindowSystem();
    plat::sim::ResetDisplay();
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  StartedGame(const StartedGame&) = delete;
  StartedGame& operator=(const StartedGame&) = delete;

  // Plays the script, to its end or up to a checkpoint; "" when it passed.
  std::string Play(const std::string& pauseAt = "") {
    if (!ready_) return "the game window was not built";
    runner_ = std::make_unique<testhost::ScriptRunner>(*host_);
    std::string failure;
    if (!runner_->Load(ScriptText(), failure)) return failure;
    if (!pauseAt.empty()) runner_->PauseAt(pauseAt);
    return runner_->Run(failure) ? "" : failure;
  }
  CDorvik2VWS* Scene() const {
    auto* wnd = host_->Client() ? dynamic_cast<CDorvik2Wnd*>(host_->Client()) : nullptr;
    return wnd ? wnd->Scene() : nullptr;
  }

 private:
  std::unique_ptr<testhost::TestHost> host_;
  std::unique_ptr<testhost::ScriptRunner> runner_;
  bool ready_ = false;
  std::string folder_;
};

void FullRedraw(benchmark::State& state, DisplayFormat format) {
  StartedGame game(format);
  const std::string failure = game.Play(kDealtCheckpoint);
  if (!failure.empty()) return state.SkipWithError(failure.c_str());
  CDorvik2VWS* scene = game.Scene();
  double copy = 0, redraw = 0;
  for (auto _ : state) {
    copy = MemcpyFrame();
    redraw = Time([&] {
      scene->SetFullRedraw();
      benchmark::DoNotOptimize(scene->Draw(nullptr, GRect()));
    });
  }
  Report(state, redraw, copy);
}

// One step of a zoomed card's flight (the card and its shadow shrink and move) and the
// countdown's half-second step, then the draw of what they dirtied.
void TypicalFrame(benchmark::State& state, DisplayFormat format) {
  StartedGame game(format);
  const std::string failure = game.Play(kDealtCheckpoint);
  if (!failure.empty()) return state.SkipWithError(failure.c_str());
  CDorvik2VWS* scene = game.Scene();
  CVHTWnd* card = scene->CardWidgets().cards[0];
  GVWnd* shadow = scene->CardWidgets().shadow;
  const GPoint from = card->GetPos(), to = CDorvik2VWS::kDeckPoint;
  scene->StartCountdown(0, kCountdownStart);
  if (shadow) shadow->Show(1);
  // Settled first: the full frame, then the partial one that cleans the hidden widgets.
  scene->SetFullRedraw();
  scene->Draw(nullptr, GRect());
  scene->Draw(nullptr, GRect());
  int32_t step = 0;
  int64_t drawnPixels = 0, draws = 0;
  double copy = 0, frame = 0;
  for (auto _ : state) {
    copy = MemcpyFrame();
    frame = Time([&] {
      const int32_t k = step++ % kFlightSteps;
      const GPoint at{from.x + (to.x - from.x) * k / kFlightSteps, from.y + (to.y - from.y) * k / kFlightSteps};
      const GSize size{kZoomSize.cx - (kZoomSize.cx - kFlightEnd.cx) * k / kFlightSteps,
                       kZoomSize.cy - (kZoomSize.cy - kFlightEnd.cy) * k / kFlightSteps};
      card->SetRect(GRect(at, size));
      scene->MarkWidgetDirty(card);
      if (shadow) {
        shadow->SetRect(GRect(at + kShadowOffset, size));
        scene->MarkWidgetDirty(shadow);
      }
      if (scene->Timers().Countdown() < kCountdownLowest) scene->Timers().SetCountdown(kCountdownStart - 1, kCountdownStart);
      scene->StepCountdownDisplay();
      const GRect drawn = scene->Draw(nullptr, GRect());
      drawnPixels += int64_t(drawn.Width()) * drawn.Height();
      ++draws;
    });
  }
  Report(state, frame, copy);
  // What a typical frame repaints, to tell a cheap frame from one that drew nothing.
  state.counters["drawn_px"] = draws ? double(drawnPixels) / double(draws) : 0;
}

// The script from its first message to its end; the build and sound set-up are outside
// the timed part.
void WholeGame(benchmark::State& state, DisplayFormat format) {
  double real = 0, virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    StartedGame game(format);
    const DWORD start = GetTickCount();
    state.ResumeTiming();
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    const std::string failure = game.Play();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    state.PauseTiming();
    if (!failure.empty()) {
      state.SkipWithError(failure.c_str());
      break;
    }
    real += Seconds(t0, t1);
    virtualSeconds += double(GetTickCount() - start) / 1000.0;
    state.ResumeTiming();
  }
  if (real <= 0) return;
  state.counters["real_ms"] = 1000.0 * real / double(state.iterations());
  state.counters["virtual_s"] = virtualSeconds / double(state.iterations());
  state.counters["x_real"] = virtualSeconds / real;
}

}  // namespace

BENCHMARK_CAPTURE(FullRedraw, rgb565, DisplayFormat::Rgb565)->Iterations(1);
BENCHMARK_CAPTURE(FullRedraw, xrgb8888, DisplayFormat::Xrgb8888)->Iterations(1);
BENCHMARK_CAPTURE(TypicalFrame, rgb565, DisplayFormat::Rgb565)->Iterations(1);
BENCHMARK_CAPTURE(TypicalFrame, xrgb8888, DisplayFormat::Xrgb8888)->Iterations(1);
// The script's frame hashes are the 32-bit desktop's.
BENCHMARK_CAPTURE(WholeGame, xrgb8888, DisplayFormat::Xrgb8888)->Iterations(3)->Unit(benchmark::kMillisecond);
