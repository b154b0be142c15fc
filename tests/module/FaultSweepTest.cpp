// One window life as a host lives it (synchronous then threaded init, host messages,
// full screen and back, lost surfaces, a display-mode change, destroy) with each
// fallible platform call it makes failed in turn. A trial is clean when the host sees
// the right results and every live-object count the layer keeps is back where a
// fault-free life leaves it. The calls are the faults the layer saw a clean life
// consult, so calls the module gains join the sweep by themselves. CTest runs a
// representative set of call numbers; DORVIK_FULL_FAULT_SWEEP=1 runs every one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "host/HostMessage.h"
#include "host/IXBuf.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "support/RecordingHost.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

namespace {

using plat::sim::DisplayFormat;
constexpr uint32_t kEveryCall = UINT32_MAX;

// The layer's live-object counts by name: a map, so a mismatch prints which count moved.
using Live = std::map<std::string, int64_t>;
Live CountLive() {
  using namespace plat::sim;
  const CryptHandleCounts crypt = LiveCryptHandles();
  const auto n = [](auto v) { return static_cast<int64_t>(v); };
  return {{"windows", n(LiveWindows())},           {"threads", n(LiveLayerThreads())},
          {"mm timers", n(LiveMultimediaTimers())}, {"timer periods", n(TimerPeriodBalance())},
          {"surfaces", n(LiveSurfaces())},         {"ddraw objects", n(LiveDirectDrawObjects())},
          {"clippers", n(LiveClippers())},         {"ddraw palettes", n(LivePalettes())},
          {"sound buffers", n(LiveSoundBuffers())}, {"gdi objects", n(LiveGdiObjects())},
          {"dcs", n(LiveDeviceContexts())},        {"files", n(OpenFileCount())},
          {"crypt handles", n(crypt.providers + crypt.hashes + crypt.keys)}};
}

int g_blocked = 0;
void NoteBlocked(const char*) { ++g_blocked; }

// Calls 1-3, the middle and the last, and every call at once; the full sweep adds each
// call up to the tenth and about one in five of the rest.
std::vector<uint32_t> CallNumbers(uint32_t calls, bool full) {
  std::set<uint32_t> n{1, 2, 3, (calls + 1) / 2, calls};
  for (uint32_t i = 1; full && i <= calls; i = i < 10 ? i + 1 : i * 5 / 4) n.insert(i);
  std::erase_if(n, [&](uint32_t i) { return i > calls; });
  std::vector<uint32_t> out(n.begin(), n.end());
  out.push_back(kEveryCall);
  return out;
}

struct Trial {
  std::vector<std::string> wrong;  // what the host saw go wrong
  Live live;                       // after every game window was destroyed
  uint32_t fired = 0;
  std::map<std::string, uint32_t> calls;  // faults a fault-free life consulted, how often
};

class FaultSweep : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::MapPathPrefix(kGameFolder, dir_.path());
    plat::sim::MapPathPrefix(std::string(kGameFolder) + "GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
    // Every sound effect, so the loader's sound set-up makes its buffers.
    testing_support::WavSpec tone;
    tone.data = testing_support::Pcm16Bytes(std::vector<int16_t>(64, 100));
    const std::string wav = testing_support::AsString(testing_support::MakeWav(tone));
    for (int32_t id = 0; id < scene_effects::kCount; ++id) {
      std::string name = std::string("GameSound/") + scene_effects::Files[id];
      std::replace(name.begin(), name.end(), '\\', '/');
      dir_.Write(name, wav);
    }
    // Seven server messages, written before any fault is armed: room, players, table,
    // notice, deal, turn, result.
    for (uint32_t type : {1u, 3u, 7u, 13u, 22u, 25u, 43u}) {
      HostMessage msg;
      msg.type = type;
      msg.record = MakeHostRecord(type);
      IXBuf* buf = CreateXBuf(nullptr);
      ASSERT_NE(buf, nullptr);
      WriteHostMessage(msg, buf);
      messages_.emplace_back(buf->GetData(), buf->GetData() + buf->GetLength());
      buf->Release();
    }
    previous_ = plat::sim::SetFatalErrorHandler(&NoteBlocked);
    // Zero in a process of its own; a run of the whole program may hold windows that
    // earlier tests kept on purpose for a loader that would not end.
    before_ = CountLive();
  }
  void TearDown() override {
    CloseHost();
    plat::sim::SetFatalErrorHandler(previous_);
    plat::sim::ClearPathPrefixes();
  }

