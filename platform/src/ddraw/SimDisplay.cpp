// Test control of the simulated display.
#include "ddraw/Display.h"
#include "ddraw/Surface.h"
#include "plat/sim.h"
#include "plat/sim_display.h"

namespace plat::sim {

using detail::ddraw::FormatOf;
using detail::ddraw::LockDisplay;
using detail::ddraw::TheDisplay;

void SetDesktopFormat(DisplayFormat format) {
  auto& d = TheDisplay();
  auto lock = LockDisplay();
  const bool desktopShowing = d.exclusiveOwner == 0;
  d.desktopFormat = format;
  if (desktopShowing && !DesktopModeIsCurrentLocked(d)) SetDesktopModeLocked(d);
}

DisplayFormat DesktopFormat() {
  auto lock = LockDisplay();
  return TheDisplay().desktopFormat;
}

DisplayMode CurrentDisplayMode() {
  auto& d = TheDisplay();
  auto lock = LockDisplay();
  return DisplayMode{d.width, d.height, d.format.kind};
}

void ChangeDisplayMode(int width, int height, DisplayFormat format) {
  auto lock = LockDisplay();
  SetModeLocked(TheDisplay(), width, height, FormatOf(format));
}

void LoseSurfaces() {
  auto& d = TheDisplay();
  auto lock = LockDisplay();
  for (auto* s : d.surfaces)
    if (!s->InSystemMemory()) s->MarkLostLocked();
}

void SetExclusiveHeldElsewhere(bool held) {
  auto lock = LockDisplay();
  TheDisplay().heldElsewhere = held;
}

void FailNextRestore(uint32_t count) { FailNext("IDirectDrawSurface4::Restore", count); }

void SetStillDrawing(uint32_t count) {
  auto lock = LockDisplay();
  TheDisplay().stillDrawing = count;
}

void SetDirectDrawAvailable(bool available) {
  auto lock = LockDisplay();
  TheDisplay().available = available;
}

void ResetDisplay(DisplayFormat desktop) {
  auto& d = TheDisplay();
  auto lock = LockDisplay();
  d.desktopFormat = desktop;
  d.exclusiveOwner = 0;
  d.exclusiveWindow = nullptr;
  d.heldElsewhere = false;
  d.stillDrawing = 0;
  d.available = true;
  SetDesktopModeLocked(d);
}

uint32_t LiveDirectDrawObjects() { return TheDisplay().liveObjects; }
uint32_t LiveClippers() { return TheDisplay().liveClippers; }
uint32_t LivePalettes() { return TheDisplay().livePalettes; }

uint32_t LiveSurfaces() {
  auto lock = LockDisplay();
  return static_cast<uint32_t>(TheDisplay().surfaces.size());
}

}  // namespace plat::sim
