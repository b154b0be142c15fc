// dorvik2-winparts: the module's meetings with the system, each played on the real one
// in one process and checked by what a person or the host sees: the picture read back
// from the screen, the messages posted to the host window, the commands sent, the
// sound's timing. The parts run in order on one game window:
//   paint          a window over the table goes; the table comes back as it was
//   screen-ready   WM_GAME_SCREEN_READY from the host; the table stays, nothing closes
//   failed-rebuild SetScreenMode with no size answers -1 and asks the host to close
//   mode-change    the desktop's mode changes under the game; the table comes back
//   full-screen    SetScreenMode to full screen and back, the picture after each
//   box-key        the question box, answered by the keyboard: yes, and the join sent
//   sound-lost     the sound device taken for the primary buffer alone and given back;
//                  a buffer of the host's own shows whether the system lost it, and
//                  the module's effect is played once the device is free
//   box-timer      the question box left alone: its timer closes it with no
//   decrypt        data files sealed by the other side opened by DecryptFileTo, and a
//                  file sealed through this system's CryptoAPI equal to the fixture
// One line per part, "part NAME: ok|FAILED: figures"; exit 0 only when all passed.
//   dorvik2-winparts.exe DLL GAME-FOLDER PORTAL-FOLDER FIXTURE-FOLDER OUT-DIR
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "module/DecryptFile.h"
#include "testhost/ScriptMessages.h"
#include "testhost/TimedHost.h"
#include "tools/winhost/HostChecks.h"
#include "tools/winhost/HostLayout.h"
#include "tools/winhost/HostText.h"
#include "tools/winhost/ModuleExports.h"
#include "tools/winhost/PartsProbes.h"
#include "tools/winhost/PngWriter.h"
#include "tools/winhost/PumpUntil.h"
#include "tools/winhost/ScreenCapture.h"
#include "tools/winhost/ThreadDialogs.h"

namespace {

using winhost::kGameHeight;
using winhost::kGameWidth;
constexpr int32_t kMe = 101;
// The loader's sound set-up and the first paints settle before the first capture.
constexpr DWORD kSettleMs = 2000;
// A picture is looked at after this long without input: the table's own animations
// are still by then.
constexpr DWORD kRedrawMs = 600;
// The question box's own time-out, and how far past it its close may come.
constexpr DWORD kQuestionBoxMs = 5000;
constexpr DWORD kBoxLateMs = 1000;

struct Posted {
  DWORD tick;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Posted> g_posted;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message < WM_APP) {
    g_posted.push_back({GetTickCount(), message, wParam, lParam});
    return 0;
  }
  // The host keeps its window where it is when the table is dragged.
  if (message == WM_NCLBUTTONDOWN) return 0;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeHostWindow() { return winhost::CreateHostWindow(HostWindowProc, "Dorvik2WinParts", "Dorvik2 parts host"); }

void Pump(DWORD ms) {
  winhost::PumpUntil(ms, [] { return false; });
}

size_t PostsOf(UINT message, size_t from) {
  return size_t(std::count_if(g_posted.begin() + std::ptrdiff_t(std::min(from, g_posted.size())), g_posted.end(),
                              [message](const Posted& p) { return p.message == message; }));
}

// On a 16-bit screen two pixels are the same within one 5-6-5 step a channel: reading
// the screen widens the bits to 8 a channel, and Wine widens and rounds them
// differently in a mode it set for a program (0x69 and 0x6B for the same green).
bool g_sixteenBits = false;

bool Same(const uint8_t* a, const uint8_t* b) {
  if (!g_sixteenBits) return std::memcmp(a, b, 3) == 0;
  for (int c = 0; c < 3; ++c)
    if (std::abs(int(a[c]) - int(b[c])) > 8) return false;
  return true;
}

// Pixels of `b` that differ from `a` (all of them when the sizes differ).
size_t Differing(const winhost::RgbPicture& a, const winhost::RgbPicture& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return size_t(b.width) * size_t(b.height) + 1;
  size_t n = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3)
    if (!Same(&a.rgb[i], &b.rgb[i])) ++n;
  return n;
}

// Pixels of `b` inside `area` that differ from `a` at the same place.
size_t DifferingInside(const winhost::RgbPicture& a, const winhost::RgbPicture& b, const RECT& area) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return size_t(b.width) * size_t(b.height) + 1;
  size_t n = 0;
  for (int y = std::max(0, int(area.top)); y < std::min(b.height, int(area.bottom)); ++y)
    for (int x = std::max(0, int(area.left)); x < std::min(b.width, int(area.right)); ++x) {
      const size_t i = (size_t(y) * size_t(b.width) + size_t(x)) * 3;
      if (!Same(&a.rgb[i], &b.rgb[i])) ++n;
    }
  return n;
}

