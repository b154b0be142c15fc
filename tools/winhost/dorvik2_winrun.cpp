// dorvik2-winrun: the Windows test host. It plays a game script through Dorvik2.dll on
// the real system, in real time, and records the game as a person would see it:
// frames read from the screen (a capture every 500 ms, and five around each
// checkpoint), a contact sheet, and a transcript of the export calls, host calls,
// messages to the host window and the script's events. At the end it measures a full
// redraw and a typical frame against a memcpy of a frame.
//   dorvik2-winrun.exe DLL GAME-FOLDER PORTAL-FOLDER SCRIPT OUT-DIR [--threaded] [--option NAME=DWORD]...
// Exit 0 only when the script passed and the record was written. The paths are taken
// from the UTF-16 command line and opened by it, whatever the ANSI code page can say;
// the lines that name them are UTF-8.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "testhost/ContactSheetGrid.h"
#include "testhost/ScriptReader.h"
#include "testhost/TimedHost.h"
#include "tools/winhost/HostChecks.h"
#include "tools/winhost/HostLayout.h"
#include "tools/winhost/HostText.h"
#include "tools/winhost/ModuleExports.h"
#include "tools/winhost/ModuleOptions.h"
#include "tools/winhost/PumpUntil.h"
#include "tools/winhost/PngWriter.h"
#include "tools/winhost/RealTimeRunner.h"
#include "tools/winhost/ScreenCapture.h"

namespace {

using winhost::kGameHeight;
using winhost::kGameWidth;
constexpr DWORD kLoadLimitMs = 60000;
// After the build, the loader's sound set-up and the first paints settle before the
// screen is refreshed, as a host waits for its own window to show. The loader thread
// sets up the sound only after it has posted WM_GAME_LOADED, and registering the
// effects takes the better part of a second under Wine on a busy machine: a message
// sooner finds no sound and its effect stays silent, where the headless run, whose
// loader takes no virtual time, hears it.
constexpr DWORD kSettleMs = 2000;
constexpr int kRedraws = 20;
constexpr int kCopies = 50;

struct HostState {
  std::vector<winhost::HostWindowMessage> messages;  // the module's messages to the host window
  int32_t loaded = 0;  // WM_GAME_LOADED messages seen
  WPARAM loadedResult = 0;
};
HostState g_host;

bool IsModuleMessage(UINT message) {
  return (message >= WM_USER && message < WM_APP) || message == WM_NCLBUTTONDOWN || message == WM_SYSCOMMAND;
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsModuleMessage(message)) {
    g_host.messages.push_back({GetTickCount(), message, wParam, lParam});
    if (message == WM_GAME_LOADED) {
      ++g_host.loaded;
      g_host.loadedResult = wParam;
    }
    // A drag of the table or a system command is the host's own affair; this one
    // keeps its window where it is.
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeHostWindow() {
  return winhost::CreateHostWindow(HostWindowProc, "Dorvik2WinRun", "Dorvik2 Windows test host");
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// What the speed lines say: each cost in ms and as a ratio to a frame's memcpy.
struct Speed {
  double memcpyMs = 0;
  double redrawMs = 0;
  double frameMs = 0;
  size_t frames = 0;
};

// A frame's memcpy in this process, the median of many.
double MemcpyFrameMs() {
  const size_t bytes = size_t(kGameWidth) * kGameHeight * 4;
  std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
  std::vector<double> ms;
  for (int i = 0; i < kCopies; ++i) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    std::memcpy(to.data(), from.data(), bytes);
    QueryPerformanceCounter(&b);
    from[size_t(i)] = to[bytes - 1 - size_t(i)];  // keeps the copies from being merged away
    ms.push_back(Seconds(a, b) * 1000.0);
  }
  return Median(ms);
}

// A full redraw: the whole table drawn and presented, as RefreshScreen asks, with the
// paints it leaves dispatched.
double FullRedrawMs(IClientInterface* client, HWND game) {
  std::vector<double> ms;
  for (int i = 0; i < kRedraws; ++i) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    client->RefreshScreen(0);
    UpdateWindow(game);
    GdiFlush();
    QueryPerformanceCounter(&b);
    ms.push_back(Seconds(a, b) * 1000.0);
  }
  return Median(ms);
}

struct Options {
  std::filesystem::path dll, script, outDir;
  std::u16string game, portal;
  bool threaded = false;
  winhost::ModuleOptions options;  // the module's stored options to start with
};

struct Line {
  DWORD ms;
  int order;  // at equal times: events fired, host lines, the runner's checks
  size_t seq;
  std::string text;
};

bool WriteTranscript(const std::filesystem::path& path, std::vector<Line> lines, DWORD scriptStartMs, const std::string& outcome) {
  std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
    if (a.ms != b.ms) return a.ms < b.ms;
    if (a.order != b.order) return a.order < b.order;
    return a.seq < b.seq;
  });
  std::ofstream out(path, std::ios::binary);
  out << "# real ms since the host started; the script's time 0 is " << scriptStartMs << " ms\n";
  for (const Line& l : lines) {
    char ms[24];
    std::snprintf(ms, sizeof ms, "%8" PRIu32 " ms  ", uint32_t(l.ms));
    out << ms << l.text << "\n";
  }
  out << outcome << "\n";
  return bool(out);
}

