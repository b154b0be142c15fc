// BMP files into new system-memory surfaces in the screen's pixel format: every bitmap
// entry of the resource manager is loaded this way. The file read and the byte parser
// are separate so that tests and the fuzzer drive the parser directly.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/DDSurfaceUtil.h"

namespace bmpfile {
constexpr size_t kMinFileSize = 54;
constexpr uint32_t kMinInfoSize = 40;
constexpr int32_t kMaxSide = 16384;
// Files above this are refused before they are read whole.
constexpr int64_t kMaxFileSize = int64_t{512} << 20;
}  // namespace bmpfile

// 0 with a new surface in `out`; 1 (S_FALSE) when the bytes are refused or no surface
// can be made, `out` then left as it was. Needs an empty `out` and a DirectDraw object.
// Depths 1 and 2 give a blank surface and 0.
HRESULT ParseBmpToSurface(const DDObject& dd, DDSurface& out, std::span<const uint8_t> bytes);
// The file through the layer's stdio opener, then ParseBmpToSurface; a missing or
// unreadable file gives 1.
HRESULT LoadFileSurface(const DDObject& dd, DDSurface& out, const std::string& path);
