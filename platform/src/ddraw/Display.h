// The simulated display: the desktop format, the current mode and its pixels (what
// the primary surface shows), the exclusive owner, and the test controls. One lock
// guards it and every DirectDraw object's state; blits run under it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "ddraw/Blitter.h"
#include "ddraw/PixelFormat.h"
#include "plat/types.h"

namespace plat::detail::ddraw {

class Surface;

struct Display {
  std::recursive_mutex mutex;
  DisplayFormat desktopFormat = DisplayFormat::Xrgb8888;
  int width = 0;
  int height = 0;
  PixelFormat format;
  // Bumped by every mode change: primaries and DirectDraw objects remember the value
  // they were made in.
  uint64_t generation = 0;
  std::vector<uint8_t> pixels;
  // Bumped whenever `pixels` is replaced (mode changes, flips), so GDI's view of the
  // screen knows when to look again.
  uint64_t memoryVersion = 0;
  int pitch = 0;
  uint64_t exclusiveOwner = 0;  // id of the DirectDraw object, 0 when none
  HWND exclusiveWindow = nullptr;
  bool heldElsewhere = false;
  uint32_t stillDrawing = 0;
  bool available = true;
  std::vector<Surface*> surfaces;  // live surfaces, for RestoreAllSurfaces
  uint64_t nextId = 1;
  std::atomic<uint32_t> liveObjects{0};
  std::atomic<uint32_t> liveClippers{0};
  std::atomic<uint32_t> livePalettes{0};
};

// Made on first use with the desktop's size and format.
Display& TheDisplay();
using DisplayLock = std::unique_lock<std::recursive_mutex>;
DisplayLock LockDisplay();

// Caller holds the lock.
void SetModeLocked(Display& d, int width, int height, const PixelFormat& format);
bool DesktopModeIsCurrentLocked(const Display& d);
void SetDesktopModeLocked(Display& d);
// True (and counts one down) when the next drawing call must answer "still drawing".
bool TakeStillDrawingLocked(Display& d);
PixelView FramebufferView(Display& d);

// Rows padded beyond width x bytes, so code that ignores the pitch shows it.
int PaddedPitch(int width, int bytes);
// The fill of new and restored memory: a pattern nobody draws by accident.
void FillPattern(const PixelView& view);

// The window system's desktop changed size: while the desktop shows (no exclusive
// mode) the display takes the new size, which is a mode change.
void FollowDesktopSize();

}  // namespace plat::detail::ddraw
