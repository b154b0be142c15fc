// TGA pictures for the resource manager: a reader of uncompressed true-colour files
// into a record with a status code, and the entry that puts the picture on a surface
// in the screen's format, keeping a 32-bit file's fourth bytes as an alpha plane.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "graphics/XBaseEntry.h"

enum TgaStatus : int32_t {
  kTgaLoaded = 0,
  kTgaCannotOpen = 1,
  kTgaReadError = 2,    // a short file, or a width or height below 1
  kTgaColourMapped = 3,
  kTgaTooLarge = 4,     // more pixels than kMaxTgaPixels
  kTgaOtherType = 5,    // neither true colour (2) nor grey (3), run-length types included
};

constexpr uint8_t kTgaTypeTrueColour = 2;
constexpr uint8_t kTgaTypeGrey = 3;
// Pictures are screen-sized; anything larger is refused before memory is taken.
constexpr int64_t kMaxTgaPixels = int64_t{4096} * 4096;

struct TgaImage {
  int32_t status = kTgaCannotOpen;
  uint8_t type = 0;
  uint8_t depth = 0;  // bits per pixel
  int16_t width = 0;
  int16_t height = 0;
  // width x height x (depth / 8) bytes, rows as stored (bottom row first); pixels of
  // three or more bytes have their first and third bytes exchanged (red, green, blue).
  std::vector<uint8_t> pixels;
};

// The ID field and the colour map are skipped; the origin bit is not consulted.
TgaImage LoadTgaFile(std::span<const uint8_t> bytes);
// The file read once through the layer; status 1 when it cannot be opened.
TgaImage LoadTgaFile(const std::string& fileName);

class XTgaEntry : public XBaseEntry {
 public:
  // 0, or 1 for every failure (the entry is then kept without a surface).
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  // The conversion alone: true-colour 24- and 32-bit images only.
  HRESULT LoadImage(const DDObject& dd, const TgaImage& image);

  void SetFileName(const std::string& name) { fileName_ = name; }
  const char* GetFileName() const { return fileName_.c_str(); }
  const std::string* FileName() const override { return &fileName_; }

  static std::unique_ptr<XTgaEntry> Named(const std::string& name);

 private:
  std::string fileName_;
};
