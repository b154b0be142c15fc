// DrawTextA: prefix handling, line breaks, word wrapping, tab expansion, alignment,
// clipping and DT_CALCRECT, laid out with our own glyph advances.
#include <algorithm>
#include <cstring>

#include "gdi/TextRender.h"
#include "gdi/WindowDC.h"
#include "plat/error.h"

using namespace plat::detail::gdi;

namespace {

constexpr int32_t kTabStopChars = 8;

using Line = std::vector<TextChar>;

// `&x` underlines x and `&&` prints one `&`; a trailing `&` prints nothing.
std::vector<TextChar> ApplyPrefixes(const std::vector<TextChar>& in) {
  std::vector<TextChar> out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i].cp != U'&') {
      out.push_back(in[i]);
      continue;
    }
    if (++i >= in.size()) break;
    TextChar c = in[i];
    c.underline = c.cp != U'&';
    out.push_back(c);
  }
  return out;
}

std::vector<Line> SplitLines(const std::vector<TextChar>& chars) {
  std::vector<Line> lines(1);
  for (size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i].cp;
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < chars.size() && chars[i + 1].cp == U'\n') ++i;
      lines.emplace_back();
      continue;
    }
    lines.back().push_back(chars[i]);
  }
  return lines;
}

bool Wide(char32_t c) { return c >= 0x1100; }

bool BreakBefore(const Line& line, size_t i) {
  return Wide(line[i].cp) || Wide(line[i - 1].cp) || line[i - 1].cp == U' ';
}

// Greedy wrapping: breaks after spaces and around wide (Hangul, Hanja) characters; the
// spaces at a break are dropped; a piece wider than the rectangle stays whole.
void Wrap(const FontInstance& font, const Line& line, int32_t width, const RunStyle& style, std::vector<Line>& out) {
  size_t start = 0;
  while (start < line.size()) {
    int64_t pen = 0;
    size_t lastBreak = start;  // a break position after index lastBreak - 1
    size_t i = start;
    for (; i < line.size(); ++i) {
      const int32_t adv = RunWidth(font, &line[i], 1, style, static_cast<int32_t>(pen));
      if (i > start && BreakBefore(line, i)) lastBreak = i;
      if (pen + adv > width && line[i].cp != U' ' && i > start) break;
      pen += adv;
    }
    if (i >= line.size()) {
      out.emplace_back(line.begin() + static_cast<ptrdiff_t>(start), line.end());
      return;
    }
    size_t end = lastBreak;
    if (end == start) {  // no break opportunity yet: the piece runs on to the next one
      end = i;
      while (end < line.size() && !BreakBefore(line, end)) ++end;
    }
    size_t trimmed = end;
    while (trimmed > start && line[trimmed - 1].cp == U' ') --trimmed;
    out.emplace_back(line.begin() + static_cast<ptrdiff_t>(start), line.begin() + static_cast<ptrdiff_t>(trimmed));
    start = end;
    while (start < line.size() && line[start].cp == U' ') ++start;
  }
}

}  // namespace

int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !rect || (!text && count != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::shared_ptr<FontInstance> font = CurrentFont(*dc);
  if (!font) return 0;
  const size_t bytes = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
  NoteDrawnText(hdc, std::string(text ? text : "", bytes));
  std::vector<TextChar> chars = DecodeCp949(text, bytes);
  if (!(format & DT_NOPREFIX)) chars = ApplyPrefixes(chars);

  RunStyle style;
  style.color = dc->state.text;
  if (format & DT_EXPANDTABS) style.tabWidth = kTabStopChars * std::max(1, font->metrics.tmAveCharWidth);
  const bool single = (format & DT_SINGLELINE) != 0;
  const int64_t rectWidth = static_cast<int64_t>(rect->right) - rect->left;

  std::vector<Line> lines;
  if (single) {
    lines.push_back(chars);
  } else {
    for (const Line& l : SplitLines(chars)) {
      if (format & DT_WORDBREAK) {
        const size_t before = lines.size();
        Wrap(*font, l, static_cast<int32_t>(std::clamp<int64_t>(rectWidth, 0, INT32_MAX)), style, lines);
        if (lines.size() == before) lines.emplace_back();
      } else {
        lines.push_back(l);
      }
    }
  }
  if (chars.empty()) lines.clear();

  const int32_t lineHeight = font->Height();
  const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight;
  std::vector<int32_t> widths;
  int32_t widest = 0;
  for (const Line& l : lines) {
    widths.push_back(RunWidth(*font, l.data(), l.size(), style, 0));
    widest = std::max(widest, widths.back());
  }
  if (format & DT_CALCRECT) {
    rect->right = static_cast<LONG>(std::min<int64_t>(static_cast<int64_t>(rect->left) + widest, INT32_MAX));
    rect->bottom = static_cast<LONG>(std::min<int64_t>(static_cast<int64_t>(rect->top) + height, INT32_MAX));
    return height;
  }

  // Vertical placement applies to single lines only, as in GDI, which halves the box
  // and the line each on its own (an odd line sits a pixel lower than an even split).
  int64_t top = rect->top;
  if (single && (format & DT_VCENTER))
    top = rect->top + (static_cast<int64_t>(rect->bottom) - rect->top) / 2 - lineHeight / 2;
  if (single && (format & DT_BOTTOM)) top = static_cast<int64_t>(rect->bottom) - lineHeight;
  // Placed lower than the top, the answer is how far below the box's top the text ends.
  const bool placedLower = single && (format & (DT_VCENTER | DT_BOTTOM));
  const int64_t answer = placedLower ? top - rect->top + height : height;
  style.clip = (format & DT_NOCLIP) ? nullptr : rect;
  for (size_t i = 0; i < lines.size(); ++i, top += lineHeight) {
    int64_t x = rect->left;
    // Centred on the sum of the box's edges, rounding toward zero: a line wider than
    // its box keeps the odd pixel on its left.
    if (format & DT_CENTER) x = (static_cast<int64_t>(rect->left) + rect->right - widths[i]) / 2;
    if (format & DT_RIGHT) x = static_cast<int64_t>(rect->right) - widths[i];
    if (x < INT32_MIN || x > INT32_MAX || top < INT32_MIN || top > INT32_MAX) continue;
    style.tabOrigin = static_cast<int32_t>(x);
    if (dc->state.bkMode == OPAQUE && widths[i] > 0) {
      FillClipped(*dc, RECT{static_cast<int32_t>(x), static_cast<int32_t>(top),
                            static_cast<int32_t>(std::min<int64_t>(x + widths[i], INT32_MAX)),
                            static_cast<int32_t>(std::min<int64_t>(top + lineHeight, INT32_MAX))},
                  style.clip, dc->state.bk);
    }
    DrawRun(*dc, *font, static_cast<int32_t>(x), static_cast<int32_t>(top), lines[i].data(), lines[i].size(), style);
  }
  return static_cast<int>(std::clamp<int64_t>(answer, INT32_MIN, INT32_MAX));
}
