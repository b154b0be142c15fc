// Shared by the text functions: CP949 decoding per call, measuring and drawing a run
// of characters in a realised font through a DC's clip.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "gdi/DeviceContext.h"
#include "gdi/FontEngine.h"

namespace plat::detail::gdi {

struct TextChar {
  char32_t cp = 0;
  bool underline = false;  // the mnemonic of a DrawTextA prefix
};

// Characters of the byte range; a range that ends inside a double-byte character
// drops the orphan lead byte.
std::vector<TextChar> DecodeCp949(const char* text, size_t bytes);
std::shared_ptr<FontInstance> CurrentFont(const DeviceContext& dc);

struct RunStyle {
  COLORREF color = 0;
  const RECT* clip = nullptr;  // further clip besides the DC's
  const INT* dx = nullptr;     // explicit advances (ExtTextOutA)
  int32_t tabWidth = 0;        // 0: a tab is an ordinary character
  int32_t tabOrigin = 0;
};

// Advance of each character from `x`, tabs expanded when the style says so.
int32_t RunWidth(const FontInstance& font, const TextChar* chars, size_t n, const RunStyle& style, int32_t x);
// Draws glyphs with their top of cell at `top`; returns the run's width.
int32_t DrawRun(const DeviceContext& dc, const FontInstance& font, int32_t x, int32_t top, const TextChar* chars,
                size_t n, const RunStyle& style);
// The test switch that turns text runs into their marked cells.
bool TextCellsMarked();
// Fills `rect` (further clipped by `clip` when given) with a colour.
void FillClipped(const DeviceContext& dc, RECT rect, const RECT* clip, COLORREF color);

}  // namespace plat::detail::gdi