int Run(const Options& o) {
  const DWORD hostStart = GetTickCount();
  std::vector<Line> lines;
  auto note = [&](int order, std::string text) { lines.push_back({GetTickCount() - hostStart, order, lines.size(), std::move(text)}); };
  std::string scriptText, error;
  testhost::Script script;
  if (!winhost::ReadFileText(o.script, scriptText)) {
    std::fprintf(stderr, "dorvik2-winrun: cannot read %s: %s\n", winhost::Utf8(o.script).c_str(), std::strerror(errno));
    return 1;
  }
  if (!testhost::ReadScript(scriptText, script, error)) {
    std::fprintf(stderr, "dorvik2-winrun: %s %s\n", winhost::Utf8(o.script).c_str(), error.c_str());
    return 1;
  }
  std::error_code ec;
  const std::filesystem::path& out = o.outDir;
  const std::filesystem::path frames = out / "frames", around = out / "checkpoints";
  std::filesystem::remove_all(frames, ec);
  std::filesystem::remove_all(around, ec);
  std::filesystem::create_directories(frames, ec);
  std::filesystem::create_directories(around, ec);

  // A fresh world, as the headless run's fresh registry file. The headless world draws
  // its random voice set from a virtual clock; the real one cannot, so the host hands it
  // the one drawn there.
  if (!winhost::StartWithOptions(o.options)) {
    std::fprintf(stderr, "dorvik2-winrun: cannot set the module's options\n");
    return 1;
  }
  HWND hostWnd = MakeHostWindow();
  if (!hostWnd) {
    std::fprintf(stderr, "dorvik2-winrun: no host window\n");
    return 1;
  }
  // The host is the active window when it makes the game, as a person's host is: the
  // game window takes the keyboard focus as it is made.
  SetForegroundWindow(hostWnd);
  SetActiveWindow(hostWnd);
  winhost::PumpUntil(kSettleMs, [hostWnd] { return GetActiveWindow() == hostWnd; });
  HDC screen = GetDC(nullptr);
  std::printf("dorvik2-winrun: module %s, %s, script %s\nscreen: %d bits per pixel\n", winhost::Utf8(o.dll).c_str(),
              o.threaded ? "threaded" : "synchronous", winhost::Utf8(o.script).c_str(), GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  HMODULE module = LoadLibraryW(o.dll.c_str());
  winhost::ModuleExports e;
  if (!module || !winhost::FindExports(module, e, error)) {
    std::fprintf(stderr, "dorvik2-winrun: %s: %s\n", winhost::Utf8(o.dll).c_str(),
                 module ? error.c_str() : "LoadLibrary failed");
    return 1;
  }
  testing_support::RecordingHost recorder;
  testhost::TimedHost host(recorder);
  IClientInterface* client = nullptr;
  const int32_t created = e.create(&host, &client);
  note(1, "CreateGameWnd -> " + std::to_string(created));
  HWND gameWnd = created == 0 ? e.init(client, 0, hostWnd, o.game.c_str(), o.portal.c_str(), u"", 0, 0, 0, 0, o.threaded)
                              : nullptr;
  note(1, std::string("InitGameWnd(threaded ") + (o.threaded ? "1" : "0") + ") -> " + (gameWnd ? "window" : "null"));
  bool ok = gameWnd != nullptr;
  if (ok) note(1, GetFocus() == gameWnd ? "focus on the game window" : "focus not on the game window");
  if (ok && o.threaded)
    ok = winhost::PumpUntil(kLoadLimitMs, [] { return g_host.loaded > 0; }) && g_host.loadedResult == 1;
  std::string failure;
  if (!ok) failure = "the game window was not built";
  winhost::PumpUntil(kSettleMs, [] { return false; });
  // The loader tells of its end once; a build on the calling thread posts nothing.
  if (ok && g_host.loaded != (o.threaded ? 1 : 0)) {
    ok = false;
    failure = std::to_string(g_host.loaded) + " WM_GAME_LOADED after the build";
  }
  if (ok) client->RefreshScreen(0);

  Speed speed;
  DWORD scriptStart = 0;
  std::vector<winhost::RealTimeRunner::Frame> captured;
  std::vector<winhost::RealTimeRunner::SoundLate> soundLateness;
  if (ok) {
    winhost::RealTimeRunner runner(script, host, recorder, g_host.messages, client, gameWnd, [&] {
      const int32_t r = e.destroy(client);
      note(1, "DestroyGameWnd -> " + std::to_string(r));
      return r;
    });
    ok = runner.Run(failure, [&] {
      speed.memcpyMs = MemcpyFrameMs();
      speed.redrawMs = FullRedrawMs(client, gameWnd);
      speed.frameMs = Median(runner.TickDispatchMs());
      speed.frames = runner.TickDispatchMs().size();
    });
    scriptStart = runner.StartTick() - hostStart;
    for (const auto& n : runner.Notes()) lines.push_back({n.tick - hostStart, n.order == 0 ? 0 : 2, lines.size(), n.text});
    captured = runner.Frames();
    soundLateness = runner.SoundLateness();
  }
  // Whatever the module left posted is dispatched before it goes.
  winhost::PumpUntil(100, [] { return false; });
  if (!FreeLibrary(module)) {
    if (ok) failure = "FreeLibrary failed";
    ok = false;
  }
  note(1, "FreeLibrary");
  DestroyWindow(hostWnd);

  for (const auto& [tick, call] : host.TimedCalls()) lines.push_back({tick - hostStart, 1, lines.size(), "host " + call.ToString()});
  for (const auto& m : g_host.messages)
    lines.push_back({m.tick - hostStart, 1, lines.size(),
                     "posted " + testhost::DescribeHostMessage(m.message, uint64_t(m.wParam), int64_t(m.lParam))});

  // The record: the frames as the headless run names them, the captures around each
  // checkpoint, the contact sheet and the transcript.
  testhost::BasicContactSheet<winhost::RgbPicture> sheet;
  bool written = true;
  size_t number = 0;
  for (const auto& f : captured) {
    if (!f.checkpoint.empty()) {
      const std::filesystem::path folder = around / winhost::FromUtf8(f.checkpoint);
      std::filesystem::create_directories(folder, ec);
      char name[32];
      std::snprintf(name, sizeof name, "at%+dms.png", f.offsetMs);
      written = winhost::WritePngFile(f.picture, folder / name) && written;
      if (f.offsetMs != 0) continue;
    }
    char name[16];
    std::snprintf(name, sizeof name, "%03zu-", ++number);
    const std::string label = f.checkpoint.empty() ? std::to_string(f.ms / winhost::RealTimeRunner::kFramePeriodMs *
                                                                     winhost::RealTimeRunner::kFramePeriodMs) + "ms"
                                                   : f.checkpoint;
    written = winhost::WritePngFile(f.picture, frames / winhost::FromUtf8(name + label + ".png")) && written;
    sheet.Add(f.picture);
  }
  const std::filesystem::path sheetPath = out / "contact.png", transcriptPath = out / "transcript.txt";
  written = winhost::WritePngFile(sheet.Compose(), sheetPath) && written;
  const std::string outcome = ok ? "script passed" : "script failed: " + failure;
  written = WriteTranscript(transcriptPath, lines, scriptStart, outcome) && written;
  // How late each of the script's sounds may be heard, for the recording's check.
  const std::filesystem::path latenessPath = out / "sound-lateness.txt";
  {
    std::ofstream file(latenessPath, std::ios::binary);
    for (const auto& sound : soundLateness) file << sound.at << ' ' << sound.ms << ' ' << sound.name << '\n';
    written = bool(file) && written;
  }

  std::printf("%s: %s\n", winhost::Utf8(o.script).c_str(), outcome.c_str());
  std::printf("script start: %" PRIu32 " ms after the host's\n", uint32_t(scriptStart));
  std::printf("frames: %s (%zu)\n", winhost::Utf8(frames).c_str(), number);
  std::printf("checkpoint captures: %s\n", winhost::Utf8(around).c_str());
  std::printf("contact sheet: %s\n", winhost::Utf8(sheetPath).c_str());
  std::printf("transcript: %s\n", winhost::Utf8(transcriptPath).c_str());
  uint32_t lateMost = 0;
  for (const auto& sound : soundLateness) lateMost = std::max(lateMost, sound.ms);
  std::printf("sound lateness: %s (%zu sounds, the latest allowed %" PRIu32 " ms)\n", winhost::Utf8(latenessPath).c_str(),
              soundLateness.size(), lateMost);
  if (speed.memcpyMs > 0) {
    std::printf("speed: a frame's memcpy (800x600x4) %.3f ms; full redraw %.2f ms = %.0fx memcpy; typical frame "
                "(median of %zu game ticks) %.2f ms = %.0fx memcpy\n",
                speed.memcpyMs, speed.redrawMs, speed.redrawMs / speed.memcpyMs, speed.frames, speed.frameMs,
                speed.frameMs / speed.memcpyMs);
  }
  if (!written) std::fprintf(stderr, "dorvik2-winrun: the record in %s is incomplete\n", winhost::Utf8(o.outDir).c_str());
  return ok && written ? 0 : 1;
}

}  // namespace

