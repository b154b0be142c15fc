// Pixels, rectangle fills and frames, and lines with the selected pen.
#include <algorithm>
#include <cstdlib>

#include "gdi/Blit.h"
#include "gdi/DeviceContext.h"
#include "plat/error.h"

using namespace plat::detail::gdi;

namespace {

bool Visible(const DeviceContext& dc, int x, int y) { return dc.Clip().Contains(x, y); }

std::shared_ptr<BrushObject> BrushOf(HBRUSH brush) { return FindAs<BrushObject>(brush, GdiType::Brush); }

// A pen point: one pixel, or a square of the pen's width centred on it.
void Plot(const DeviceContext& dc, int64_t x, int64_t y, int32_t width, COLORREF color) {
  if (width <= 1) {
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return;
    if (!Visible(dc, static_cast<int32_t>(x), static_cast<int32_t>(y))) return;
    const PixelBuffer& t = dc.Target();
    WritePixel(t, static_cast<int32_t>(x), static_cast<int32_t>(y), ColorToDevice(t, color));
    return;
  }
  const int64_t l = x - width / 2, tp = y - width / 2;
  auto c = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  FillSolid(dc, RECT{c(l), c(tp), c(l + width), c(tp + width)}, color);
}

// Nearest-pixel line from (x0, y0) up to, not including, (x1, y1). Only the steps of
// the major axis that can land inside the target are visited, so a line between
// extreme coordinates costs no more than one across the buffer.
void DrawLine(const DeviceContext& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t width,
              COLORREF color) {
  const int64_t dx = x1 - x0, dy = y1 - y0;
  if (dx == 0 && dy == 0) return;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy);
  const int64_t minor = xMajor ? dy : dx;
  const int64_t start = xMajor ? x0 : y0, dir = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const PixelBuffer& t = dc.Target();
  const int64_t limit = (xMajor ? t.width : t.height) + width;
  // Steps i with start + i * dir inside [-width, limit).
  int64_t lo = 0, hi = steps;
  if (dir > 0) {
    lo = std::max<int64_t>(lo, -width - start);
    hi = std::min<int64_t>(hi, limit - start);
  } else {
    lo = std::max<int64_t>(lo, start - limit + 1);
    hi = std::min<int64_t>(hi, start + width + 1);
  }
  // The minor offset at step i is i x minor / steps rounded half away from zero. The
  // ends are 32-bit points, so steps and |minor| stay below 2^32 and i x |minor| fits
  // in 64 unsigned bits: no wider type, which 32-bit targets lack.
  const uint64_t span = static_cast<uint64_t>(steps), run = static_cast<uint64_t>(std::llabs(minor));
  for (int64_t i = lo; i < hi; ++i) {
    const uint64_t along = static_cast<uint64_t>(i) * run;
    const uint64_t nearest = along / span + (2 * (along % span) >= span ? 1 : 0);
    const int64_t offset = minor >= 0 ? static_cast<int64_t>(nearest) : -static_cast<int64_t>(nearest);
    const int64_t major = start + i * dir;
    if (xMajor) {
      Plot(dc, major, y0 + offset, width, color);
    } else {
      Plot(dc, x0 + offset, major, width, color);
    }
  }
}

int32_t PenWidth(const PenObject& pen) { return std::max<int32_t>(1, pen.pen.lopnWidth.x); }

}  // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !Visible(*dc, x, y)) return CLR_INVALID;
  const PixelBuffer& t = dc->Target();
  const uint32_t value = ColorToDevice(t, color & 0x00FFFFFF);
  WritePixel(t, x, y, value);
  return DeviceToColor(t, value);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !Visible(*dc, x, y)) return CLR_INVALID;
  const PixelBuffer& t = dc->Target();
  return DeviceToColor(t, ReadPixel(t, x, y));
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  std::shared_ptr<BrushObject> b = BrushOf(brush);
  if (!dc || !b || !rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!b->Hollow()) FillSolid(*dc, *rect, b->brush.lbColor);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  std::shared_ptr<BrushObject> b = BrushOf(brush);
  if (!dc || !b || !rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const RECT& r = *rect;
  if (r.left >= r.right || r.top >= r.bottom || b->Hollow()) return 1;
  const COLORREF c = b->brush.lbColor;
  FillSolid(*dc, RECT{r.left, r.top, r.right, r.top + 1}, c);
  FillSolid(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
  FillSolid(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
  FillSolid(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
  return 1;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const auto& pen = dc->state.pen;
  const auto& brush = dc->state.brush;
  // The figure covers right - 1 and bottom - 1; without a pen the fill alone is one
  // pixel smaller, as GDI draws it. Wide pens are drawn inside the rectangle.
  const int64_t l = left, t = top, r = right, b = bottom;
  if (!pen || pen->Hollow()) {
    if (brush && !brush->Hollow() && r - l > 1 && b - t > 1)
      FillSolid(*dc, RECT{left, top, right - 1, bottom - 1}, brush->brush.lbColor);
    return TRUE;
  }
  const int64_t w = PenWidth(*pen);
  if (brush && !brush->Hollow() && r - l > 2 * w && b - t > 2 * w)
    FillSolid(*dc, RECT{static_cast<int32_t>(l + w), static_cast<int32_t>(t + w), static_cast<int32_t>(r - w),
                        static_cast<int32_t>(b - w)},
              brush->brush.lbColor);
  if (r - l < 1 || b - t < 1) return TRUE;
  const COLORREF c = pen->pen.lopnColor;
  auto c32 = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  FillSolid(*dc, RECT{left, top, right, c32(t + w)}, c);
  FillSolid(*dc, RECT{left, c32(b - w), right, bottom}, c);
  FillSolid(*dc, RECT{left, top, c32(l + w), bottom}, c);
  FillSolid(*dc, RECT{c32(r - w), top, right, bottom}, c);
  return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.pos;
  dc->state.pos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return FALSE;
  const POINT from = dc->state.pos;
  dc->state.pos = POINT{x, y};
  const auto& pen = dc->state.pen;
  if (pen && !pen->Hollow()) DrawLine(*dc, from.x, from.y, x, y, PenWidth(*pen), pen->pen.lopnColor);
  return TRUE;
}
