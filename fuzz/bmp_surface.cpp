// Fuzz target: BMP bytes to a DirectDraw surface on a 5-6-5 display; an accepted file
// must give a surface of the header's size whose every pixel can be read back.
#include <cstdint>
#include <span>

#include "FuzzDirectDraw.h"
#include "base/DDBitmapFile.h"
#include "base/DDSurfacePixel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DDSurface surface;
  const HRESULT hr = ParseBmpToSurface(DirectDraw565(), surface, std::span<const uint8_t>(data, size));
  if (hr != S_OK) {
    if (hr != S_FALSE || surface) __builtin_trap();
    return 0;
  }
  const GSize s = GetSurfaceSize(surface);
  if (s.cx < 1 || s.cy < 1 || s.cx > bmpfile::kMaxSide || s.cy > bmpfile::kMaxSide) __builtin_trap();
  DWORD corner = 0;
  if (FAILED(GetSurfacePixel(surface, s.cx - 1, s.cy - 1, &corner)) || corner > 0xFFFF) __builtin_trap();
  return 0;
}
