// dorvik2-winparts: the module's meetings with the system, each played on the real one
// in one process and checked by what a person or the host sees: the picture read back
// from the screen, the messages posted to the host window, the commands sent, the
// sound's timing. Wine keeps a copy of a window's pixels and puts it back by itself (a
// window covered and uncovered gets no paint), so a picture compared with the one before
// shows nothing of the module: before each comparison the table changes (the score,
// from a host message) while the screen cannot show it, or its pixels are painted over,
// and only the module's repaint or rebuilt screen brings the expected picture. The
// scores only fall after the first, since a rising one blinks for a while. The run
// starts from the module's options it sets itself (a fresh key, voice set 1, effects
// on). The parts run in order on one game window, in a plain room:
//   text           the options' summary the room's entry gives the host, read as the
//                  host reads it in the system's code page: the Korean bytes, whole
//   paint          the host window minimized, the score changed meanwhile; restored,
//                  the system's paint shows the new score, the picture the same as
//                  the one stored for this desktop (a hash in PICTURES-FILE)
//   drag           a left press on an empty place of the table: the host is asked to
//                  drag its window by its caption, at the press's point
//   mouse-and-keys a drag from the table to past the host window's edge, then a click
//                  on the table: the mouse free after each, the keys with the game
//                  window, and the host window told nothing of either (every message
//                  it heard meanwhile counted: no parent notice, no mouse message)
//   covered        a window of the host's over part of the score while the score
//                  changes: the window keeps its pixels (the table's present is clipped
//                  to what of the game window shows), the score changes beside it
//   notice         a host message whose last field is a counted text: the text given
//                  to the host whole
//   screen-ready   the table painted over, then WM_GAME_SCREEN_READY from the host: the
//                  table comes back whole, nothing closes
//   failed-rebuild SetScreenMode with no size answers -1 and asks the host to close
//   mode-change    the desktop's mode changes under the game, the score changes and
//                  the table is painted over meanwhile; back in the old mode and the
//                  window repainted, the new score shows, and the host is told of a
//                  rebuilt screen only when the system lost the surfaces
//   full-screen    SetScreenMode to full screen (an 800x600 display of the desktop's
//                  depth) and back to the first mode whole; the score changed while
//                  full screen shows after
//   box-key        the question box at the table's centre, its yes and no buttons in
//                  their places, each a frame of its strip, no key colour anywhere;
//                  answered by the keyboard: yes, and exactly the join of voice set 1
//                  and the text line sent
//   sound-taken    the sound device taken for the primary buffer alone and given back;
//                  a buffer of the host's own shows whether the system lost it; then
//                  a tone of the host's own and the module's join effect twice, which
//                  the recording must hold (the module plays on)
//   box-timer      the question box left alone, seen as box-key sees it: its timer
//                  closes it with the text line alone sent and one WM_GAME_CLOSE of a
//                  player who left
//   stored-options the module's options key read back whole once the game is gone
//   decrypt        data files sealed by the other side opened by DecryptFileTo, and a
//                  file sealed through this system's CryptoAPI equal to the fixture
//   same-file      a sealed file given as its own destination under other names of
//                  it: refused each time, the file whole
// One line per part, "part NAME: ok|FAILED: figures"; exit 0 only when all passed. The
// sounds are checked on the run's recording: OUT-DIR/sound-marks.txt holds the marks
// and quiet window for `dorvik2-compare marks` (ms from the host's tone, each with its
// sound: the tone, written as OUT-DIR/tone.wav, the two joins and the leaving at the
// box's time-out each heard there as itself, nothing else from the run's start to its
// end).
// PICTURES-FILE holds lines "NAME DEPTH HASH": the stored picture of a part at a desktop's
// depth, the FNV-1a hash of its RGB rows (a part whose picture has none fails, printing
// the hash it saw).
//   dorvik2-winparts.exe DLL GAME-FOLDER PORTAL-FOLDER FIXTURE-FOLDER OUT-DIR PICTURES-FILE
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
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
#include "tools/winhost/ModuleOptions.h"
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
// The options the run depends on: the voice set the join names and the effects heard.
constexpr DWORD kVoiceSet = 1;
// The commands the box's yes sends, whole: the join, of the voice set the run stored,
// and the text line of the host's top bar.
const char* const kAfterYes = "02 00 00 00 01 00 00 00 00 00 00 00 | 1C 00 00 00 65 00 00 00 00 00 00 00";
// The options' summary a plain room's entry gives the host, as AddText calls: each
// run's text in the Korean code page, as a host on a Korean system reads the BSTR, and
// the call's other arguments.
const char* const kEnteredText =
    "\xB0\xD4\xC0\xD3\xBF\xC9\xBC\xC7 : \", 700, 0x10001, 0, \"\", 1) | "
    "\xC6\xD0\xBC\xD3\xB5\xB5(\", 400, 0x10000, 0, \"\", 0) | "
    "\xBA\xFC\xB8\xA7" "2\", 400, 0x10001, 0, \"\", 0) | "
    "), \xB8\xF1\xBC\xD2\xB8\xAE(\", 400, 0x10000, 0, \"\", 0) | "
    "\xC7\xD2\xB9\xE8\", 400, 0x10001, 0, \"\", 0) | "
    "), \xB9\xE8\xB0\xE6\xC8\xAD\xB8\xE9(\", 400, 0x10000, 0, \"\", 0) | "
    "\xB1\xD7\xB8\xB0\", 400, 0x10001, 0, \"\", 0) | "
    ")\", 400, 0x10000, 0, \"\", 0) | "
    "[\xC0\xCC\xBA\xA5\xC6\xAE]\", 700, 0x20000, 0, \"\", 1) | "
    " \xC7\xD8\xB4\xE7 \xC3\xA4\xB3\xCE\xB7\xCE \xC0\xCC\xB5\xBF\xC7\xCF\xBD\xC3\xB8\xE9, "
    "\xB4\xD9\xBF\xC2\xC7\xE0\xBF\xEE \xC0\xC0\xB8\xF0\xB1\xC7\xC0\xBB \xB9\xDE\xC0\xBB \xBC\xF6 "
    "\xC0\xD6\xBD\xC0\xB4\xCF\xB4\xD9.\", 400, 0x20000, 0, \"\", 0)";
