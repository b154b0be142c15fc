// dorvik2-run: loads the module, plays the host headless through one window life
// (create, initialise, let virtual time pass, capture the picture and, if asked, the
// sound, destroy) and prints what passed between host and module. Exit 0 only when the window was made and destroyed cleanly.
// With a script it plays that game instead and records it in a folder: the frames, a
// contact sheet of them, the sound and the transcript; exit 0 only when the script passes.
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

#include "plat/codepage.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "plat/time.h"
#include "testhost/ContactSheet.h"
#include "testhost/ScriptRunner.h"
#include "testhost/TestHost.h"

namespace {

// Windows folders the host hands the module; the layer maps them to the given ones.
constexpr const char* kGameFolder = "C:\\Dorvik2\\Game\\";
constexpr const char* kPortalFolder = "C:\\Dorvik2\\Portal\\";
constexpr uint32_t kLoaderWaitRealMs = 30000;
// A scripted game's timed frames, besides one at every checkpoint.
constexpr uint32_t kFramePeriodMs = 500;

struct Options {
  std::string module = DORVIK2_MODULE_FILE;
  std::string data;
  std::string portal;
  std::string registry;
  std::string out;
  std::string wav;  // empty: the sound goes nowhere
  bool threaded = false;
  std::string desktop;  // empty: a script's own, else 32-bit
  uint32_t advanceMs = 1000;
  std::string script;  // a game to play instead of the plain window life
  std::string outDir;  // where a scripted game's record goes
  bool markTextCells = false;  // texts as marked cells, for a map of where text is drawn
  bool newHashes = false;  // the checkpoints take their frames' hashes into the script file
};

void Usage() {
  std::fprintf(stderr,
               "usage: dorvik2-run [--module Dorvik2.so] --data DIR --portal DIR [--threaded]\n"
               "                   [--desktop 565|555|32] [--advance MS] [--registry FILE] [--wav FILE.wav]\n"
               "                   --out FILE.png\n"
               "       dorvik2-run [--module Dorvik2.so] --data DIR --portal DIR [--desktop 565|555|32]\n"
               "                   [--registry FILE] [--mark-text-cells | --new-hashes] --script GAME.txt --out-dir DIR\n");
}

// A registry file this layer wrote begins so; anything else is not ours to replace.
constexpr char kRegistryMagic[] = "DVRG";

// Why the file may not serve as the run's registry: it exists and is not one.
std::string NotARegistry(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return "";
  if (std::filesystem::is_directory(path, ec)) return "it is a folder";
  std::ifstream in(path, std::ios::binary);
  char magic[sizeof kRegistryMagic - 1] = {};
  if (std::filesystem::file_size(path, ec) == 0) return "";
  if (!in.read(magic, sizeof magic) || std::string(magic, sizeof magic) != kRegistryMagic)
    return "it is not a registry this host wrote";
  return "";
}

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string advance;
    if (a == "--module") {
      if (!value(o.module)) return false;
    } else if (a == "--data") {
      if (!value(o.data)) return false;
    } else if (a == "--portal") {
      if (!value(o.portal)) return false;
    } else if (a == "--registry") {
      if (!value(o.registry)) return false;
    } else if (a == "--out") {
      if (!value(o.out)) return false;
    } else if (a == "--wav") {
      if (!value(o.wav)) return false;
    } else if (a == "--script") {
      if (!value(o.script)) return false;
    } else if (a == "--out-dir") {
      if (!value(o.outDir)) return false;
    } else if (a == "--mark-text-cells") {
      o.markTextCells = true;
    } else if (a == "--new-hashes") {
      o.newHashes = true;
    } else if (a == "--threaded") {
      o.threaded = true;
    } else if (a == "--desktop") {
      if (!value(o.desktop) || !testhost::DesktopFormatNamed(o.desktop)) return false;
    } else if (a == "--advance") {
      if (!value(advance)) return false;
      char* end = nullptr;
      const unsigned long ms = std::strtoul(advance.c_str(), &end, 10);  // conventions: allow
      if (advance.empty() || *end || ms > 0x7FFFFFFFu) return false;
      o.advanceMs = static_cast<uint32_t>(ms);
    } else {
      return false;
    }
  }
  if (o.data.empty() || o.portal.empty()) return false;
  if (!o.registry.empty()) {
    if (const std::string why = NotARegistry(o.registry); !why.empty()) {
      std::fprintf(stderr, "dorvik2-run: --registry %s: %s\n", o.registry.c_str(), why.c_str());
      return false;
    }
  }
  if (!o.script.empty()) return !o.outDir.empty() && !o.threaded && !(o.markTextCells && o.newHashes);
  return !o.out.empty();
}

