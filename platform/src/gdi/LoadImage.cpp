// LoadImageA and LoadBitmapA for bitmaps: a BMP file or a bitmap resource becomes a
// DIB section in the file's own format, or a bitmap in the display's format.
#include <cstring>

#include "core/Faults.h"
#include "gdi/BmpReader.h"
#include "gdi/DeviceContext.h"
#include "gdi/FileSource.h"
#include "plat/error.h"

namespace plat::detail::gdi {
std::shared_ptr<BitmapObject> NewBitmapLike(const PixelBuffer& like, int32_t width, int32_t height);
}

using namespace plat::detail::gdi;

namespace {

HBITMAP MakeBitmap(const BmpImage& image, int cx, int cy, UINT flags) {
  PixelBuffer src;
  SetFormat(src, image.width, image.height < 0 ? -image.height : image.height, image.bpp, image.masks);
  src.palette = image.palette;
  src.topDown = image.height < 0;
  src.bits = const_cast<uint8_t*>(image.pixels);
  const int32_t width = cx > 0 ? cx : src.width;
  const int32_t height = cy > 0 ? cy : src.height;

  std::shared_ptr<BitmapObject> bm;
  if (flags & LR_CREATEDIBSECTION) {
    bm = NewBitmap(width, height, image.bpp, image.masks);
    if (!bm) return nullptr;
    bm->pixels.palette = image.palette;
    bm->pixels.topDown = src.topDown;
    bm->dibSection = true;
    BITMAPINFOHEADER& h = bm->dibHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    // Rows counted, whatever their order, as every section's description gives them.
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(image.bpp);
    h.biCompression = image.bitfields ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(bm->pixels.ByteSize());
    h.biClrUsed = image.bpp <= 8 ? static_cast<DWORD>(image.palette.size()) : 0;
  } else if (flags & LR_MONOCHROME) {
    bm = NewBitmap(width, height, 1, nullptr);
  } else {
    bm = NewBitmapLike(DisplayFormat(), width, height);
  }
  if (!bm) return nullptr;
  CopyScaled(src, bm->pixels);
  return static_cast<HBITMAP>(InsertObject(std::move(bm)));
}

}  // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (type != IMAGE_BITMAP || !name || cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (plat::detail::ShouldFail("LoadImageA")) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::vector<uint8_t> bytes;
  DWORD error = 0;
  BmpImage image;
  const bool fromFile = (flags & LR_LOADFROMFILE) != 0;
  const bool read = fromFile ? ReadWholeFile(name, kMaxBmpFileBytes, bytes, error)
                             : ReadBitmapResource(instance, name, bytes, error);
  if (!read || !(fromFile ? ReadBmp(bytes.data(), bytes.size(), image, error)
                          : ReadPackedDib(bytes.data(), bytes.size(), image, error))) {
    SetLastError(error);
    return nullptr;
  }
  return MakeBitmap(image, cx, cy, flags);
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}
