// dorvik2-winhost: the smallest real host of Dorvik2.dll, for a smoke run under Wine.
// It loads the library, finds the exports by ordinal, and plays the window's life
// twice: with the scene built on the calling thread and on the loader thread.
//   dorvik2-winhost.exe DLL GAME-FOLDER PORTAL-FOLDER      (each folder ending in a backslash)
// Exit 0 and one summary line when every step gave what a host expects.
#include <windows.h>
#include <dsound.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "module/Dorvik2Module.h"
#include "tools/winhost/HostChecks.h"
#include "tools/winhost/ModuleExports.h"
#include "tools/winhost/ModuleOptions.h"
#include "tools/winhost/PumpUntil.h"
#include "tools/winhost/ScreenCapture.h"

namespace {

constexpr int32_t kClientWidth = 800;
constexpr int32_t kClientHeight = 600;
constexpr int32_t kGameOffset = 3;
constexpr int32_t kFnDorvik2Answer = dorvik2_module::kFnDorvik2Answer;
// Host event 29 is the one that answers 1; its neighbour answers 0. Both read the
// code through the pointer, so the answers show that the arguments arrived in place.
constexpr int32_t kAnsweringEvent = 29;
constexpr int32_t kSilentEvent = 30;
constexpr int32_t kLoadErrorEvent = 36;
// A scene build on the synthetic data takes about a second; Wine's first window more.
constexpr DWORD kLoadLimitMs = 60000;
constexpr DWORD kPumpMs = 1000;
// The table, its cards and panels in many colours; a blank window has one.
constexpr size_t kFewestColours = 16;
// What the module stores of its options on a fresh key: the defaults, and the voice set
// drawn at random at the first start (one of four) and read back at the second.
constexpr int32_t kVoiceSets = 4;
std::string StoredOnFreshKey(int32_t voiceSet) {
  return "Option_Skin=dword:00000000 Option_SoundEffect=dword:00000001 Option_Speed=\"1\" Option_Voice=dword:0000000" +
         std::to_string(voiceSet) + " Option_Volume=\"0\"";
}

using winhost::Expect;
using winhost::Fail;
using winhost::Failure;
using winhost::Wide;

// Answers as a portal would when nothing is connected; keeps what it is told.
class SmokeHost final : public IHostInterface {
 public:
  int32_t calls = 0;
  int32_t loadErrors = 0;  // load-error events: a file of the data folder failed

  int32_t STDMETHODCALLTYPE Send(int32_t, int32_t, const BYTE*, int32_t) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR, BSTR, BSTR* out) override {
    ++calls;
    if (out) *out = nullptr;
    return 0;
  }
  int32_t STDMETHODCALLTYPE SetText(BSTR, uint32_t, BSTR) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t, int32_t* code, void*, int32_t*) override {
    ++calls;
    if (code && *code == kLoadErrorEvent) ++loadErrors;
    return 0;
  }
};

struct HostWindowState {
  int32_t loadedResults = 0;  // WM_GAME_LOADED messages seen
  WPARAM loadedResult = 0;
  int32_t closeRequests = 0;  // WM_GAME_CLOSE messages seen
};
HostWindowState g_state;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GAME_LOADED:
      ++g_state.loadedResults;
      g_state.loadedResult = wParam;
      return 0;
    case WM_GAME_CLOSE: ++g_state.closeRequests; return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

HWND MakeHostWindow() { return winhost::MakeHostWindow(HostWindowProc, "Dorvik2WinHost", "Dorvik2 Wine host"); }

// Dispatches every message until `done` holds or `limitMs` of real time passed.
// The module's sound needs a device: without one its set-up gives up quietly, and
// the run would pass without ever opening DirectSound.
void CheckSoundDevice(HWND hostWnd) {
  LPDIRECTSOUND sound = nullptr;
  const HRESULT created = DirectSoundCreate(nullptr, &sound, nullptr);
  if (FAILED(created)) Fail("DirectSoundCreate failed (0x%08X): no ALSA device for Wine", unsigned(created));
  const HRESULT level = sound->SetCooperativeLevel(hostWnd, DSSCL_PRIORITY);
  sound->Release();
  if (FAILED(level)) Fail("DirectSound's cooperative level failed (0x%08X)", unsigned(level));
}

using Exports = winhost::ModuleExports;

Exports FindExports(HMODULE module) {
  Exports e;
  std::string error;
  if (!winhost::FindExports(module, e, error)) Fail("%s", error.c_str());
  return e;
}

// The game window as the host sees it: a visible child at (3, 3), 800 x 600.
void CheckGameWindow(HWND host, HWND game) {
  Expect(IsWindow(game) && GetParent(game) == host, "the game window is not a child of the host window");
  Expect(IsWindowVisible(game), "the game window is not visible");
  RECT r;
  GetWindowRect(game, &r);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&r), 2);
  if (r.left != kGameOffset || r.top != kGameOffset || r.right - r.left != kClientWidth ||
      r.bottom - r.top != kClientHeight) {
    Fail("the game window stands at (%d, %d) %d x %d", int(r.left), int(r.top), int(r.right - r.left),
         int(r.bottom - r.top));
  }
}

// What a person sees of the game window, counted by colour. A window the module never
// drew shows one colour (or none at all).
size_t CountShownColours(HWND game) {
  const winhost::RgbPicture picture = winhost::CaptureScreenOf(game);
  std::set<uint32_t> colours;
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
    colours.insert(uint32_t(picture.rgb[i]) << 16 | uint32_t(picture.rgb[i + 1]) << 8 | picture.rgb[i + 2]);
  return colours.size();
}

