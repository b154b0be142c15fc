// Realised fonts: a LOGFONTA resolved to FreeType faces at a pixel size, its text
// metrics, and glyphs, hard-edged or smoothed, from a process-wide cache keyed by face,
// size, weight, slant, code point and edge.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/GdiObjects.h"
#include "plat/gdi_text.h"

namespace plat::detail::gdi {

// Hard glyphs are fitted to whole pixels; smoothed ones carry grey edge levels.
enum class GlyphEdge : uint8_t { Hard, Smoothed };

struct Glyph {
  int32_t left = 0;  // bitmap's left edge from the pen position
  int32_t top = 0;   // bitmap's top row above the baseline
  int32_t width = 0, rows = 0;
  std::vector<uint8_t> cover;  // per pixel, rows top-down: 0 none .. 255 full (hard: 0 or 255)
  int32_t advance = 0;
  uint8_t Cover(int32_t x, int32_t y) const {
    return cover[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
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
  bool grayAllowed = true;     // the face's size table lets this size be grey
  TEXTMETRICA metrics{};

  // A smoothed glyph takes the hard one's advance, so text measures and spaces the
  // same whether or not it is smoothed where it is drawn.
  const Glyph& GlyphOf(char32_t codePoint, GlyphEdge edge = GlyphEdge::Hard) const;
  int32_t Height() const { return ascent + descent; }
};

// The edge a run of this font takes on a target of `bitsPerPixel`, under the system's
// smoothing setting.
GlyphEdge EdgeFor(const FontInstance& font, int bitsPerPixel);

// Line positions for decorations.
int32_t UnderlineOffset(const FontInstance& font);  // rows below the baseline
int32_t StrikeOutOffset(const FontInstance& font);  // rows above the baseline
int32_t DecorationThickness(const FontInstance& font);

}  // namespace plat::detail::gdi
