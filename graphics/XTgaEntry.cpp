// The TGA reader and entry.
#include "graphics/XTgaEntry.h"

#include <utility>

#include "base/ByteReader.h"
#include "graphics/EntrySurfaceFill.h"
#include "graphics/KFileHandle.h"

namespace {
constexpr uint8_t kTypeColourMapped = 1;
// The largest file a picture of kMaxTgaPixels at 32 bits can be, with room for the
// ID field and a colour map.
constexpr size_t kMaxTgaFileBytes = static_cast<size_t>(kMaxTgaPixels) * 4 + 0x40000;

TgaImage Failed(TgaImage image, int32_t status) {
  image.status = status;
  image.pixels.clear();
  return image;
}
}  // namespace

TgaImage LoadTgaFile(std::span<const uint8_t> bytes) {
  TgaImage image;
  ByteReader in(bytes);
  const uint8_t idLength = in.U8();
  const uint8_t mapType = in.U8();
  image.type = in.U8();
  in.U16();  // first colour-map index
  const uint16_t mapLength = in.U16();
  const uint8_t mapEntryBits = in.U8();
  in.U16(), in.U16();  // origin
  image.width = in.I16();
  image.height = in.I16();
  image.depth = in.U8();
  in.U8();  // descriptor: rows are taken bottom row first whatever it says
  if (in.Failed()) return Failed(image, kTgaReadError);
  if (image.type == kTypeColourMapped) return Failed(image, kTgaColourMapped);
  if (image.type != kTgaTypeTrueColour && image.type != kTgaTypeGrey) return Failed(image, kTgaOtherType);
  if (image.width < 1 || image.height < 1) return Failed(image, kTgaReadError);
  const int64_t count = int64_t{image.width} * image.height;
  if (count > kMaxTgaPixels) return Failed(image, kTgaTooLarge);
  in.Skip(idLength);
  if (mapType != 0) in.Skip(size_t{mapLength} * ((size_t{mapEntryBits} + 7) / 8));
  const size_t pixelBytes = image.depth / 8;
  const auto data = in.Bytes(static_cast<size_t>(count) * pixelBytes);
  if (in.Failed()) return Failed(image, kTgaReadError);
  image.pixels.assign(data.begin(), data.end());
  if (pixelBytes > 2) {
    for (size_t i = 0; i + pixelBytes <= image.pixels.size(); i += pixelBytes)
      std::swap(image.pixels[i], image.pixels[i + 2]);
  }
  image.status = kTgaLoaded;
  return image;
}

TgaImage LoadTgaFile(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  bool openFailed = false;
  if (kk::ReadFileBytes(fileName.c_str(), kMaxTgaFileBytes, bytes, &openFailed)) return LoadTgaFile(bytes);
  TgaImage image;
  image.status = openFailed ? kTgaCannotOpen : kTgaReadError;
  return image;
}

HRESULT XTgaEntry::Load(DDObject newDd, COLORREF) {
  dd = std::move(newDd);
  surface = nullptr;
  alpha.clear();
  hasAlpha = 0;
  return LoadImage(dd, LoadTgaFile(fileName_));
}

HRESULT XTgaEntry::LoadImage(const DDObject& useDd, const TgaImage& image) {
  surface = nullptr;
  alpha.clear();
  hasAlpha = 0;
  // Only 24 and 32 bits carry the three colour bytes the conversion reads.
  if (image.status != kTgaLoaded || image.type != kTgaTypeTrueColour || (image.depth != 24 && image.depth != 32))
    return S_FALSE;
  const int32_t w = image.width, h = image.height;
  const size_t pixelBytes = image.depth / 8;
  if (w < 1 || h < 1 || image.pixels.size() < static_cast<size_t>(w) * static_cast<size_t>(h) * pixelBytes)
    return S_FALSE;
  const bool withAlpha = image.depth == 32;
  std::vector<uint8_t> plane(withAlpha ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0);
  const HRESULT hr = FillNewEntrySurface(useDd, GSize(w, h), surface, [&](int32_t y, const EntryRow& row) {
    const uint8_t* src = image.pixels.data() + static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) * pixelBytes;
    uint8_t* planeRow = withAlpha ? plane.data() + static_cast<size_t>(y) * static_cast<size_t>(w) : nullptr;
    for (int32_t x = 0; x < w; ++x, src += pixelBytes) {
      row.Put(x, src[0], src[1], src[2]);
      if (planeRow) planeRow[x] = src[3];
    }
  });
  if (hr != S_OK) return S_FALSE;
  size = GSize(w, h);
  hasAlpha = withAlpha ? 1 : 0;
  alpha = std::move(plane);
  return S_OK;
}

std::unique_ptr<XTgaEntry> XTgaEntry::Named(const std::string& name) {
  auto entry = std::make_unique<XTgaEntry>();
  entry->kind = kEntryTga;
  entry->SetFileName(name);
  return entry;
}