// The options key at the run's end.
const char* const kStoredAfterParts =
    "Option_Skin=dword:00000000 Option_SoundEffect=dword:00000001 Option_Speed=\"1\" Option_Voice=dword:00000001 "
    "Option_Volume=\"0\"";
// The box's time-out is a no: the player does not join, and the game asks the host
// once to close it, having left (reason 0) after no game.
const char* const kAfterTimeOut = "1C 00 00 00 65 00 00 00 00 00 00 00";
const char* const kLeftAfterNoGame = "(0, 0)";
// The scores the table shows first and after the paint, the mode change and the full
// screen, and the place of the table that shows them. A score that rises blinks for
// 2700 ms; one that falls does not.
constexpr int kScores[][2] = {{40, 40}, {30, 25}, {20, 15}, {10, 5}};
constexpr RECT kScorePlace{560, 80, 800, 440};
constexpr DWORD kBlinkMs = 2900;
// What the host paints over the table: a colour the table has nowhere.
constexpr COLORREF kScribble = RGB(0, 255, 0);

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
  // The host keeps its window where it is when the table is dragged, and notes the
  // drag the module asked for.
  if (message == WM_NCLBUTTONDOWN) {
    g_posted.push_back({GetTickCount(), message, wParam, lParam});
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// An AddText call as the host reads it: the text run's BSTR in the system's own code page
// (the module converts its texts with the code page of the system it runs on: on a
// Korean system the Korean bytes, and the same bytes again on any other), then the
// call's other arguments as the transcript shows them.
std::string AsHostReadsIt(const testing_support::HostCall& call) {
  const std::string& utf8 = call.texts.empty() ? std::string() : call.texts[0];
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(size_t(std::max(0, MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                                      int(wide.size())))));
  std::string ansi(wide.size() * 2, '\0');
  ansi.resize(size_t(std::max(0, WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), ansi.data(),
                                                     int(ansi.size()), nullptr, nullptr))));
  const size_t args = std::string("AddText(\"").size() + utf8.size();
  return ansi + (call.line.size() > args ? call.line.substr(args) : std::string());
}

HWND MakeHostWindow() { return winhost::CreateHostWindow(HostWindowProc, "Dorvik2WinParts", "Dorvik2 parts host"); }

void Pump(DWORD ms) {
  winhost::PumpUntil(ms, [] { return false; });
}

// Pumps for `ms` and gives the longest the thread stood still meanwhile beyond its wait
// between looks: the module's frames (its 50 ms tick plays what a message asked for)
// come as late.
constexpr DWORD kJoinHeardMs = 200;
DWORD StoodStill(DWORD ms) {
  constexpr DWORD kLookMs = 5;
  DWORD last = GetTickCount(), most = 0;
  winhost::PumpUntil(ms, [&] {
    const DWORD now = GetTickCount();
    most = std::max<DWORD>(most, now - last > kLookMs ? now - last - kLookMs : 0);
    last = now;
    return false;
  });
  return most;
}

size_t PostsOf(UINT message, size_t from) {
  return size_t(std::count_if(g_posted.begin() + std::ptrdiff_t(std::min(from, g_posted.size())), g_posted.end(),
                              [message](const Posted& p) { return p.message == message; }));
}

// Each post of `message` since `from` with its fields, "(wParam, lParam)" one after the
// other; "none" when there was none.
std::string PostedOf(UINT message, size_t from) {
  std::string out;
  for (size_t i = from; i < g_posted.size(); ++i)
    if (g_posted[i].message == message)
      out += "(" + std::to_string(g_posted[i].wParam) + ", " + std::to_string(g_posted[i].lParam) + ")";
  return out.empty() ? "none" : out;
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

// Where `b` differs from `a`, as "(left,top)-(right,bottom)", or "nowhere".
std::string WhereDiffering(const winhost::RgbPicture& a, const winhost::RgbPicture& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return "everywhere";
  int left = b.width, top = b.height, right = -1, bottom = -1;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const size_t i = (size_t(y) * size_t(b.width) + size_t(x)) * 3;
      if (Same(&a.rgb[i], &b.rgb[i])) continue;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x + 1);
      bottom = std::max(bottom, y + 1);
    }
  if (right < 0) return "nowhere";
  char s[64];
  std::snprintf(s, sizeof s, "(%d,%d)-(%d,%d)", left, top, right, bottom);
  return s;
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

size_t ScribbledPixels(const winhost::RgbPicture& p) {
  return PixelsOf(p, GetRValue(kScribble), GetGValue(kScribble), GetBValue(kScribble));
}

// A picture's FNV-1a hash over its size and its RGB rows, as 16 hex digits.
std::string PictureHash(const winhost::RgbPicture& p) {
  uint64_t h = 0xCBF29CE484222325ull;
  auto mix = [&h](uint8_t byte) { h = (h ^ byte) * 0x100000001B3ull; };
  for (int32_t v : {p.width, p.height})
    for (int i = 0; i < 4; ++i) mix(uint8_t(uint32_t(v) >> (8 * i)));
  for (uint8_t byte : p.rgb) mix(byte);
  char s[20];
  std::snprintf(s, sizeof s, "%016" PRIx64, h);
  return s;
}

// Pixels of the transparent key colour: within 15 of magenta in each channel, the edge
// of something drawn onto a keyed surface included.
size_t KeyColoured(const winhost::RgbPicture& p) {
  size_t n = 0;
  for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
    if (p.rgb[i] >= 240 && p.rgb[i + 1] <= 15 && p.rgb[i + 2] >= 240) ++n;
  return n;
}

size_t AreaOf(const RECT& r) { return size_t(r.right - r.left) * size_t(r.bottom - r.top); }