size_t PixelsOf(const winhost::RgbPicture& p, uint8_t r, uint8_t g, uint8_t b) {
  size_t n = 0;
  for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
    if (p.rgb[i] == r && p.rgb[i + 1] == g && p.rgb[i + 2] == b) ++n;
  return n;
}

// A part that hangs (a mode change the display cannot make, a modal loop that never
// ends) is named and ends the run, instead of the run's outer time limit.
constexpr DWORD kPartLimitMs = 40000;
std::atomic<const char*> g_part{"start"};
std::atomic<DWORD> g_partStart{0};

DWORD WINAPI Watchdog(LPVOID) {
  for (;;) {
    Sleep(500);
    if (GetTickCount() - g_partStart.load() > kPartLimitMs) {
      std::printf("part %s: FAILED: still running after %lu ms\n", g_part.load(), kPartLimitMs);
      std::fflush(stdout);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

void Begin(const char* part) {
  g_part = part;
  g_partStart = GetTickCount();
}

class Parts {
 public:
  Parts(std::string outDir) : outDir_(std::move(outDir)) {}

  bool Start(const std::string& dll, const std::string& game, const std::string& portal);
  void Stop();

  void Paint();
  void ScreenReady();
  void FailedRebuild();
  void FullScreen();
  void ModeChange();
  void BoxByKey();
  void SoundLost();
  void BoxByTimer();
  void Decrypt(const std::string& fixtures);

  bool AllPassed() const { return failed_ == 0; }

 private:
  void Report(const char* part, bool ok, const std::string& figures);
  winhost::RgbPicture Table() { return winhost::CaptureScreenOf(gameWnd_); }
  void Keep(const winhost::RgbPicture& picture, const std::string& name) {
    winhost::WritePngFile(picture, outDir_ + "\\" + name + ".png");
  }
  bool Send(const std::string& type, const std::string& fields);
  // Runs `watch` every 50 ms on this thread while `act` runs (a modal loop inside it
  // dispatches the timer).
  void WhileRunning(const std::function<void()>& act, std::function<void()> watch);
  // A seated entry in an anti-leave room, whose question box opens inside the call;
  // `watch` runs while it is open.
  void AskQuestion(std::function<void()> watch) {
    WhileRunning(
        [&] {
          Send("HM_ROOM_ENTER", "clientVersion=20110927 myUser.userNo=101 entryKind=1 confirmFlag=1 "
                                "room.roomState=8 room.antiLeaveLevel=1 room.sceneMode=1 stakePerPoint=1000 "
                                "entryUserNo=101");
        },
        std::move(watch));
  }
  std::string SentSince(size_t from) const;

  std::string outDir_;
  HMODULE module_ = nullptr;
  winhost::ModuleExports e_;
  testing_support::RecordingHost recorder_;
  testhost::TimedHost host_{recorder_};
  testhost::ScriptMessages messages_;
  IClientInterface* client_ = nullptr;
  HWND hostWnd_ = nullptr;
  HWND gameWnd_ = nullptr;
  winhost::RgbPicture table_;
  int failed_ = 0;
};

void Parts::Report(const char* part, bool ok, const std::string& figures) {
  if (!ok) ++failed_;
  std::printf("part %s: %s: %s\n", part, ok ? "ok" : "FAILED", figures.c_str());
  std::fflush(stdout);
}

bool Parts::Start(const std::string& dll, const std::string& game, const std::string& portal) {
  hostWnd_ = MakeHostWindow();
  if (!hostWnd_) return false;
  SetForegroundWindow(hostWnd_);
  Pump(200);
  module_ = LoadLibraryA(dll.c_str());
  std::string error;
  if (!module_ || !winhost::FindExports(module_, e_, error)) {
    std::fprintf(stderr, "dorvik2-winparts: %s: %s\n", dll.c_str(), module_ ? error.c_str() : "LoadLibrary failed");
    return false;
  }
  if (e_.create(&host_, &client_) != 0) return false;
  const std::u16string g = winhost::Wide(game.c_str()), p = winhost::Wide(portal.c_str());
  gameWnd_ = e_.init(client_, 0, hostWnd_, g.c_str(), p.c_str(), u"", 0, 0, 0, 0, 0);
  if (!gameWnd_) return false;
  Pump(kSettleMs);
  client_->RefreshScreen(0);
  Pump(kRedrawMs);
  table_ = Table();
  Keep(table_, "table");
  HDC screen = GetDC(nullptr);
  g_sixteenBits = GetDeviceCaps(screen, BITSPIXEL) == 16;
  std::printf("screen: %d bits per pixel, %dx%d\n", GetDeviceCaps(screen, BITSPIXEL),
              GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
  ReleaseDC(nullptr, screen);
  return !table_.rgb.empty();
}

void Parts::Stop() {
  if (client_) e_.destroy(client_);
  Pump(100);
  if (module_) FreeLibrary(module_);
  if (hostWnd_) DestroyWindow(hostWnd_);
}

bool Parts::Send(const std::string& type, const std::string& fields) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!messages_.Bytes(type, fields, kMe, true, bytes, why)) {
    std::fprintf(stderr, "dorvik2-winparts: %s: %s\n", type.c_str(), why.c_str());
    return false;
  }
  int32_t length = int32_t(bytes.size());
  client_->OnReceive(0, 0, bytes.data(), &length);
  return true;
}

std::string Parts::SentSince(size_t from) const {
  std::string out;
  const auto calls = recorder_.CallsTo(testing_support::HostSlot::Send);
  for (size_t i = from; i < calls.size(); ++i) out += (out.empty() ? "" : " | ") + calls[i].bytes;
  return out;
}

std::function<void()> g_watch;
void CALLBACK WatchTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_watch) g_watch();
}

