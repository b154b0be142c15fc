// Text runs: decoding, advances with tab stops, and glyph drawing. Glyph pixels are
// written only inside the pieces of the clip they overlap; a smoothed edge mixes the
// text colour with the pixel under it by the edge's level.
#include "gdi/TextRender.h"

#include <algorithm>
#include <string_view>

#include "gdi/Blit.h"
#include "plat/codepage.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

int32_t Advance(const FontInstance& font, const TextChar& c, const RunStyle& style, int32_t pen, size_t index) {
  if (style.dx) return style.dx[index];
  if (c.cp == U'\t' && style.tabWidth > 0) {
    const int64_t rel = static_cast<int64_t>(pen) - style.tabOrigin;
    const int64_t next = (rel / style.tabWidth + 1) * style.tabWidth;
    return static_cast<int32_t>(next - rel);
  }
  return font.GlyphOf(c.cp).advance;
}

int32_t Sat(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// The text colour over the device value `under`, `cover` of 255 parts.
uint32_t Mix(const PixelBuffer& target, uint32_t under, COLORREF color, uint32_t cover) {
  const COLORREF back = DeviceToColor(target, under);
  const auto channel = [cover](uint32_t fore, uint32_t behind) {
    return static_cast<BYTE>((fore * cover + behind * (255 - cover) + 127) / 255);
  };
  return ColorToDevice(target, RGB(channel(GetRValue(color), GetRValue(back)), channel(GetGValue(color), GetGValue(back)),
                                   channel(GetBValue(color), GetBValue(back))));
}

}  // namespace

std::vector<TextChar> DecodeCp949(const char* text, size_t bytes) {
  std::vector<TextChar> out;
  if (!text) return out;
  const std::string_view all(text, bytes);
  out.reserve(bytes);
  size_t i = 0;
  while (i < bytes) {
    const auto b = static_cast<BYTE>(all[i]);
    if (b < 0x80) {
      out.push_back({b});
      ++i;
      continue;
    }
    if (IsDBCSLeadByte(b) && i + 1 == bytes) break;  // the orphan lead byte of a cut character
    const size_t len = plat::Cp949CharLength(all.substr(i));
    const std::u16string wide = plat::Cp949ToUtf16(all.substr(i, len));
    out.push_back({wide.empty() ? U'?' : static_cast<char32_t>(wide[0])});
    i += len;
  }
  return out;
}

std::shared_ptr<FontInstance> CurrentFont(const DeviceContext& dc) {
  return dc.state.font ? Realise(*dc.state.font) : nullptr;
}

int32_t RunWidth(const FontInstance& font, const TextChar* chars, size_t n, const RunStyle& style, int32_t x) {
  int64_t pen = x;
  for (size_t i = 0; i < n; ++i) pen += Advance(font, chars[i], style, Sat(pen), i);
  return Sat(pen - x);
}

void FillClipped(const DeviceContext& dc, RECT rect, const RECT* clip, COLORREF color) {
  if (clip) rect = Intersect(rect, *clip);
  if (rect.left < rect.right && rect.top < rect.bottom) FillSolid(dc, rect, color);
}

int32_t DrawRun(const DeviceContext& dc, const FontInstance& font, int32_t x, int32_t top, const TextChar* chars,
                size_t n, const RunStyle& style) {
  if (TextCellsMarked()) {
    const int32_t width = RunWidth(font, chars, n, style, x);
    FillClipped(dc, RECT{x, top, Sat(int64_t(x) + width), Sat(int64_t(top) + font.Height())}, style.clip,
                plat::sim::kTextCellMark);
    return width;
  }
  const PixelBuffer& target = dc.Target();
  const uint32_t value = ColorToDevice(target, style.color);
  const GlyphEdge edge = EdgeFor(font, target.bpp);
  const int64_t baseline = static_cast<int64_t>(top) + font.ascent;
  const int32_t thickness = DecorationThickness(font);
  int64_t pen = x;
  for (size_t i = 0; i < n; ++i) {
    const Glyph& g = font.GlyphOf(chars[i].cp, edge);
    const int32_t advance = Advance(font, chars[i], style, Sat(pen), i);
    if (g.rows > 0 && chars[i].cp != U'\t') {
      const int64_t gx = pen + g.left, gy = baseline - g.top;
      RECT box{Sat(gx), Sat(gy), Sat(gx + g.width), Sat(gy + g.rows)};
      if (style.clip) box = Intersect(box, *style.clip);
      if (box.left < box.right && box.top < box.bottom) {
        dc.ForEachVisible(box, [&](const RECT& c) {
          for (int32_t y = c.top; y < c.bottom; ++y) {
            for (int32_t px = c.left; px < c.right; ++px) {
              const uint8_t cover = g.Cover(static_cast<int32_t>(px - gx), static_cast<int32_t>(y - gy));
              if (cover == 255) {
                WritePixel(target, px, y, value);
              } else if (cover != 0) {
                WritePixel(target, px, y, Mix(target, ReadPixel(target, px, y), style.color, cover));
              }
            }
          }
        });
      }
    }
    if (chars[i].underline) {
      const int64_t uy = baseline + UnderlineOffset(font);
      FillClipped(dc, RECT{Sat(pen), Sat(uy), Sat(pen + advance), Sat(uy + thickness)}, style.clip, style.color);
    }
    pen += advance;
  }
  const int32_t width = Sat(pen - x);
  if (font.underline) {
    const int64_t uy = baseline + UnderlineOffset(font);
    FillClipped(dc, RECT{x, Sat(uy), Sat(pen), Sat(uy + thickness)}, style.clip, style.color);
  }
  if (font.strikeOut) {
    const int64_t sy = baseline - StrikeOutOffset(font);
    FillClipped(dc, RECT{x, Sat(sy), Sat(pen), Sat(sy + thickness)}, style.clip, style.color);
  }
  return width;
}

}  // namespace plat::detail::gdi