std::u16string Wide(const char* s) { return plat::Utf8ToUtf16(s); }

// The file's bytes, or false and the system's reason in `error`.
bool ReadFile(const std::string& path, std::string& text, std::string& error) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  if (in) all << in.rdbuf();
  if (!in || std::filesystem::is_directory(path)) {
    error = "cannot read " + path + ": " + (std::filesystem::is_directory(path) ? "it is a folder"
                                            : errno ? std::strerror(errno) : "unreadable");
    return false;
  }
  text = all.str();
  return true;
}

// The record of a scripted game: numbered frames as they come, their thumbnails, and
// the runner's notes, which join the host's transcript on the host's time.
class GameRecord {
 public:
  GameRecord(const testhost::TestHost& host, std::string outDir, const std::string& script, DWORD hostStart)
      : host_(host), outDir_(std::move(outDir)), hostStart_(hostStart) {
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      scriptLines_.push_back(line);
    }
  }

  std::string FramesDir() const { return outDir_ + "/frames"; }
  std::string SheetPath() const { return outDir_ + "/contact.png"; }
  std::string TranscriptPath() const { return outDir_ + "/transcript.txt"; }
  std::string SoundPath() const { return outDir_ + "/sound.wav"; }
  size_t Frames() const { return frames_; }
  bool WriteFailed() const { return writeFailed_; }

  void Frame(uint32_t scriptMs, const std::string& checkpoint) {
    const plat::sim::RgbImage picture = plat::sim::CaptureWindow(host_.GameWindow());
    if (picture.width <= 0) return;
    ++frames_;
    const std::string name = checkpoint.empty() ? std::to_string(scriptMs) + "ms" : checkpoint;
    char number[16];
    std::snprintf(number, sizeof number, "%03zu", frames_);
    if (!plat::sim::WritePng(picture, FramesDir() + "/" + number + "-" + name + ".png")) writeFailed_ = true;
    sheet_.Add(picture);
  }

  void Note(int line, const std::string& what) {
    std::string text = "script";
    if (line > 0) text += " line " + std::to_string(line);
    if (line > 0 && size_t(line) <= scriptLines_.size()) text += ": " + scriptLines_[size_t(line) - 1];
    if (!what.empty()) text += (line > 0 ? " -> " : ": ") + what;
    // Events fired come before what they cause at the same millisecond; checks after.
    notes_.push_back({GetTickCount() - hostStart_, what.empty() ? 0 : 2, notes_.size(), std::move(text)});
  }

  // The host's transcript and the runner's notes in one timeline.
  bool WriteTranscript(DWORD scriptStartMs, const std::string& outcome) const {
    std::vector<Line> lines = notes_;
    size_t seq = 0;
    for (const std::string& l : host_.Transcript()) {
      const uint32_t ms = uint32_t(std::strtoul(l.c_str(), nullptr, 10));  // conventions: allow
      const size_t text = l.find("ms  ");
      lines.push_back({ms, 1, seq++, text == std::string::npos ? l : l.substr(text + 4)});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
      if (a.ms != b.ms) return a.ms < b.ms;
      if (a.order != b.order) return a.order < b.order;
      return a.seq < b.seq;
    });
    std::ofstream out(TranscriptPath(), std::ios::binary);
    out << "# virtual ms since the host started; the script's time 0 is " << scriptStartMs << " ms\n";
    for (const Line& l : lines) {
      char ms[24];
      std::snprintf(ms, sizeof ms, "%8" PRIu32 " ms  ", l.ms);
      out << ms << l.text << "\n";
    }
    out << outcome << "\n";
    return bool(out);
  }

  bool WriteSheet() const { return plat::sim::WritePng(sheet_.Compose(), SheetPath()); }

 private:
  struct Line {
    uint32_t ms;
    int order;  // at equal times: events fired, host lines, the runner's checks
    size_t seq;
    std::string text;
  };
  const testhost::TestHost& host_;
  std::string outDir_;
  DWORD hostStart_;
  std::vector<std::string> scriptLines_;
  std::vector<Line> notes_;
  testhost::ContactSheet sheet_;
  size_t frames_ = 0;
  bool writeFailed_ = false;
};