void Parts::WhileRunning(const std::function<void()>& act, std::function<void()> watch) {
  g_watch = std::move(watch);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchTimer);
  act();
  KillTimer(nullptr, timer);
  g_watch = nullptr;
}

// A window over the table takes its pixels; when it goes, the game window's paint
// presents the back buffer again.
void Parts::Paint() {
  RECT r;
  GetWindowRect(gameWnd_, &r);
  HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, r.left + 100,
                               r.top + 100, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  Pump(300);
  const winhost::RgbPicture covered = Table();
  DestroyWindow(cover);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  Keep(after, "paint");
  const size_t white = PixelsOf(covered, 255, 255, 255), off = Differing(table_, after);
  Report("paint", cover && white >= 400 * 300 && off == 0,
         std::to_string(white) + " pixels white under the cover, " + std::to_string(off) + " differ after it went");
}

void Parts::ScreenReady() {
  const size_t from = g_posted.size();
  PostMessageA(gameWnd_, WM_GAME_SCREEN_READY, 1, 0);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  const size_t off = Differing(table_, after), closes = PostsOf(WM_GAME_CLOSE, from);
  Report("screen-ready", off == 0 && closes == 0,
         std::to_string(off) + " pixels differ, " + std::to_string(closes) + " WM_GAME_CLOSE");
}

void Parts::FailedRebuild() {
  const size_t from = g_posted.size();
  const int32_t r = client_->SetScreenMode(0, 0, kGameHeight, 0);
  Pump(200);
  size_t screenFailed = 0;
  for (size_t i = from; i < g_posted.size(); ++i)
    if (g_posted[i].message == WM_GAME_CLOSE && g_posted[i].lParam == kGameCloseScreenFailed) ++screenFailed;
  const size_t off = Differing(table_, Table());
  Report("failed-rebuild", r == -1 && screenFailed == 1 && off == 0,
         "SetScreenMode(0, 0, 600) -> " + std::to_string(r) + ", " + std::to_string(screenFailed) +
             " WM_GAME_CLOSE(screen failed), " + std::to_string(off) + " pixels differ");
}

DEVMODEA CurrentMode() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  return mode;
}

