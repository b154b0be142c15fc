// Realised fonts: a LOGFONTA resolved to FreeType faces at a pixel size, its text
// metrics, and monochrome glyphs from a process-wide cache keyed by face, size,
// weight, slant and code point.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/GdiObjects.h"
#include "plat/gdi_text.h"

namespace plat::detail::gdi {

struct Glyph {
  int32_t left = 0;  // bitmap's left edge from the pen position
  int32_t top = 0;   // bitmap's top row above the baseline
  int32_t width = 0, rows = 0, pitch = 0;
  std::vector<uint8_t> bits;  // 1 bit per pixel, leftmost pixel in the top bit
  int32_t advance = 0;
  bool Bit(int32_t x, int32_t y) const {
    return (bits[static_cast<size_t>(y) * static_cast<size_t>(pitch) + static_cast<size_t>(x >> 3)] >> (7 - (x & 7))) & 1;
  }
};

struct FontInstance {
  LOGFONTA logfont{};
  void* face = nullptr;      // FT_Face; null when the font file cannot be read
  void* fallback = nullptr;  // FT_Face for characters the face lacks
  int32_t em = 0;            // pixels per em
  int32_t ascent = 0, descent = 0;
  int32_t emboldenPixels = 0;  // synthetic bold
  bool italic = false, underline = false, strikeOut = false;
  TEXTMETRICA metrics{};

  const Glyph& GlyphOf(char32_t codePoint) const;
  int32_t Height() const { return ascent + descent; }
};

// Glyph of one code point and the line positions for decorations.
int32_t UnderlineOffset(const FontInstance& font);  // rows below the baseline
int32_t StrikeOutOffset(const FontInstance& font);  // rows above the baseline
int32_t DecorationThickness(const FontInstance& font);

}  // namespace plat::detail::gdi