// Plays the script on the started module; the game window is gone afterwards when it
// passed. Prints the record's paths; true only when the script passed and every file
// was written.
bool PlayScript(testhost::TestHost& host, const Options& o, DWORD hostStart) {
  std::string script, error;
  if (!ReadFile(o.script, script, error)) {
    std::fprintf(stderr, "dorvik2-run: %s\n", error.c_str());
    return false;
  }
  GameRecord record(host, o.outDir, script, hostStart);
  std::error_code ec;
  std::filesystem::remove_all(record.FramesDir(), ec);
  if (!std::filesystem::create_directories(record.FramesDir(), ec)) {
    std::fprintf(stderr, "dorvik2-run: cannot make %s: %s\n", record.FramesDir().c_str(), ec.message().c_str());
    return false;
  }
  testhost::ScriptRunner runner(host);
  std::string failure;
  if (!o.desktop.empty()) runner.SetDesktop(o.desktop);
  // Taking hashes rewrites the file the script came from, once it has played through.
  if (o.newHashes) runner.SetUpdateMode(true);
  if (!(o.newHashes ? runner.LoadFile(o.script, failure) : runner.Load(script, failure))) {
    std::fprintf(stderr, "dorvik2-run: %s: %s\n", o.script.c_str(), failure.c_str());
    return false;
  }
  runner.SetSoundFolder(testhost::SoundFolderOf(runner.Setup(), o.data));
  // Marked texts change every frame: the checkpoints take their frames unchecked.
  if (o.markTextCells) runner.SetUpdateMode(true);
  runner.OnFrame(kFramePeriodMs, [&](uint32_t ms, const std::string& checkpoint) { record.Frame(ms, checkpoint); });
  runner.OnNote([&](uint32_t, int line, const std::string& what) { record.Note(line, what); });
  // The sound of the game alone: what the build and set-up played stays out.
  plat::sim::ClearCapturedSound();
  const DWORD scriptStart = GetTickCount() - hostStart;
  const bool passed = runner.Run(failure);
  const uint32_t playedMs = GetTickCount() - hostStart - scriptStart;
  const std::string outcome = passed ? "script passed" : "script failed: " + failure;

  bool written = record.WriteTranscript(scriptStart, outcome) && !record.WriteFailed();
  const bool sheet = record.WriteSheet();
  written = written && sheet && plat::sim::WriteCapturedSound(record.SoundPath());
  std::printf("%s: %s\n", o.script.c_str(), outcome.c_str());
  std::printf("played: %u ms of virtual time\n", playedMs);
  std::printf("frames: %s (%zu)\n", record.FramesDir().c_str(), record.Frames());
  std::printf("contact sheet: %s\n", record.SheetPath().c_str());
  std::printf("sound: %s\n", record.SoundPath().c_str());
  std::printf("transcript: %s\n", record.TranscriptPath().c_str());
  if (o.registry.empty()) std::printf("registry: %s/registry.dat\n", o.outDir.c_str());
  if (!written) std::fprintf(stderr, "dorvik2-run: the record in %s is incomplete\n", o.outDir.c_str());
  return passed && written;
}