void Parts::FullScreen() {
  size_t from = g_posted.size();
  const DEVMODEA before = CurrentMode();
  const int32_t full = client_->SetScreenMode(1, kGameWidth, kGameHeight, 0);
  Pump(kRedrawMs);
  const DEVMODEA during = CurrentMode();
  const size_t readyFull = PostsOf(WM_GAME_SCREEN_READY, from), closeFull = PostsOf(WM_GAME_CLOSE, from);
  // Full screen, the back buffer goes to the screen's top left as it is, clipped to the
  // game window: inside the window's place the screen shows the table's own pixels.
  const winhost::RgbPicture fullPicture = winhost::CaptureScreenArea(0, 0, kGameWidth, kGameHeight);
  Keep(fullPicture, "full-screen");
  RECT place;
  GetWindowRect(gameWnd_, &place);
  const size_t offFull = DifferingInside(table_, fullPicture, place);
  from = g_posted.size();
  const int32_t windowed = client_->SetScreenMode(0, kGameWidth, kGameHeight, 0);
  Pump(kRedrawMs);
  const DEVMODEA back = CurrentMode();
  const size_t readyBack = PostsOf(WM_GAME_SCREEN_READY, from), closeBack = PostsOf(WM_GAME_CLOSE, from);
  RECT hostRect, gameRect;
  GetWindowRect(hostWnd_, &hostRect);
  GetWindowRect(gameWnd_, &gameRect);
  std::printf("after full screen: host window (%ld,%ld)-(%ld,%ld), style %08lx; game window (%ld,%ld)-(%ld,%ld), style %08lx\n",
              hostRect.left, hostRect.top, hostRect.right, hostRect.bottom, GetWindowLongA(hostWnd_, GWL_STYLE),
              gameRect.left, gameRect.top, gameRect.right, gameRect.bottom, GetWindowLongA(gameWnd_, GWL_STYLE));
  const winhost::RgbPicture after = Table();
  Keep(after, "windowed-again");

  const size_t offBack = Differing(table_, after);
  char figures[512];
  std::snprintf(figures, sizeof figures,
                "full: -> %d, display %lux%lu %lu bpp (was %lux%lu), %zu WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, "
                "%zu pixels differ at the screen's top left; windowed: -> %d, display %lux%lu, %zu "
                "WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, %zu pixels differ",
                full, during.dmPelsWidth, during.dmPelsHeight, during.dmBitsPerPel, before.dmPelsWidth,
                before.dmPelsHeight, readyFull, closeFull, offFull, windowed, back.dmPelsWidth, back.dmPelsHeight,
                readyBack, closeBack, offBack);
  Report("full-screen",
         full == 0 && readyFull == 1 && closeFull == 0 && offFull == 0 && windowed == 0 && readyBack == 1 &&
             closeBack == 0 && offBack == 0 && back.dmPelsWidth == before.dmPelsWidth,
         figures);
}

// The desktop's mode changes (as another program or the user changes it) and comes
// back: the module's surfaces are lost with it, and its next present rebuilds them.
void Parts::ModeChange() {
  const size_t from = g_posted.size();
  const DEVMODEA before = CurrentMode();
  // A surface of the host's own, to see that a mode change loses surfaces here.
  winhost::SurfaceLossProbe probe(hostWnd_);
  DEVMODEA smaller = before;
  smaller.dmPelsWidth = kGameWidth;
  smaller.dmPelsHeight = kGameHeight;
  smaller.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  const LONG changed = ChangeDisplaySettingsA(&smaller, CDS_FULLSCREEN);
  Pump(300);
  const std::string lost = probe.State();
  const LONG restored = ChangeDisplaySettingsA(nullptr, 0);
  Pump(300);
  const std::string lostAfter = probe.State();
  // The table drawn afresh in the changed mode: a lost primary fails the present, and
  // the scene's draw sees the mode changed; either rebuilds the screen.
  InvalidateRect(gameWnd_, nullptr, FALSE);
  client_->RefreshScreen(0);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  Keep(after, "after-mode-change");
  const DEVMODEA now = CurrentMode();
  const size_t off = Differing(table_, after), closes = PostsOf(WM_GAME_CLOSE, from),
               ready = PostsOf(WM_GAME_SCREEN_READY, from);
  char figures[800];
  std::snprintf(figures, sizeof figures,
                "change to 800x600 -> %ld, back -> %ld (now %lux%lu); surfaces of the host's own: [%s] in the "
                "changed mode, [%s] after; %zu WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, %zu pixels differ",
                changed, restored, now.dmPelsWidth, now.dmPelsHeight,
                lost.c_str(), lostAfter.c_str(), ready, closes, off);
  Report("mode-change", changed == DISP_CHANGE_SUCCESSFUL && restored == DISP_CHANGE_SUCCESSFUL && closes == 0 &&
                            off == 0,
         figures);
}

HWND OpenBox() {
  const std::vector<HWND> boxes = winhost::VisibleDialogsOfThisThread();
  return boxes.empty() ? nullptr : boxes.back();
}

void Key(WORD vk) {
  INPUT in[2] = {};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = vk;
    in[i].ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, in, sizeof(INPUT));
}