  // A host window on a fresh display; the harness's own calls come before any fault.
  HWND OpenHost() {
    plat::sim::ResetDisplay(DisplayFormat::Rgb565);
    plat::sim::ResetSound();
    g_blocked = 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "SweepHost";
    RegisterClassA(&wc);
    hostWnd_ = CreateWindowExA(0, "SweepHost", "host", WS_POPUP | WS_VISIBLE, 40, 30, 820, 620, nullptr, nullptr,
                               nullptr, nullptr);
    return hostWnd_;
  }
  void CloseHost() {
    plat::sim::ClearFaults();
    plat::sim::ResetWindowSystem();
    plat::sim::ResetDisplay();
  }
  // Created and initialised as a host does, its loader waited for; `game` is what
  // InitGameWnd answered.
  IClientInterface* MakeGame(int32_t threaded, HWND& game) {
    IClientInterface* client = nullptr;
    if (CreateGameWnd(&host_, &client) != 0) return nullptr;
    game = InitGameWnd(client, 0, hostWnd_, u"D:\\sweep\\", u"D:\\portal\\", u"", 0, 0, 0, 0, threaded);
    if (HANDLE loader = dynamic_cast<CDorvik2Wnd*>(client)->LoaderThread()) WaitForSingleObject(loader, INFINITE);
    Pump();
    return client;
  }
  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  size_t Posted(UINT message, LPARAM onlyParam = -1) const {
    const std::vector<MSG> all = plat::sim::PostedMessages(hostWnd_);
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), [&](const MSG& m) {
      return m.message == message && (onlyParam < 0 || m.lParam == onlyParam);
    }));
  }

  void Window(int32_t threaded, std::vector<std::string>& wrong);
  Trial Life(const std::string& fault, uint32_t nth);

  static constexpr const char* kGameFolder = "D:\\sweep\\";
  testing_support::RecordingHost host_;  // the host link keeps it beyond a window
  testing_support::TempDir dir_;
  std::vector<std::vector<BYTE>> messages_;
  HWND hostWnd_ = nullptr;
  Live before_;
  plat::sim::FatalErrorHandler previous_ = nullptr;
};

void FaultSweep::Window(int32_t threaded, std::vector<std::string>& wrong) {
  const std::string mode = threaded ? "threaded: " : "synchronous: ";
  plat::sim::ClearPostedMessages(hostWnd_);
  HWND game = nullptr;
  IClientInterface* client = MakeGame(threaded, game);
  if (!client) return wrong.push_back(mode + "CreateGameWnd failed");
  if (Posted(WM_GAME_LOADED) != (game && threaded ? 1u : 0u))
    wrong.push_back(mode + "WM_GAME_LOADED posted " + std::to_string(Posted(WM_GAME_LOADED)) + " times");
  if (game) {
    for (const std::vector<BYTE>& block : messages_) {
      int32_t length = static_cast<int32_t>(block.size());
      client->OnReceive(0, 0, block.data(), &length);
    }
    plat::sim::Advance(300);
    for (int32_t full : {1, 0}) {
      const size_t closes = Posted(WM_GAME_CLOSE, kGameCloseScreenFailed);
      const int32_t r = client->SetScreenMode(full, 800, 600, 0);
      if (r != 0 && (r != -1 || Posted(WM_GAME_CLOSE, kGameCloseScreenFailed) == closes))
        wrong.push_back(mode + "SetScreenMode(" + std::to_string(full) + ") gave " + std::to_string(r));
    }
    plat::sim::LoseSurfaces();
    InvalidateRect(game, nullptr, FALSE);
    UpdateWindow(game);
    plat::sim::ChangeDisplayMode(1024, 768, DisplayFormat::Rgb555);
    client->RefreshScreen(0);
    plat::sim::Advance(300);
  }
  if (DestroyGameWnd(client) != 0) wrong.push_back(mode + "DestroyGameWnd failed");
  Pump();
}