// What the module will read of the screen, as it reads it.
void PrintScreenDepth() {
  HDC screen = GetDC(nullptr);
  std::printf("screen: %d bits per pixel\n", GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
}

// A scripted game in the world its header names, from a fresh registry (the out folder's
// unless one is named), with every sound of the game captured.
int RunScripted(Options& o) {
  std::string script;
  testhost::ScriptSetup setup;
  std::string error;
  if (!ReadFile(o.script, script, error)) {
    std::fprintf(stderr, "dorvik2-run: %s\n", error.c_str());
    return 1;
  }
  if (!testhost::ReadScriptSetup(script, setup, error)) {
    std::fprintf(stderr, "dorvik2-run: %s %s\n", o.script.c_str(), error.c_str());
    return 1;
  }
  if (!o.desktop.empty()) setup.desktop = o.desktop;
  std::error_code ec;
  std::filesystem::create_directories(o.outDir, ec);
  // A checkpoint's frame that differs from its hash goes into the record too.
  const testhost::ScriptEnvironment environment{o.module, o.data, o.portal,
                                                o.registry.empty() ? o.outDir + "/registry.dat" : o.registry,
                                                o.outDir + "/differing", false};
  if (!testhost::PrepareLayer(setup, environment, error)) {
    std::fprintf(stderr, "dorvik2-run: %s: %s\n", o.script.c_str(), error.c_str());
    return 1;
  }
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  plat::sim::SetTextCellsMarked(o.markTextCells);
  std::printf("dorvik2-run: module %s, desktop %s, script %s\n", o.module.c_str(), setup.desktop.c_str(),
              o.script.c_str());
  PrintScreenDepth();
  const DWORD hostStart = GetTickCount();
  testhost::TestHost host;
  bool ok = testhost::StartModule(host, o.module, error);
  if (!ok) std::fprintf(stderr, "dorvik2-run: %s\n", error.c_str());
  ok = ok && PlayScript(host, o, hostStart);
  if (host.Client()) host.Destroy();
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    Usage();
    return 2;
  }
  if (!o.script.empty()) return RunScripted(o);
  if (o.desktop.empty()) o.desktop = "32";
  plat::sim::UseVirtualClock();
  plat::sim::SetRegistryFile(o.registry.empty() ? o.data + "/registry.dat" : o.registry);
  plat::sim::MapPathPrefix(kGameFolder, o.data);
  plat::sim::MapPathPrefix(kPortalFolder, o.portal);
  // Everything the module plays from its first call on, mixed as a sound card would.
  if (!o.wav.empty()) plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);

  // The desktop's format is fixed before the module first looks at the display.
  plat::sim::SetDesktopFormat(*testhost::DesktopFormatNamed(o.desktop));
  std::printf("dorvik2-run: module %s, %s, desktop %s, advance %u ms\n", o.module.c_str(),
              o.threaded ? "threaded" : "synchronous", o.desktop.c_str(), o.advanceMs);
  PrintScreenDepth();

  testhost::TestHost host;
  std::string error;
  if (!host.LoadModule(o.module, error)) {
    std::fprintf(stderr, "dorvik2-run: %s\n", error.c_str());
    return 1;
  }
  bool ok = host.Create() == 0;
  HWND game = ok ? host.Init(Wide(kGameFolder), Wide(kPortalFolder), o.threaded ? 1 : 0) : nullptr;
  ok = ok && game != nullptr;
  // Both modes end with the loader's sound set-up; the threaded one reports the build.
  if (ok && !host.WaitForLoader(kLoaderWaitRealMs)) {
    std::fprintf(stderr, "dorvik2-run: the loader did not end\n");
    ok = false;
  }
  // As a host does once the game is loaded: the screen is refreshed, which starts the
  // game's 50 ms tick and draws the whole table.
  if (ok) host.Client()->RefreshScreen(0);
  if (ok) host.Advance(o.advanceMs);
  if (ok && !host.WriteGamePicture(o.out, error)) {
    std::fprintf(stderr, "dorvik2-run: %s\n", error.c_str());
    ok = false;
  }
  if (host.Client() && host.Destroy() != 0) ok = false;
  host.Pump();
  std::string soundLine;
  if (!o.wav.empty()) {
    const size_t frames = plat::sim::CapturedSound().size() / 2;
    if (plat::sim::WriteCapturedSound(o.wav)) {
      soundLine = "sound: " + o.wav + ", " + std::to_string(frames * 1000 / plat::sim::kMixRate) + " ms";
    } else {
      std::fprintf(stderr, "dorvik2-run: cannot write %s\n", o.wav.c_str());
      ok = false;
    }
  }

  for (const std::string& line : host.Transcript()) std::printf("%s\n", line.c_str());
  if (ok) std::printf("picture: %s\n", o.out.c_str());
  if (ok && !soundLine.empty()) std::printf("%s\n", soundLine.c_str());
  return ok ? 0 : 1;
}