// What a box shows: its place over the game window, its frame (pixels the frame's
// bitmaps give, none of them black) and the body's black text on it.
struct BoxSeen {
  DWORD openedAt = 0;
  RECT rect{};
  size_t framed = 0;
  size_t text = 0;
  winhost::RgbPicture picture;
};

// The body's lines start 40 pixels down, 20 apart, 30 from the left (two lines here).
constexpr int kBodyTop = 40, kBodyLines = 2, kLineHeight = 20, kTextLeft = 30;

std::string Describe(const BoxSeen& b, const RECT& game) {
  char s[300];
  const int cx = (b.rect.left + b.rect.right) / 2 - (game.left + game.right) / 2;
  const int cy = (b.rect.top + b.rect.bottom) / 2 - (game.top + game.bottom) / 2;
  std::snprintf(s, sizeof s, "box %ldx%ld, centre %+d,%+d from the table's, %zu pixels not black, %zu black ones "
                "of text in the body's lines",
                b.rect.right - b.rect.left, b.rect.bottom - b.rect.top, cx, cy, b.framed, b.text);
  return s;
}

bool Shown(const BoxSeen& b) {
  const size_t all = size_t(b.picture.width) * size_t(b.picture.height);
  return b.openedAt && b.framed * 2 > all && b.text > 0;
}

// A window's own pixels, read through its window DC.
winhost::RgbPicture CaptureWindowDc(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  HDC source = GetWindowDC(window);
  winhost::RgbPicture out = winhost::CaptureDc(source, 0, 0, r.right - r.left, r.bottom - r.top);
  ReleaseDC(window, source);
  return out;
}

void SeeBox(HWND box, BoxSeen& seen) {
  seen.openedAt = GetTickCount();
  GetWindowRect(box, &seen.rect);
  seen.picture = CaptureWindowDc(box);
  const winhost::RgbPicture& p = seen.picture;
  seen.framed = size_t(p.width) * size_t(p.height) - PixelsOf(p, 0, 0, 0);
  for (int y = kBodyTop; y < std::min(p.height, kBodyTop + kBodyLines * kLineHeight); ++y)
    for (int x = kTextLeft; x < p.width - kTextLeft; ++x) {
      const uint8_t* px = &p.rgb[(size_t(y) * size_t(p.width) + size_t(x)) * 3];
      if (px[0] == 0 && px[1] == 0 && px[2] == 0) ++seen.text;
    }
}

// A seated entry in an anti-leave room asks first; the box's yes sends the join.
void Parts::BoxByKey() {
  const size_t sent = recorder_.CallsTo(testing_support::HostSlot::Send).size();
  BoxSeen seen;
  bool answered = false;
  DWORD shownAt = 0;
  AskQuestion([&] {
        HWND box = OpenBox();
        if (!box || answered) return;
        if (!shownAt) shownAt = GetTickCount();
        if (GetTickCount() - shownAt < 500) return;  // its first paint
        SeeBox(box, seen);
        Keep(seen.picture, "box-key");
        answered = true;
        Key(VK_RETURN);
      });
  Pump(300);
  RECT game;
  GetWindowRect(gameWnd_, &game);
  const std::string commands = SentSince(sent);
  const bool joined = commands.rfind("02 00 00 00 01 00 00 00", 0) == 0;
  Report("box-key", answered && !OpenBox() && joined && Shown(seen),
         Describe(seen, game) + "; RETURN -> commands " + commands);
}

void Parts::BoxByTimer() {
  const size_t sent = recorder_.CallsTo(testing_support::HostSlot::Send).size();
  const size_t from = g_posted.size();
  BoxSeen seen;
  DWORD shownAt = 0, closedAt = 0;
  AskQuestion([&] {
        HWND box = OpenBox();
        if (box && !seen.openedAt) {
          if (!shownAt) shownAt = GetTickCount();
          if (GetTickCount() - shownAt < 500) return;  // its first paint
          SeeBox(box, seen);
          seen.openedAt = shownAt;
          Keep(seen.picture, "box-timer");
        }
        if (!box && seen.openedAt && !closedAt) closedAt = GetTickCount();
      });
  if (seen.openedAt && !closedAt) closedAt = GetTickCount();
  Pump(300);
  const DWORD open = closedAt - seen.openedAt;
  const std::string commands = SentSince(sent);
  // No is the time-out's answer: the player does not join, and the game asks to leave.
  const bool joined = commands.find("02 00 00 00 01 00 00 00") != std::string::npos;
  RECT game;
  GetWindowRect(gameWnd_, &game);
  Report("box-timer",
         Shown(seen) && open + 100 >= kQuestionBoxMs && open <= kQuestionBoxMs + kBoxLateMs && !joined,
         Describe(seen, game) + "; closed by itself after " + std::to_string(open) + " ms; commands " +
             (commands.empty() ? "none" : commands) + "; " + std::to_string(PostsOf(WM_GAME_CLOSE, from)) +
             " WM_GAME_CLOSE");
}

