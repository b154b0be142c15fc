// Test control of the simulated display: the desktop's pixel format, display-mode
// changes and lost surfaces as another program would cause them, injected DirectDraw
// failures, and frame capture (what a window or the desktop shows, as RGB and PNG).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"

struct IDirectDrawSurface4;

namespace plat::sim {

// ---- The display ----------------------------------------------------------------------
enum class DisplayFormat {
  Rgb565,    // 16 bits, 5-6-5
  Rgb555,    // 16 bits, 5-5-5 (the top bit unused)
  Xrgb8888,  // 32 bits, the top byte unused
  Rgb888,    // 24 bits: reported so that the module's refusal can be exercised
  Palette8,  // 8 bits, palette indices: the same
};

// The desktop's format (default Xrgb8888), chosen before the module starts. Outside an
// exclusive display mode this is also the current mode; changing it is a mode change.
// The desktop's size is the window system's (SetDesktopSize), read here and by
// ResetDisplay.
void SetDesktopFormat(DisplayFormat format);
DisplayFormat DesktopFormat();

struct DisplayMode {
  int width = 0;
  int height = 0;
  DisplayFormat format = DisplayFormat::Xrgb8888;
};
DisplayMode CurrentDisplayMode();

// Another program (or the user) changes the display mode: every primary surface is
// lost and restores with DDERR_WRONGMODE, and every existing DirectDraw object answers
// TestCooperativeLevel with DDERR_WRONGMODE until it is made again.
void ChangeDisplayMode(int width, int height, DisplayFormat format);
// Surfaces not in system memory (the primary, its flip chain, video-memory surfaces)
// are lost: DDERR_SURFACELOST until Restore.
void LoseSurfaces();
// Another program holds (or gives up) exclusive mode: SetCooperativeLevel(EXCLUSIVE)
// answers DDERR_EXCLUSIVEMODEALREADYSET, TestCooperativeLevel answers it for a normal
// object and DDERR_NOEXCLUSIVEMODE for an object that was exclusive.
void SetExclusiveHeldElsewhere(bool held);
// The next `count` surface restores fail (DDERR_GENERIC). Same as
// FailNext("IDirectDrawSurface4::Restore", count).
void FailNextRestore(uint32_t count = 1);
// The next `count` Blt, BltFast, Flip or Lock calls answer DDERR_WASSTILLDRAWING
// (whatever their wait flags), one call each.
void SetStillDrawing(uint32_t count);
// DirectDrawCreate fails with DDERR_NODIRECTDRAWHW while unavailable.
void SetDirectDrawAvailable(bool available);

// Forgets every mode change, exclusive owner and armed control and goes back to the
// desktop format given (test isolation). Live objects stay usable but are detached
// from the display (primaries lost, objects in the wrong mode).
void ResetDisplay(DisplayFormat desktop = DisplayFormat::Xrgb8888);

// Live objects (for leak checks).
uint32_t LiveDirectDrawObjects();
uint32_t LiveSurfaces();
uint32_t LiveClippers();
uint32_t LivePalettes();

// ---- Frame capture ----------------------------------------------------------------------
// An RGB picture: 3 bytes per pixel (red, green, blue), rows top-down, no padding.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// What a window shows (its backing store with its visible children on top); empty for
// a window that does not exist.
RgbImage CaptureWindow(HWND hwnd);
// The whole desktop: the windows bottom to top over the desktop background.
RgbImage CaptureDesktop();
// The pixels of a surface, converted from its format; empty for a lost surface.
RgbImage CaptureSurface(IDirectDrawSurface4* surface);

// A stable 16-hex-digit hash of the size and the pixels.
std::string HashImage(const RgbImage& image);
// Writes a PNG file; false when it cannot be written.
bool WritePng(const RgbImage& image, const std::string& path);

struct FrameCheck {
  bool matches = false;
  std::string actualHash;
  std::string actualPath;    // written only on a mismatch
  std::string expectedPath;  // copied only on a mismatch and when a picture was given
};
// Compares the image's hash with the expected one. On a mismatch the actual picture is
// written as "<name>.actual.png" under the frame folder, and, when `expectedPng` names
// an existing file, that file is copied beside it as "<name>.expected.png".
FrameCheck CheckFrame(const RgbImage& image, const std::string& name, const std::string& expectedHash,
                      const std::string& expectedPng = "");
// Where CheckFrame writes: by default "frames" beside the running program (the build
// folder of a test).
void SetFrameFolder(const std::string& folder);
std::string FrameFolder();

}  // namespace plat::sim
