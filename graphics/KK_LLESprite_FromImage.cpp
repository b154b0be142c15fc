// Sprites made from images: a device-independent bitmap in memory, a GDI bitmap or a
// BMP file read in a given format, or a 32-bit TGA whose alpha shapes the runs.
#include <cstdint>

#include "graphics/KK_LLESprite.h"
#include "base/PixelFormat.h"
#include "graphics/K_DibDC.h"
#include "graphics/K_Dib_Image.h"

int32_t KK_LLESprite::CreateFromDIB(const K_DibHeader& info, const uint8_t* bits, int32_t format, uint32_t key) {
  Release();
  if (info.biClrUsed != 0 || !bits || info.biHeight == 0 || info.biWidth < 1) return 0;
  // A 5-6-5 image describes itself with masks; any other compression is refused.
  if (info.biCompression != BI_RGB &&
      !(info.biCompression == BI_BITFIELDS && info.FormatCode() == kk::kFormat565))
    return 0;
  const int32_t bpp = kk::BytesPerPixel(format);
  if (bpp == 0 || info.biBitCount != bpp * 8 || info.biWidth > kMaxSide) return 0;
  // biSizeImage may be 0 in a legal description; the pitch follows from the width.
  const int64_t pitch = ((int64_t(info.biWidth) * info.biBitCount + 31) / 32) * 4;
  return EncodeLLESprite(format, info.biWidth, info.biHeight, int32_t(pitch), bits, key);
}

int32_t KK_LLESprite::CreateFromBitmap(HBITMAP bitmap, int32_t format, uint32_t key) {
  Release();
  BITMAP size{};
  if (!bitmap || GetObjectA(bitmap, int32_t(sizeof size), &size) != int32_t(sizeof size)) return 0;
  K_Dib image;
  if (!image.Create(size.bmWidth, size.bmHeight, format, 1)) return 0;
  // GetDIBits writes its own size into the description it is given: hand it a copy.
  K_DibHeader request = *image.GetBitmapInfo();
  K_DibDC screen;
  if (!screen.WindowDC() || GetDIBits(screen.WindowDC(), bitmap, 0, UINT(image.Height()), image.GetBits(),
                                      request.Info(), DIB_RGB_COLORS) != image.Height())
    return 0;
  return CreateFromDIB(*image.GetBitmapInfo(), image.GetBits(), format, key);
}

int32_t KK_LLESprite::CreateFromImageFile(const char* fileName, int32_t format, uint32_t key) {
  Release();
  K_Dib_Image image;
  if (!image.LoadBMPFile(fileName, format)) return 0;
  return CreateFromDIB(*image.GetBitmapInfo(), image.GetBits(), image.GetBitmapInfo()->FormatCode(), key);
}

int32_t KK_LLESprite::CreateFromFile(const char* fileName, int32_t format) {
  Release();
  if (format == 8 || format == kk::kFormat24) return 0;
  K_Dib_Image image;
  if (!image.LoadTGA(fileName)) return 0;
  return CreateFromAlpha(image.Width(), -image.Height(), image.Pitch(), image.GetBits(), -1);
}