// The sound device taken by a program that writes the primary buffer itself: every
// other buffer on it is lost until it lets go. The host's own probe buffer shows the
// loss; the module's join effect played before, and again after the device is free,
// must both be heard (the run's recording is checked against the moments printed).
void Parts::SoundLost() {
  winhost::SoundLossProbe sound;
  const winhost::SoundLossProbe::Loss loss = sound.TakeAndGive(hostWnd_);
  Pump(300);
  // The module's effects once the device is free again: nothing else in the run makes
  // a sound, so every onset of the recording is one of them.
  for (const char* user : {"102", "103"}) {
    Send("HM_JOIN_GAME", std::string("userNo=") + user + " seat=1");
    Pump(1500);
  }
  // Windows loses the other buffers while a program holds the write-primary level;
  // Wine does not lose them (the probe says which happened) but mixes none of them
  // until that level is given back, and a program that only releases its object
  // leaves them silent for good. A buffer that was lost must be whole after Restore.
  Report("sound-lost", SUCCEEDED(loss.taken) && !loss.lostAfter,
         loss.Describe() + "; the join effect played after the device was given back (heard: checked on the "
                           "recording)");
}

// The fixtures: a plain text, the same sealed by the headless layer. DecryptFileTo
// here must give the plain text back, and this system's CryptoAPI, sealing the plain
// text with the same pass, must give the sealed bytes exactly.
void Parts::Decrypt(const std::string& fixtures) {
  std::string plain, sealed, opened;
  const std::string out = outDir_ + "\\opened.bin";
  const bool read = winhost::ReadFileText(fixtures + "\\sealed-plain.txt", plain) && winhost::ReadFileText(fixtures + "\\sealed.bin", sealed);
  const int result = read ? DecryptFileTo((fixtures + "\\sealed.bin").c_str(), out.c_str()) : 0;
  winhost::ReadFileText(out, opened);
  std::string mine = read ? winhost::SealWithCryptoApi(sealed.substr(0, 8), plain) : std::string();
  size_t firstDiff = 0;
  while (firstDiff < mine.size() && firstDiff < sealed.size() && mine[firstDiff] == sealed[firstDiff]) ++firstDiff;
  std::ofstream(outDir_ + "\\sealed-here.bin", std::ios::binary) << mine;
  Report("decrypt", read && result == 1 && opened == plain && mine == sealed,
         "DecryptFileTo -> " + std::to_string(result) + ", " + std::to_string(opened.size()) + " of " +
             std::to_string(plain.size()) + " bytes, " + (opened == plain ? "equal" : "different") +
             "; sealed here: " + std::to_string(mine.size()) + " bytes, the first " + std::to_string(firstDiff) +
             " equal to the headless layer's " + std::to_string(sealed.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: dorvik2-winparts.exe DLL GAME-FOLDER PORTAL-FOLDER FIXTURE-FOLDER OUT-DIR\n");
    return 2;
  }
  const std::string fixtures = argv[4], out = argv[5];
  CreateDirectoryA(out.c_str(), nullptr);
  Parts parts(out);
  Begin("start");
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  if (!parts.Start(argv[1], argv[2], argv[3])) {
    std::fprintf(stderr, "dorvik2-winparts: the game window was not built\n");
    return 1;
  }
  Begin("paint");
  parts.Paint();
  Begin("screen-ready");
  parts.ScreenReady();
  Begin("failed-rebuild");
  parts.FailedRebuild();
  Begin("mode-change");
  parts.ModeChange();
  Begin("full-screen");
  parts.FullScreen();
  Begin("box-key");
  parts.BoxByKey();
  Begin("sound-lost");
  parts.SoundLost();
  Begin("box-timer");
  parts.BoxByTimer();
  Begin("stop");
  parts.Stop();
  Begin("decrypt");
  parts.Decrypt(fixtures);
  std::printf("%s\n", parts.AllPassed() ? "every part passed" : "a part failed");
  std::fflush(stdout);
  return parts.AllPassed() ? 0 : 1;
}
