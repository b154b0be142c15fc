// Fuzz target: BMP bytes to a device bitmap for the GDI bitmap cache. An accepted file
// must hand GDI rows that lie inside the bytes (or the expanded buffer) and give a
// bitmap of the header's size; a refused one makes no GDI object.
#include <cstdint>
#include <span>

#include "graphics/GdiCache.h"
#include "plat/sim_gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  GdiBmpImage image;
  const bool accepted = ParseGdiBmp(bytes, image);
  if (accepted) {
    const BITMAPINFOHEADER& h = image.info.header;
    const int64_t rows = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
    const uint64_t row = ((uint64_t{h.biBitCount} * static_cast<uint64_t>(h.biWidth) + 31) / 32) * 4;
    if (image.bits.size() != row * static_cast<uint64_t>(rows)) __builtin_trap();
    const bool inFile = image.bits.data() >= data && image.bits.data() + image.bits.size() <= data + size;
    const bool inExpanded = !image.expanded.empty() && image.bits.data() == image.expanded.data();
    if (!inFile && !inExpanded) __builtin_trap();
  }
  const size_t objects = plat::sim::LiveGdiObjects();
  HBITMAP made = CreateBmpBitmap(bytes);
  if (!made) {
    if (plat::sim::LiveGdiObjects() != objects) __builtin_trap();
    return 0;
  }
  if (!accepted) __builtin_trap();
  BITMAP bm{};
  if (GetObjectA(made, sizeof bm, &bm) != sizeof bm || bm.bmWidth != image.info.header.biWidth) __builtin_trap();
  DeleteObject(made);
  return 0;
}