// Paints over a place of the game window through its own DC, as a program drawing on
// the screen would; the window is not told, so only the module's own present takes it
// away.
void Scribble(HWND window, const RECT& place) {
  HDC dc = GetDC(window);
  HBRUSH brush = CreateSolidBrush(kScribble);
  FillRect(dc, &place, brush);
  DeleteObject(brush);
  ReleaseDC(window, dc);
  // Wine shows what was drawn into a window as its thread's messages are processed.
  Pump(100);
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
  Parts(std::string outDir, std::string pictures) : outDir_(std::move(outDir)), pictures_(std::move(pictures)) {}

  bool Start(const std::string& dll, const std::string& game, const std::string& portal);
  void Stop();

  void Paint();
  void Drag();
  void MouseAndKeys();
  void Covered();
  void Notice();
  void ScreenReady();
  void FailedRebuild();
  void FullScreen();
  void ModeChange();
  void BoxByKey();
  void SoundTaken();
  void BoxByTimer();
  void Decrypt(const std::string& fixtures);
  void SameFile(const std::string& fixtures);
  void Text();
  void StoredOptions();

  bool AllPassed() const { return failed_ == 0; }
  // The sound marks and the quiet window for the recording's check.
  bool WriteSoundMarks(DWORD runEnd) const;

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
  void ShowScore(int which) {
    Send("HM_SCORE_UPDATE",
         "points=[" + std::to_string(kScores[which][0]) + ", " + std::to_string(kScores[which][1]) + "]");
  }

  // The stored hash of a part's picture at this desktop's depth; "" when there is none.
  std::string StoredPicture(const char* part) const;

  std::string outDir_;
  std::string pictures_;
  std::string gameFolder_;
  HMODULE module_ = nullptr;
  winhost::ModuleExports e_;
  testing_support::RecordingHost recorder_;
  testhost::TimedHost host_{recorder_};
  testhost::ScriptMessages messages_;
  IClientInterface* client_ = nullptr;
  HWND hostWnd_ = nullptr;
  HWND gameWnd_ = nullptr;
  // What the game window shows now, and what it shows with each score.
  winhost::RgbPicture table_;
  winhost::RgbPicture withScore_[std::size(kScores)];
  int failed_ = 0;
  // Moments of the run (GetTickCount) the sound marks are made of, and how much later
  // each may be heard, as the run measured itself: the join's as long as the module took
  // with the message and the thread then stood still; the leaving's between the last look
  // that saw the box and the first that did not.
  DWORD runStart_ = 0, toneAt_ = 0, boxClosedAt_ = 0, boxClosedLate_ = 0;
  std::vector<DWORD> joinsAt_, joinsLate_;
  // The text runs the room's entry gave the host.
  std::string enteredText_;
};

std::string Parts::StoredPicture(const char* part) const {
  std::ifstream in(pictures_);
  const std::string depth = g_sixteenBits ? "16" : "32";
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string name, bits, hash;
    if (words >> name >> bits >> hash && name == part && bits == depth) return hash;
  }
  return {};
}

void Parts::Report(const char* part, bool ok, const std::string& figures) {
  if (!ok) ++failed_;
  std::printf("part %s: %s: %s\n", part, ok ? "ok" : "FAILED", figures.c_str());
  std::fflush(stdout);
}

bool Parts::Start(const std::string& dll, const std::string& game, const std::string& portal) {
  runStart_ = GetTickCount();
  gameFolder_ = game;
  if (!winhost::StartWithOptions({{"Option_Voice", kVoiceSet}, {"Option_SoundEffect", 1}})) {
    std::fprintf(stderr, "dorvik2-winparts: cannot set the module's options\n");
    return false;
  }
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
  // A plain room, whose table shows the score; each score's picture drawn as the table
  // changes, not by a repaint.
  const size_t shown = recorder_.CallsTo(testing_support::HostSlot::AddText).size();
  Send("HM_ROOM_ENTER", "clientVersion=20110927 myUser.userNo=101 entryKind=1 room.sceneMode=1 stakePerPoint=1000 "
                        "entryUserNo=101");
  const auto texts = recorder_.CallsTo(testing_support::HostSlot::AddText);
  for (size_t i = shown; i < texts.size(); ++i)
    enteredText_ += (enteredText_.empty() ? "" : " | ") + AsHostReadsIt(texts[i]);
  for (size_t i = 0; i < std::size(kScores); ++i) {
    ShowScore(int(i));
    Pump(i == 0 ? kBlinkMs : kRedrawMs);
    withScore_[i] = Table();
  }
  ShowScore(0);
  Pump(kBlinkMs);
  table_ = Table();
  Keep(table_, "table");
  HDC screen = GetDC(nullptr);
  g_sixteenBits = GetDeviceCaps(screen, BITSPIXEL) == 16;
  std::printf("screen: %d bits per pixel, %dx%d; the system's code page %u\n", GetDeviceCaps(screen, BITSPIXEL),
              GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES), unsigned(GetACP()));
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

// The tone, each join and the leaving at the box's time-out are heard where the host
// caused them, each as its own sound (the tone's samples written beside the marks, the
// effects' files named in the game data's sound folder); from the run's start to its
// end nothing else sounds.
const char* const kToneFile = "tone.wav";
const char* const kJoinEffect = "game_join.ogg";
const char* const kClosedEffect = "room_exit.ogg";

