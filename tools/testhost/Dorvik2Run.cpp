// dorvik2-run: loads the module, plays the host headless through one window life
// (create, initialise, let virtual time pass, capture the picture and, if asked, the
// sound, destroy) and prints what passed between host and module. Exit 0 only when the window was made and destroyed cleanly.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plat/codepage.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "testhost/TestHost.h"

namespace {

// Windows folders the host hands the module; the layer maps them to the given ones.
constexpr const char* kGameFolder = "C:\\Dorvik2\\Game\\";
constexpr const char* kPortalFolder = "C:\\Dorvik2\\Portal\\";
constexpr uint32_t kLoaderWaitRealMs = 30000;

struct Options {
  std::string module = DORVIK2_MODULE_FILE;
  std::string data;
  std::string portal;
  std::string registry;
  std::string out;
  std::string wav;  // empty: the sound goes nowhere
  bool threaded = false;
  std::string desktop = "32";
  uint32_t advanceMs = 1000;
};

void Usage() {
  std::fprintf(stderr,
               "usage: dorvik2-run [--module Dorvik2.so] --data DIR --portal DIR [--threaded]\n"
               "                   [--desktop 565|555|32] [--advance MS] [--registry FILE] [--wav FILE.wav]\n"
               "                   --out FILE.png\n");
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
  return !o.data.empty() && !o.portal.empty() && !o.out.empty();
}

std::u16string Wide(const char* s) { return plat::Utf8ToUtf16(s); }

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    Usage();
    return 2;
  }
  plat::sim::UseVirtualClock();
  plat::sim::SetRegistryFile(o.registry.empty() ? o.data + "/registry.dat" : o.registry);
  plat::sim::MapPathPrefix(kGameFolder, o.data);
  plat::sim::MapPathPrefix(kPortalFolder, o.portal);
  // Everything the module plays from its first call on, mixed as a sound card would.
  if (!o.wav.empty()) plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);

  // The desktop's format is fixed before the module first looks at the display.
  plat::sim::SetDesktopFormat(*testhost::DesktopFormatNamed(o.desktop));
  std::printf("dorvik2-run: module %s, %s, desktop %s, advance %u ms\n",
              o.module.c_str(), o.threaded ? "threaded" : "synchronous", o.desktop.c_str(), o.advanceMs);
  // What the module will read of the screen, as it reads it.
  HDC screen = GetDC(nullptr);
  std::printf("screen: %d bits per pixel\n", GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);

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