Trial FaultSweep::Life(const std::string& fault, uint32_t nth) {
  Trial t;
  OpenHost();
  if (fault.empty()) plat::sim::RecordFaultNames(true);
  else plat::sim::FailNext(fault, nth == kEveryCall ? kEveryCall : 1, nth == kEveryCall ? 0 : nth - 1);
  Window(0, t.wrong);
  Window(1, t.wrong);
  t.calls = plat::sim::ConsultedFaults();
  t.fired = fault.empty() ? 0 : plat::sim::FaultsFired(fault);
  plat::sim::RecordFaultNames(false);
  plat::sim::ClearFaults();
  if (g_blocked) t.wrong.push_back("window thread blocked with nothing scheduled");
  t.live = CountLive();
  CloseHost();
  return t;
}

TEST_F(FaultSweep, EachFallibleCallOfAWindowLifeFailsCleanly) {
  // The second life is the reference: the first also pays the process's one-time costs
  // (pools, caches), which no later trial repeats.
  Life("", 0);
  const Trial clean = Life("", 0);
  ASSERT_TRUE(clean.wrong.empty()) << clean.wrong[0];
  ASSERT_GE(clean.calls.size(), 10u) << "the layer's record of a life";
  for (const char* count : {"threads", "surfaces", "ddraw objects"}) EXPECT_EQ(clean.live.at(count), before_.at(count));

  const bool full = std::getenv("DORVIK_FULL_FAULT_SWEEP") != nullptr;
  std::map<std::string, int> outcomes;
  int trials = 0;
  for (const auto& [fault, count] : clean.calls) {
    for (uint32_t nth : CallNumbers(count, full)) {
      const Trial t = Life(fault, nth);
      const std::string which = fault + " #" + (nth == kEveryCall ? "every" : std::to_string(nth));
      ++trials;
      const bool leaked = t.live != clean.live;
      ++outcomes[!t.wrong.empty() ? "wrong result" : leaked ? "leaked" : t.fired ? "clean" : "not reached"];
      EXPECT_TRUE(t.wrong.empty()) << which << ": " << t.wrong[0];
      EXPECT_EQ(t.live, clean.live) << which;
    }
  }
  std::printf("fault sweep (%s): %zu functions, %d trials:", full ? "full" : "representative",
              clean.calls.size(), trials);
  for (const auto& [outcome, n] : outcomes) std::printf(" %d %s;", n, outcome.c_str());
  std::printf("\n");
}

TEST_F(FaultSweep, AFailedRebuildAfterAModeChangeLeavesNoScreenInTheManager) {
  ASSERT_NE(OpenHost(), nullptr);
  HWND game = nullptr;
  IClientInterface* client = MakeGame(0, game);
  ASSERT_NE(game, nullptr);
  plat::sim::ChangeDisplayMode(1024, 768, DisplayFormat::Rgb555);
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  client->RefreshScreen(0);
  EXPECT_EQ(plat::sim::FaultsFired("IDirectDraw4::CreateSurface"), 1u);
  EXPECT_EQ(Posted(WM_GAME_CLOSE, kGameCloseScreenFailed), 1u);
  EXPECT_EQ(DestroyGameWnd(client), 0);
  EXPECT_EQ(plat::sim::LiveSurfaces(), before_.at("surfaces"));
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), before_.at("ddraw objects"));
}

}  // namespace