bool Parts::WriteSoundMarks(DWORD runEnd) const {
  if (!toneAt_ || joinsAt_.empty() || !boxClosedAt_ || !winhost::HostTone::WriteWav(outDir_ + "\\" + kToneFile))
    return false;
  auto from = [this](DWORD tick) { return std::to_string(int64_t(tick) - int64_t(toneAt_)); };
  std::string line = std::string("0:") + kToneFile;
  for (size_t i = 0; i < joinsAt_.size(); ++i)
    line += " " + from(joinsAt_[i]) + "~" + std::to_string(joinsLate_[i]) + ":" + kJoinEffect;
  line += " " + from(boxClosedAt_) + "~" + std::to_string(boxClosedLate_) + ":" + kClosedEffect + " --quiet " +
          from(runStart_) + " " + from(runEnd) + "\n";
  FILE* f = std::fopen((outDir_ + "\\sound-marks.txt").c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fputs(line.c_str(), f) >= 0;
  return std::fclose(f) == 0 && ok;
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

// The host window minimized (as a person does) while the score changes: the game window
// shows nothing, so only its paint when the window is restored, presenting the back
// buffer again, shows the new score.
void Parts::Paint() {
  ShowWindow(hostWnd_, SW_MINIMIZE);
  Pump(300);
  const bool minimized = IsIconic(hostWnd_);
  ShowScore(1);
  Pump(kRedrawMs);
  ShowWindow(hostWnd_, SW_RESTORE);
  SetForegroundWindow(hostWnd_);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  Keep(after, "paint");
  const size_t changed = DifferingInside(table_, withScore_[1], kScorePlace), off = Differing(withScore_[1], after);
  table_ = withScore_[1];
  // The run's own pictures agree with each other whatever the module draws: the
  // picture is also held to the one stored for this desktop, taken from a run whose
  // pictures were looked at.
  const std::string hash = PictureHash(after), stored = StoredPicture("paint");
  Report("paint", minimized && changed > 0 && off == 0 && hash == stored,
         std::string(minimized ? "minimized" : "NOT minimized") + ", " + std::to_string(changed) +
             " pixels of the score changed meanwhile, " + std::to_string(off) + " differ from the new score after "
             "the restore (" + WhereDiffering(withScore_[1], after) + "); picture " + hash + ", stored " +
             (stored.empty() ? "none" : stored));
}

// A left press on the table's top strip where no widget takes it drags the host
// window: the module asks the host, as a press on its caption, with the press's point
// in the game window.
constexpr POINT kEmptyPlace{400, 10};
constexpr DWORD kInputLimitMs = 2000;
constexpr int kPresses = 3;

void Parts::Drag() {
  const size_t from = g_posted.size();
  POINT at = kEmptyPlace;
  ClientToScreen(gameWnd_, &at);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = LONG((int64_t(at.x) * 65535 + screenW / 2) / (screenW - 1));
  in[0].mi.dy = LONG((int64_t(at.y) * 65535 + screenH / 2) / (screenH - 1));
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  // Under Wine on a loaded machine a click sent through the system's input now and then
  // reaches no window (the cursor stands on the table, nothing has the capture): a
  // click that brought no drag is sent again, a few times at most. A drag of the wrong
  // kind, or none at all, still fails.
  int presses = 0;
  while (presses < kPresses && PostsOf(WM_NCLBUTTONDOWN, from) == 0) {
    ++presses;
    SendInput(3, in, sizeof(INPUT));
    winhost::PumpUntil(kInputLimitMs, [from] { return PostsOf(WM_NCLBUTTONDOWN, from) > 0; });
  }
  Pump(300);
  std::string drags;
  size_t n = 0;
  bool whole = false;
  for (size_t i = from; i < g_posted.size(); ++i) {
    if (g_posted[i].message != WM_NCLBUTTONDOWN) continue;
    const Posted& p = g_posted[i];
    ++n;
    whole = p.wParam == WPARAM(HTCAPTION) && LOWORD(p.lParam) == kEmptyPlace.x && HIWORD(p.lParam) == kEmptyPlace.y;
    drags += "(" + std::to_string(p.wParam) + ", " + std::to_string(LOWORD(p.lParam)) + "," +
             std::to_string(HIWORD(p.lParam)) + ")";
  }
  Report("drag", n == 1 && whole,
         std::to_string(presses) + " press(es) at (" + std::to_string(kEmptyPlace.x) + "," +
             std::to_string(kEmptyPlace.y) + ") -> WM_NCLBUTTONDOWN " + (drags.empty() ? "none" : drags) +
             ", HTCAPTION is " + std::to_string(HTCAPTION));
}

// Every message the host window heard while the part listened, by message.
std::map<UINT, int> g_hostHeard;
WNDPROC g_hostProc = nullptr;
LRESULT CALLBACK ListeningHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_hostHeard[message];
  return CallWindowProcA(g_hostProc, hwnd, message, wParam, lParam);
}

// The left presses and releases the game window's thread took out of its queue for the
// game window, seen by a hook on the thread's messages.
HWND g_pressedWindow = nullptr;
int g_presses = 0, g_releases = 0;
LRESULT CALLBACK ButtonsTaken(int code, WPARAM removed, LPARAM lParam) {
  const MSG* m = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && m->hwnd == g_pressedWindow) {
    if (m->message == WM_LBUTTONDOWN || m->message == WM_LBUTTONDBLCLK) ++g_presses;
    if (m->message == WM_LBUTTONUP) ++g_releases;
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

// The pointer moved to a point of the screen, then the left button's `flags`, through
// the system's input; sent again (three times at most) until the game window took the
// press or release it brings, as Wine on a loaded machine now and then delivers one to
// no window.
bool SendButton(POINT screen, DWORD flags) {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[2] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = LONG((int64_t(screen.x) * 65535 + screenW / 2) / (screenW - 1));
  in[0].mi.dy = LONG((int64_t(screen.y) * 65535 + screenH / 2) / (screenH - 1));
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = flags;
  int& seen = flags == MOUSEEVENTF_LEFTDOWN ? g_presses : g_releases;
  const int before = seen;
  for (int tries = 0; tries < kPresses && seen == before; ++tries) {
    SendInput(2, in, sizeof(INPUT));
    winhost::PumpUntil(kInputLimitMs, [&] { return seen > before; });
  }
  return seen > before;
}

// A drag that starts on the table and ends past the host window's edge, then a click on
// the table: after each the mouse is free and the keys are the game window's, and the
// host window hears nothing of the game's children or input; everything it heard is
// counted and printed.
void Parts::MouseAndKeys() {
  const std::string ownPosts = " " + std::to_string(WM_GAME_CLOSE) + " " + std::to_string(WM_GAME_ENTER_KEY) + " " +
                               std::to_string(WM_GAME_SCREEN_READY) + " " + std::to_string(WM_GAME_LOADED) + " ";
  g_hostHeard.clear();
  g_hostProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hostWnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListeningHostProc)));
  g_pressedWindow = gameWnd_;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, ButtonsTaken, nullptr, GetCurrentThreadId());
  RECT host;
  GetWindowRect(hostWnd_, &host);
  POINT pressAt{300, 250}, clickAt{330, 270};
  ClientToScreen(gameWnd_, &pressAt);
  ClientToScreen(gameWnd_, &clickAt);
  // Past the host window's right edge, or its left one when the screen ends first.
  const POINT outside{host.right + 20 < GetSystemMetrics(SM_CXSCREEN) ? host.right + 20 : host.left - 20,
                      (host.top + host.bottom) / 2};
  bool taken = SendButton(pressAt, MOUSEEVENTF_LEFTDOWN) && SendButton(outside, MOUSEEVENTF_LEFTUP);
  Pump(200);
  const HWND captureAfterDrag = GetCapture(), keysAfterDrag = GetFocus();
  taken = taken && SendButton(clickAt, MOUSEEVENTF_LEFTDOWN) && SendButton(clickAt, MOUSEEVENTF_LEFTUP);
  Pump(200);
  const HWND captureAfterClick = GetCapture(), keysAfterClick = GetFocus();
  UnhookWindowsHookEx(hook);
  SetWindowLongPtrA(hostWnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
  // The host window's own: its painting, the keys it lost, the activation a press on
  // the game brings, the cursor the game window's default procedure asks its parent
  // about first, and the game's posts.
  const std::vector<UINT> ownMessages = {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, WM_KILLFOCUS, WM_SETCURSOR,
                                         WM_MOUSEACTIVATE};
  std::string heard, foreign;
  for (const auto& [message, count] : g_hostHeard) {
    char item[32];
    std::snprintf(item, sizeof item, "0x%04X x%d", unsigned(message), count);
    heard += (heard.empty() ? "" : ", ") + std::string(item);
    const bool own = std::find(ownMessages.begin(), ownMessages.end(), message) != ownMessages.end() ||
                     ownPosts.find(" " + std::to_string(message) + " ") != std::string::npos;
    if (!own) foreign += (foreign.empty() ? "" : ", ") + std::string(item);
  }
  const auto name = [this](HWND w) {
    return w == gameWnd_ ? "the game" : w == hostWnd_ ? "the host" : w ? "another" : "none";
  };
  Report("mouse-and-keys",
         taken && !captureAfterDrag && !captureAfterClick && keysAfterDrag == gameWnd_ && keysAfterClick == gameWnd_ &&
             foreign.empty(),
         std::string(taken ? "" : "a press or release never reached the game window; ") + "capture after the drag " +
             name(captureAfterDrag) + ", after the click " + name(captureAfterClick) + "; keys after the drag " +
             name(keysAfterDrag) + ", after the click " + name(keysAfterClick) + "; the host window heard " +
             (heard.empty() ? "nothing" : heard) + (foreign.empty() ? "" : "; not its own: " + foreign));
}

