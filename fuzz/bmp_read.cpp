// Fuzz target for the BMP reader behind LoadImageA: any bytes must give a bitmap whose
// pixels can be read back, or a null handle with an error, never a read past the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "plat/winuser.h"

namespace {

const std::string& FilePath() {
  static const std::string* path = new std::string((FuzzScratchFolder("fuzz-bmp") / "input.bmp").string());
  return *path;
}

void ReadBack(HBITMAP bm) {
  BITMAP b{};
  if (GetObjectA(bm, sizeof(b), &b) != static_cast<int>(sizeof(b)) || b.bmWidth <= 0 || b.bmHeight <= 0) {
    std::fprintf(stderr, "a loaded bitmap has no size\n");
    std::abort();
  }
  BITMAPINFO info{};
  info.bmiHeader = {40, b.bmWidth, -b.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(static_cast<size_t>(b.bmWidth) * static_cast<size_t>(b.bmHeight));
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bm, 0, static_cast<UINT>(b.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != b.bmHeight) {
    std::fprintf(stderr, "GetDIBits read %d of %d rows\n", rows, b.bmHeight);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ofstream(FilePath(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  for (UINT flags : {LR_LOADFROMFILE | LR_CREATEDIBSECTION, LR_LOADFROMFILE}) {
    SetLastError(0);
    HANDLE h = LoadImageA(nullptr, FilePath().c_str(), IMAGE_BITMAP, 0, 0, flags);
    if (!h) {
      if (GetLastError() == 0) {
        std::fprintf(stderr, "a refused file left no error\n");
        std::abort();
      }
      continue;
    }
    ReadBack(static_cast<HBITMAP>(h));
    DeleteObject(h);
  }
  return 0;
}