// The component convention in both directions: an event answer that depends on the
// code read through its pointer, and a user query that reads the scene through `this`.
void CheckClientCalls(IClientInterface* client) {
  int32_t code = kAnsweringEvent, value = 0;
  Expect(client->OnHostEvent(0, &code, nullptr, &value) == 1, "host event 29 did not answer 1");
  code = kSilentEvent;
  Expect(client->OnHostEvent(0, &code, nullptr, &value) == 0, "host event 30 did not answer 0");
  Expect(client->IsUserFree(u"nobody", 0, 0) == 1, "IsUserFree of an unseated user did not answer 1");
}

struct Life {
  DWORD buildMs;
  size_t colours;
};

// One life of the game window: the build's time and the colours the window showed.
Life PlayWindowLife(const Exports& e, SmokeHost& host, HWND hostWnd, const std::u16string& game,
                     const std::u16string& portal, int32_t loadInThread) {
  IClientInterface* client = nullptr;
  Expect(e.create(&host, &client) == 0 && client, "CreateGameWnd failed");
  g_state = {};
  const DWORD start = GetTickCount();
  HWND wnd = e.init(client, 0, hostWnd, game.c_str(), portal.c_str(), u"", 0, 0, 0, 0, loadInThread);
  if (!wnd) Fail("InitGameWnd (load in thread %d) gave no window (%d load errors)", loadInThread, host.loadErrors);
  CheckGameWindow(hostWnd, wnd);
  if (loadInThread) {
    if (!winhost::PumpUntil(kLoadLimitMs, [] { return g_state.loadedResults > 0; }))
      Fail("no WM_GAME_LOADED within %u ms", unsigned(kLoadLimitMs));
    if (g_state.loadedResult != 1)
      Fail("WM_GAME_LOADED reported %u (%d load errors)", unsigned(g_state.loadedResult), host.loadErrors);
  }
  const DWORD built = GetTickCount() - start;
  // As a host does once the game is loaded: the screen is refreshed, which starts the
  // game's 50 ms tick and draws the whole table.
  Expect(client->RefreshScreen(0) == 0, "RefreshScreen did not answer 0");
  winhost::PumpUntil(kPumpMs, [] { return false; });
  // The loader tells of its end once; a build on the calling thread posts nothing.
  const int32_t loadedPosts = loadInThread ? 1 : 0;
  if (g_state.loadedResults != loadedPosts)
    Fail("%d WM_GAME_LOADED after a build %s (%d expected)", g_state.loadedResults,
         loadInThread ? "on the loader thread" : "on the calling thread", loadedPosts);
  if (host.loadErrors) Fail("the module reported %d load errors", host.loadErrors);
  Expect(g_state.closeRequests == 0, "the module asked the host to close the game");
  const size_t colours = CountShownColours(wnd);
  if (colours < kFewestColours) Fail("the game window shows %u colours", unsigned(colours));
  CheckClientCalls(client);
  Expect(e.destroy(client) == 0, "DestroyGameWnd failed");
  Expect(!IsWindow(wnd), "the game window outlived DestroyGameWnd");
  return {built, colours};
}

int Run(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: dorvik2-winhost.exe DLL GAME-FOLDER PORTAL-FOLDER (ending in backslashes)\n");
    return 2;
  }
  const std::u16string game = winhost::Wide(argv[2]), portal = winhost::Wide(argv[3]);
  HWND hostWnd = MakeHostWindow();
  CheckSoundDevice(hostWnd);
  HMODULE module = LoadLibraryA(argv[1]);
  if (!module) Fail("LoadLibraryA(%s) failed: error %u", argv[1], unsigned(GetLastError()));
  const Exports e = FindExports(module);
  Expect(e.fnDorvik2() == kFnDorvik2Answer, "fnDorvik2 did not answer 42");
  Expect(*e.nDorvik2 == 0, "nDorvik2 is not 0");
  Expect(e.destroy(nullptr) == -1, "DestroyGameWnd(null) did not answer -1");

  // A fresh options key, whatever an earlier run in this prefix left.
  Expect(winhost::StartWithOptions({}), "the module's options key could not be cleared");
  SmokeHost host;
  const Life synchronous = PlayWindowLife(e, host, hostWnd, game, portal, 0);
  const Life threaded = PlayWindowLife(e, host, hostWnd, game, portal, 1);
  Expect(FreeLibrary(module) != 0, "FreeLibrary failed");
  const std::string stored = winhost::StoredOptions();
  bool storedWhole = false;
  for (int32_t set = 0; set < kVoiceSets; ++set) storedWhole = storedWhole || stored == StoredOnFreshKey(set);
  if (!storedWhole) Fail("the module stored %s", stored.c_str());
  DestroyWindow(hostWnd);
  std::printf("dorvik2-winhost: ordinals 1-7, fnDorvik2 %d; scene built in %u ms on the calling thread and in %u ms "
              "on the loader thread (WM_GAME_LOADED 1); the window showed %u and %u colours; %d host calls; "
              "unloaded; stored %s\n",
              kFnDorvik2Answer, unsigned(synchronous.buildMs), unsigned(threaded.buildMs), unsigned(synchronous.colours),
              unsigned(threaded.colours), host.calls, stored.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const Failure& f) {
    std::fprintf(stderr, "dorvik2-winhost: %s\n", f.what.c_str());
    return 1;
  }
}
