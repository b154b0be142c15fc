// The BMP file reader behind LoadImageA: every header field and size is checked
// before use, so a truncated or lying file fails without reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plat/gdi.h"

namespace plat::detail::gdi {

struct BmpImage {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows top-down
  int bpp = 0;
  bool bitfields = false;
  uint32_t masks[3] = {};
  std::vector<RGBQUAD> palette;
  const uint8_t* pixels = nullptr;  // inside the file bytes, stride x |height| bytes
  int32_t stride = 0;
};

// Largest file the loader reads.
constexpr size_t kMaxBmpFileBytes = 64u << 20;

// False with `error` ERROR_INVALID_DATA (run-length, damaged or lying headers) or
// ERROR_BAD_FORMAT (not a BMP file).
bool ReadBmp(const uint8_t* data, size_t size, BmpImage& out, DWORD& error);
// A packed DIB (info header, colour table, pixels: a bitmap resource) read the same way.
bool ReadPackedDib(const uint8_t* data, size_t size, BmpImage& out, DWORD& error);

}  // namespace plat::detail::gdi