// Windows over the lower half of the score's place while the score falls, one of the
// host window's and one inside the game window: the table's present is clipped to what
// of the game window shows, so each keeps every pixel of its own, and the upper half
// shows the new score. The score then goes back, as the next parts expect it.
void Parts::Covered() {
  constexpr RECT kCoverPlace{kScorePlace.left, (kScorePlace.top + kScorePlace.bottom) / 2, kScorePlace.right,
                             kScorePlace.bottom};
  constexpr RECT kUncovered{kScorePlace.left, kScorePlace.top, kScorePlace.right, kCoverPlace.top};
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = CreateSolidBrush(kScribble);
  wc.lpszClassName = "Dorvik2PartsCover";
  RegisterClassA(&wc);
  // Its left half a window of the host window's, its right half one inside the game
  // window (as the module's own pop-ups are): the table's present keeps off both.
  const int width = kCoverPlace.right - kCoverPlace.left, height = kCoverPlace.bottom - kCoverPlace.top;
  HWND covers[2] = {};
  for (int i = 0; i < 2; ++i) {
    const HWND parent = i == 0 ? hostWnd_ : gameWnd_;
    POINT at{kCoverPlace.left + i * width / 2, kCoverPlace.top};
    MapWindowPoints(gameWnd_, parent, &at, 1);
    covers[i] = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_CLIPSIBLINGS, at.x, at.y, width / 2, height,
                                parent, nullptr, wc.hInstance, nullptr);
    SetWindowPos(covers[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow(covers[i]);
  }
  POINT corner{kCoverPlace.left, kCoverPlace.top};
  ClientToScreen(gameWnd_, &corner);
  Pump(200);
  const size_t coveredBefore = ScribbledPixels(winhost::CaptureScreenArea(corner.x, corner.y, width, height));
  ShowScore(3);
  Pump(kRedrawMs);
  const size_t coveredAfter = ScribbledPixels(winhost::CaptureScreenArea(corner.x, corner.y, width, height));
  const winhost::RgbPicture shown = Table();
  Keep(shown, "covered");
  const size_t changed = DifferingInside(withScore_[1], withScore_[3], kUncovered),
               off = DifferingInside(withScore_[3], shown, kUncovered);
  for (HWND cover : covers) DestroyWindow(cover);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
  DeleteObject(wc.hbrBackground);
  ShowScore(1);
  Pump(kBlinkMs);
  Report("covered", coveredBefore == AreaOf(kCoverPlace) && coveredAfter == coveredBefore && changed > 0 && off == 0,
         std::to_string(coveredBefore) + " of " + std::to_string(AreaOf(kCoverPlace)) +
             " pixels of the windows over the table their own before the score fell, " + std::to_string(coveredAfter) +
             " after; " + std::to_string(changed) + " pixels of the uncovered score change, " + std::to_string(off) +
             " of them differ from the new score");
}

// A host message whose last field is a counted text, its bytes ending the message: the
// text reaches the host whole as the notice event.
void Parts::Notice() {
  const size_t from = recorder_.CallsTo(testing_support::HostSlot::NotifyEvent).size();
  const std::string text = "notice-to-all";
  Send("HM_NOTICE_TEXT", "text=\"" + text + "\"");
  Pump(100);
  const auto calls = recorder_.CallsTo(testing_support::HostSlot::NotifyEvent);
  std::string seen;
  for (size_t i = from; i < calls.size(); ++i) seen += (seen.empty() ? "" : " | ") + calls[i].line;
  const std::string due = "NotifyEvent(0, 0, \"" + text + "\", " + std::to_string(text.size()) + ")";
  Report("notice", seen == due, "host calls " + (seen.empty() ? std::string("none") : seen) + ", due " + due);
}

// The whole table painted over, then the host's notice that the screen is its own again:
// the module draws the whole table afresh.
void Parts::ScreenReady() {
  const size_t from = g_posted.size();
  const RECT whole{0, 0, kGameWidth, kGameHeight};
  Scribble(gameWnd_, whole);
  const size_t scribbled = ScribbledPixels(Table());
  PostMessageA(gameWnd_, WM_GAME_SCREEN_READY, 1, 0);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  const size_t off = Differing(table_, after), closes = PostsOf(WM_GAME_CLOSE, from);
  Report("screen-ready", scribbled == AreaOf(whole) && off == 0 && closes == 0,
         std::to_string(scribbled) + " pixels painted over, " + std::to_string(off) + " differ after, " +
             std::to_string(closes) + " WM_GAME_CLOSE");
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

// A display mode whole: its size, depth and refresh rate.
std::string ModeText(const DEVMODEA& m) {
  char s[96];
  std::snprintf(s, sizeof s, "%lux%lu %lu bpp %lu Hz", m.dmPelsWidth, m.dmPelsHeight, m.dmBitsPerPel,
                m.dmDisplayFrequency);
  return s;
}

void Parts::FullScreen() {
  size_t from = g_posted.size();
  const DEVMODEA before = CurrentMode();
  const int32_t full = client_->SetScreenMode(1, kGameWidth, kGameHeight, 0);
  Pump(kRedrawMs);
  const DEVMODEA during = CurrentMode();
  const size_t readyFull = PostsOf(WM_GAME_SCREEN_READY, from), closeFull = PostsOf(WM_GAME_CLOSE, from);
  // Full screen keeps the desktop's depth.
  const bool fullMode = during.dmPelsWidth == DWORD(kGameWidth) && during.dmPelsHeight == DWORD(kGameHeight) &&
                        during.dmBitsPerPel == before.dmBitsPerPel;
  // Full screen, the back buffer goes to the screen's top left as it is, clipped to the
  // game window: inside the window's place the screen shows the table's own pixels.
  const winhost::RgbPicture fullPicture = winhost::CaptureScreenArea(0, 0, kGameWidth, kGameHeight);
  Keep(fullPicture, "full-screen");
  RECT place;
  GetWindowRect(gameWnd_, &place);
  const size_t offFull = DifferingInside(table_, fullPicture, place);
  // The score changed while full screen: the windowed screen rebuilt after shows it.
  ShowScore(3);
  Pump(kRedrawMs);
  table_ = withScore_[3];
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
                "full: -> %d, display %s (was %s), %zu WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, "
                "%zu pixels differ at the screen's top left; windowed: -> %d, display %s, %zu "
                "WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, %zu pixels differ from the score changed while full",
                full, ModeText(during).c_str(), ModeText(before).c_str(), readyFull, closeFull, offFull, windowed,
                ModeText(back).c_str(), readyBack, closeBack, offBack);
  Report("full-screen",
         full == 0 && fullMode && readyFull == 1 && closeFull == 0 && offFull == 0 && windowed == 0 && readyBack == 1 &&
             closeBack == 0 && offBack == 0 && ModeText(back) == ModeText(before),
         figures);
}

// The desktop's mode changes (as another program or the user changes it) and comes
// back. Meanwhile the score changes and the table is painted over, as a mode change
// leaves a window's pixels: back in the old mode, only the module's repaint (through a
// rebuilt screen where the system lost the surfaces; Wine loses none) shows the new
// score.
void Parts::ModeChange() {
  const size_t from = g_posted.size();
  const DEVMODEA before = CurrentMode();
  // A surface of the host's own, to see whether a mode change loses surfaces here.
  winhost::SurfaceLossProbe probe(hostWnd_);
  DEVMODEA smaller = before;
  smaller.dmPelsWidth = kGameWidth;
  smaller.dmPelsHeight = kGameHeight;
  smaller.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  const LONG changed = ChangeDisplaySettingsA(&smaller, CDS_FULLSCREEN);
  Pump(300);
  const bool primaryLost = probe.PrimaryLost();
  const std::string lost = probe.State();
  ShowScore(2);
  Pump(kRedrawMs);
  const RECT whole{0, 0, kGameWidth, kGameHeight};
  Scribble(gameWnd_, whole);
  const LONG restored = ChangeDisplaySettingsA(nullptr, 0);
  Pump(300);
  const bool primaryLostAfter = probe.PrimaryLost();
  const std::string lostAfter = probe.State();
  // Windows repaints every window after a mode change; Wine keeps its copy of the
  // pixels and sends no paint, so the host asks for the paint Windows would send.
  InvalidateRect(gameWnd_, nullptr, FALSE);
  Pump(kRedrawMs);
  const winhost::RgbPicture after = Table();
  Keep(after, "after-mode-change");
  table_ = withScore_[2];
  const DEVMODEA now = CurrentMode();
  const size_t off = Differing(table_, after), closes = PostsOf(WM_GAME_CLOSE, from),
               ready = PostsOf(WM_GAME_SCREEN_READY, from);
  char figures[800];
  std::snprintf(figures, sizeof figures,
                "change to 800x600 -> %ld, back -> %ld (now %lux%lu); surfaces of the host's own: [%s] in the "
                "changed mode, [%s] after; %zu WM_GAME_SCREEN_READY, %zu WM_GAME_CLOSE, %zu pixels differ from "
                "the score changed meanwhile (%s)",
                changed, restored, now.dmPelsWidth, now.dmPelsHeight, lost.c_str(), lostAfter.c_str(), ready,
                closes, off, WhereDiffering(table_, after).c_str());
  // A screen lost to the change is rebuilt once, and the host told once; a screen the
  // system kept is not rebuilt at all.
  const size_t readyDue = primaryLost || primaryLostAfter ? 1 : 0;
  Report("mode-change", changed == DISP_CHANGE_SUCCESSFUL && restored == DISP_CHANGE_SUCCESSFUL && closes == 0 &&
                            off == 0 && ready == readyDue,
         figures + std::string("; ") + std::to_string(readyDue) + " WM_GAME_SCREEN_READY due");
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
  // Pixels of the yes and no buttons' places that match no frame of their strips.
  size_t buttonsOff = 0;
  std::string buttons;
  size_t keyed = 0;
  winhost::RgbPicture picture;
};

// A yes/no box's buttons stand 12 pixels above its bottom, 20 either side of its centre.
constexpr int kButtonBottom = 12, kButtonGap = 20, kStripFrames = 4;

// A button's strip of frames as the system loads it.
winhost::RgbPicture StripOf(const std::string& file) {
  auto* strip = static_cast<HBITMAP>(
      LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  BITMAP info{};
  winhost::RgbPicture frames;
  if (strip && GetObjectA(strip, sizeof info, &info)) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    frames = winhost::CaptureDc(dc, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  if (strip) DeleteObject(strip);
  return frames;
}

// The pixels of `shown` at (x, y), over one frame's size, that differ from the strip's
// frame most like them (every pixel when there is no strip).
size_t OffTheStrip(const winhost::RgbPicture& shown, int x, int y, const winhost::RgbPicture& strip) {
  const int fw = strip.width / kStripFrames, fh = strip.height;
  if (strip.rgb.empty() || fw <= 0) return size_t(shown.width) * size_t(shown.height) + 1;
  size_t best = size_t(fw) * size_t(fh);
  for (int f = 0; f < kStripFrames; ++f) {
    size_t off = 0;
    for (int j = 0; j < fh; ++j)
      for (int i = 0; i < fw; ++i) {
        const int sx = x + i, sy = y + j;
        if (sx < 0 || sy < 0 || sx >= shown.width || sy >= shown.height) {
          ++off;
          continue;
        }
        const uint8_t* a = &shown.rgb[(size_t(sy) * size_t(shown.width) + size_t(sx)) * 3];
        const uint8_t* b = &strip.rgb[(size_t(j) * size_t(strip.width) + size_t(f * fw + i)) * 3];
        if (!Same(a, b)) ++off;
      }
    best = std::min(best, off);
  }
  return best;
}

// The body's lines start 40 pixels down, 20 apart, 30 from the left (two lines here).
constexpr int kBodyTop = 40, kBodyLines = 2, kLineHeight = 20, kTextLeft = 30;

std::string Describe(const BoxSeen& b, const RECT& game) {
  char s[300];
  const int cx = (b.rect.left + b.rect.right) / 2 - (game.left + game.right) / 2;
  const int cy = (b.rect.top + b.rect.bottom) / 2 - (game.top + game.bottom) / 2;
  std::snprintf(s, sizeof s, "box %ldx%ld, centre %+d,%+d from the table's, %zu pixels not black, %zu black ones "
                "of text in the body's lines, %zu of the key colour; ",
                b.rect.right - b.rect.left, b.rect.bottom - b.rect.top, cx, cy, b.framed, b.text, b.keyed);
  return s + b.buttons;
}

// The box stands at the table's centre, to the half pixel an odd size leaves.
bool Centred(const BoxSeen& b, const RECT& game) {
  return std::abs((b.rect.left + b.rect.right) - (game.left + game.right)) <= 1 &&
         std::abs((b.rect.top + b.rect.bottom) - (game.top + game.bottom)) <= 1;
}

// Its frame, its text and both its buttons, and nothing of the key colour: the
// buttons' strips are copied as they are, corners too.
bool Shown(const BoxSeen& b) {
  const size_t all = size_t(b.picture.width) * size_t(b.picture.height);
  return b.openedAt && b.framed * 2 > all && b.text > 0 && b.buttonsOff == 0 && b.keyed == 0;
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

void SeeBox(HWND box, BoxSeen& seen, const std::string& gameFolder) {
  seen.openedAt = GetTickCount();
  GetWindowRect(box, &seen.rect);
  seen.picture = CaptureWindowDc(box);
  const winhost::RgbPicture& p = seen.picture;
  seen.framed = size_t(p.width) * size_t(p.height) - PixelsOf(p, 0, 0, 0);
  seen.keyed = KeyColoured(p);
  // The buttons' places in the client area, the client's place in the window's picture.
  // The box places them by its window's size, in its client area.
  const int boxWidth = seen.rect.right - seen.rect.left, boxHeight = seen.rect.bottom - seen.rect.top;
  POINT origin{0, 0};
  ClientToScreen(box, &origin);
  const int ox = origin.x - seen.rect.left, oy = origin.y - seen.rect.top;
  seen.buttonsOff = 0;
  seen.buttons.clear();
  for (const char* file : {"yes_btn.bmp", "no_btn.bmp"}) {
    const winhost::RgbPicture strip = StripOf(gameFolder + "GameImage\\MsgBox\\" + file);
    const int fw = strip.width / kStripFrames, fh = strip.height;
    const bool yes = file[0] == 'y';
    const int x = boxWidth / 2 + (yes ? -fw - kButtonGap : kButtonGap), y = boxHeight - fh - kButtonBottom;
    const size_t off = OffTheStrip(p, ox + x, oy + y, strip);
    seen.buttonsOff += off;
    seen.buttons += std::string(seen.buttons.empty() ? "" : ", ") + file + " at (" + std::to_string(x) + "," +
                    std::to_string(y) + "): " + std::to_string(off) + " pixels off its strip";
  }
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
        SeeBox(box, seen, gameFolder_);
        Keep(seen.picture, "box-key");
        answered = true;
        Key(VK_RETURN);
      });
  Pump(300);
  RECT game;
  GetWindowRect(gameWnd_, &game);
  const std::string commands = SentSince(sent);
  Report("box-key", answered && !OpenBox() && commands == kAfterYes && Shown(seen) && Centred(seen, game),
         Describe(seen, game) + "; RETURN -> commands " + commands);
}

void Parts::BoxByTimer() {
  const size_t sent = recorder_.CallsTo(testing_support::HostSlot::Send).size();
  const size_t from = g_posted.size();
  BoxSeen seen;
  DWORD shownAt = 0, closedAt = 0, lastSeenOpen = 0;
  AskQuestion([&] {
        HWND box = OpenBox();
        if (box) lastSeenOpen = GetTickCount();
        if (box && !seen.openedAt) {
          if (!shownAt) shownAt = GetTickCount();
          if (GetTickCount() - shownAt < 500) return;  // its first paint
          SeeBox(box, seen, gameFolder_);
          seen.openedAt = shownAt;
          Keep(seen.picture, "box-timer");
        }
        if (!box && seen.openedAt && !closedAt) closedAt = GetTickCount();
      });
  if (seen.openedAt && !closedAt) closedAt = GetTickCount();
  // The box went (and the leaving sounded) between the last look that saw it and the
  // first that did not, 50 ms apart when the thread was not held up.
  boxClosedAt_ = lastSeenOpen && closedAt ? lastSeenOpen : 0;
  boxClosedLate_ = closedAt - lastSeenOpen;
  Pump(300);
  const DWORD open = closedAt - seen.openedAt;
  const std::string commands = SentSince(sent);
  // No is the time-out's answer: the player does not join, and the game asks the host,
  // once, to close it.
  const std::string closes = PostedOf(WM_GAME_CLOSE, from);
  RECT game;
  GetWindowRect(gameWnd_, &game);
  Report("box-timer",
         Shown(seen) && Centred(seen, game) && open + 100 >= kQuestionBoxMs && open <= kQuestionBoxMs + kBoxLateMs &&
             commands == kAfterTimeOut && closes == kLeftAfterNoGame,
         Describe(seen, game) + "; closed by itself after " + std::to_string(open) + " ms; commands " +
             (commands.empty() ? "none" : commands) + "; WM_GAME_CLOSE " + closes);
}

// The sound device taken by a program that writes the primary buffer itself: every
// other buffer on it is lost until it lets go. The host's own probe buffer shows the
// loss; the module's join effect played before, and again after the device is free,
// must both be heard (the run's recording is checked against the moments printed).
void Parts::SoundTaken() {
  winhost::SoundLossProbe sound;
  const winhost::SoundLossProbe::Loss loss = sound.TakeAndGive(hostWnd_);
  Pump(300);
  // The host's tone places the host's moments on the recording; then the module's
  // effects once the device is free again.
  winhost::HostTone tone;
  toneAt_ = GetTickCount();
  const bool toned = tone.Play(hostWnd_);
  Pump(700);
  for (const char* user : {"102", "103"}) {
    joinsAt_.push_back(GetTickCount());
    Send("HM_JOIN_GAME", std::string("userNo=") + user + " seat=1");
    joinsLate_.push_back(GetTickCount() - joinsAt_.back() + StoodStill(kJoinHeardMs));
    Pump(1500 - kJoinHeardMs);
  }
  // Windows loses the other buffers while a program holds the write-primary level;
  // Wine does not lose them (the probe says which happened) but mixes none of them
  // until that level is given back, and a program that only releases its object
  // leaves them silent for good. A buffer that was lost must be whole after Restore.
  // Wine loses none of the module's buffers (the probe shows it), so the module's
  // restore is not reached here; what the part holds is that the module plays on once
  // the device is given back, which the recording's marks check.
  Report("sound-taken", SUCCEEDED(loss.taken) && !loss.lostAfter && toned,
         loss.Describe() + "; the host's tone " + (toned ? "played" : "NOT played") +
             ", then the join effect twice (heard: checked on the recording)");
}

// The options' summary the room's entry shows the host, as the host reads it in the
// system's code page, whole. The run's system is not Korean: the texts still arrive as
// their Korean bytes.
void Parts::Text() {
  std::string hex;
  for (unsigned char c : enteredText_) {
    char h[4];
    std::snprintf(h, sizeof h, c >= 0x80 ? "%02X" : "%c", c);
    hex += h;
  }
  Report("text", enteredText_ == kEnteredText,
         "code page " + std::to_string(GetACP()) + ", " + std::to_string(enteredText_.size()) + " bytes: " + hex);
}

// What the module stored of its options by the run's end, read back whole: the options
// the run set, the ones it adds on a fresh key, nothing else.
void Parts::StoredOptions() {
  const std::string stored = winhost::StoredOptions();
  Report("stored-options", stored == kStoredAfterParts, stored);
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

std::string WithAsciiUpper(std::string path) {
  for (char& c : path)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return path;
}

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// A sealed file given as its own destination, under the names a host may give one file
// (another case, a dot or a dot-dot step, forward slashes, a relative name): each is
// refused and the file stays whole, where opening the destination first would empty it.
void Parts::SameFile(const std::string& fixtures) {
  std::string sealed;
  const bool read = winhost::ReadFileText(fixtures + "\\sealed.bin", sealed);
  const std::string folder = outDir_ + "\\same", file = folder + "\\sealed-x.bin";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::pair<std::string, std::string> forms[] = {
      {file, file},
      {file, folder + "\\SEALED-X.BIN"},
      {file, WithAsciiUpper(file)},
      {file, folder + "\\.\\sealed-x.bin"},
      {file, folder + "\\..\\same\\Sealed-X.bin"},
      {WithSlashes(file), file},
      {"sealed-x.bin", WithAsciiUpper(file)},
  };
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, before);
  SetCurrentDirectoryA(folder.c_str());
  std::string figures;
  size_t kept = 0;
  for (const auto& [from, to] : forms) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << sealed;
    const int result = DecryptFileTo(from.c_str(), to.c_str());
    std::string after;
    const bool whole = winhost::ReadFileText(file, after) && after == sealed;
    kept += result == 0 && whole ? 1 : 0;
    if (result != 0 || !whole)
      figures += "; " + from + " -> " + to + ": " + std::to_string(result) + ", the file " +
                 (whole ? "whole" : std::to_string(after.size()) + " bytes");
  }
  SetCurrentDirectoryA(before);
  Report("same-file", read && kept == std::size(forms),
         std::to_string(kept) + " of " + std::to_string(std::size(forms)) + " names of one file refused, the file whole" +
             figures);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr,
                 "usage: dorvik2-winparts.exe DLL GAME-FOLDER PORTAL-FOLDER FIXTURE-FOLDER OUT-DIR PICTURES-FILE\n");
    return 2;
  }
  const std::string fixtures = argv[4], out = argv[5];
  CreateDirectoryA(out.c_str(), nullptr);
  Parts parts(out, argv[6]);
  Begin("start");
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  if (!parts.Start(argv[1], argv[2], argv[3])) {
    std::fprintf(stderr, "dorvik2-winparts: the game window was not built\n");
    return 1;
  }
  Begin("text");
  parts.Text();
  Begin("paint");
  parts.Paint();
  Begin("drag");
  parts.Drag();
  Begin("mouse-and-keys");
  parts.MouseAndKeys();
  Begin("covered");
  parts.Covered();
  Begin("notice");
  parts.Notice();
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
  Begin("sound-taken");
  parts.SoundTaken();
  Begin("box-timer");
  parts.BoxByTimer();
  if (!parts.WriteSoundMarks(GetTickCount())) std::printf("the sound marks could not be written\n");
  Begin("stop");
  parts.Stop();
  parts.StoredOptions();
  Begin("decrypt");
  parts.Decrypt(fixtures);
  parts.SameFile(fixtures);
  std::printf("%s\n", parts.AllPassed() ? "every part passed" : "a part failed");
  std::fflush(stdout);
  return parts.AllPassed() ? 0 : 1;
}
