// The DirectDraw object the surface fuzz targets draw with: one 5-6-5 display, made on
// first use and kept for the process.
#pragma once

#include "plat/sim_display.h"
#include "base/DDSurfaceUtil.h"

inline DDObject& DirectDraw565() {
  static DDObject* dd = [] {
    plat::sim::ResetDisplay(plat::sim::DisplayFormat::Rgb565);
    auto* made = new DDObject;
    if (FAILED(CreateDirectDraw4(*made)) || FAILED((*made)->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
      __builtin_trap();
    return made;
  }();
  return *dd;
}