int main() {
  Options o;
  const std::vector<std::u16string> argv = winhost::WideArguments();
  const size_t argc = argv.size();
  std::vector<std::u16string> positional;
  for (size_t i = 1; i < argc; ++i) {
    const std::u16string& a = argv[i];
    if (a == u"--threaded") {
      o.threaded = true;
    } else if (a == u"--option" && i + 1 < argc && argv[i + 1].find(u'=') != std::u16string::npos) {
      const std::string option = winhost::Utf8(argv[++i]);
      const size_t at = option.find('=');
      o.options.emplace_back(option.substr(0, at), DWORD(std::strtoul(option.c_str() + at + 1, nullptr, 10)));
    } else if (a.find(u'=') != std::u16string::npos && a.rfind(u"--", 0) == 0) {
      std::fprintf(stderr, "dorvik2-winrun: unknown option %s\n", winhost::Utf8(a).c_str());
      return 2;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 5) {
    std::fprintf(stderr, "usage: dorvik2-winrun.exe DLL GAME-FOLDER PORTAL-FOLDER SCRIPT OUT-DIR [--threaded] [--option NAME=DWORD]...\n");
    return 2;
  }
  o.dll = positional[0];
  o.game = positional[1];
  o.portal = positional[2];
  o.script = positional[3];
  o.outDir = positional[4];
  const int code = Run(o);
  std::fflush(stdout);
  return code;
}
