// The surface widget's drawing: plain, stretched and tiled, through the hardware blits
// when opaque and through the software blenders for a blend level or an alpha plane.
#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/SoftBlit.h"

namespace {

using Surface = ComPtr<IDirectDrawSurface4>;


int32_t FloorDiv(int32_t v, int32_t d) {
  const int32_t q = v / d;
  return (v % d != 0 && (v < 0) != (d < 0)) ? q - 1 : q;
}

int32_t Scale(int32_t v, int32_t num, int32_t den) {
  return static_cast<int32_t>(int64_t{v} * num / den);
}

}  // namespace

BOOL GVDDSWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible() || !target || !source_.HasArea() || !HasImage()) return 1;
  GRect area;
  if (!GRectIntersection(area, GetRect(), clip).HasArea()) return 1;
  const std::vector<uint8_t>* alpha = nullptr;
  const Surface picture = DrawnSurface(&alpha);
  if (!picture) return 1;
  const BOOL keyed = HasColorKey();
  const uint32_t key = XResEntryMgr::Global().GetColorKey();
  SetLastResult(S_OK);
  const Surface into(target);
  switch (drawMode_) {
    case kDrawStretch: DrawStretch(into, picture, area, keyed, key); break;
    case kDrawTile: DrawTiles(into, picture, area, keyed, key); break;
    default:
      if (!GVWnd::Draw(target, clip)) return 0;
      DrawPlain(into, picture, area, keyed, key, alpha);
      break;
  }
  return 1;
}

void GVDDSWnd::DrawStretch(const Surface& target, const Surface& picture, const GRect& area, BOOL keyed,
                           uint32_t key) {
  const GRect r = GetRect();
  const GRect& s = source_;
  RECT part;
  part.left = s.left + Scale(area.left - r.left, s.Width(), r.Width());
  part.top = s.top + Scale(area.top - r.top, s.Height(), r.Height());
  part.right = part.left + Scale(area.Width(), s.Width(), r.Width());
  part.bottom = part.top + Scale(area.Height(), s.Height(), r.Height());
  RECT dest;
  area.CopyTo(&dest);
  HRESULT hr;
  if (blendLevel_ == 0) {
    hr = BltSurface(target, &dest, picture, &part, DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0), nullptr);
  } else {
    hr = BlendBlitStretch(target, dest, picture, part, blendLevel_, keyed ? key : kNoColorKey);
  }
  SetLastResult(hr);
}

void GVDDSWnd::DrawTiles(const Surface& target, const Surface& picture, const GRect& area, BOOL keyed,
                         uint32_t key) {
  const int32_t w = source_.Width();
  const int32_t h = source_.Height();
  // Tiles sit on multiples of the picture's size in target coordinates, so the pattern
  // stays put when the widget moves by less than a tile.
  for (int32_t x = FloorDiv(area.left, w) * w; x < area.right; x += w) {
    for (int32_t y = FloorDiv(area.top, h) * h; y < area.bottom; y += h) {
      GRect part;
      if (!GRectIntersection(part, GRect(x, y, x + w, y + h), area).HasArea()) continue;
      RECT from;
      GRect(source_.TopLeft() + (part.TopLeft() - GPoint(x, y)), part.Size()).CopyTo(&from);
      HRESULT hr;
      if (blendLevel_ == 0) {
        hr = BltFastSurface(target, static_cast<DWORD>(part.left), static_cast<DWORD>(part.top), picture, &from,
                            DDBLTFAST_WAIT | (keyed ? DDBLTFAST_SRCCOLORKEY : 0));
      } else {
        hr = AlphaBlendSurface(part.left, part.top, picture, target, from, blendLevel_, keyed, key);
      }
      SetLastResult(hr);
      if (FAILED(hr)) return;
    }
  }
}

void GVDDSWnd::DrawPlain(const Surface& target, const Surface& picture, const GRect& area, BOOL keyed,
                         uint32_t key, const std::vector<uint8_t>* alpha) {
  RECT from;
  GRect(source_.TopLeft() + (area.TopLeft() - GetRect().TopLeft()), area.Size()).CopyTo(&from);
  bool hasAlpha = false;
  {
    XResEntryLock hold;
    const XBaseEntry* e = GetEntry();
    hasAlpha = e && e->hasAlpha;
  }
  HRESULT hr;
  if (hasAlpha && alphaMode_ && alpha) {
    RECT dest;
    area.CopyTo(&dest);
    hr = BlendBlitAlpha(target, dest, picture, from, blendLevel_, alpha->data(), alpha->size());
  } else if (blendLevel_ == 0) {
    hr = BltFastSurface(target, static_cast<DWORD>(area.left), static_cast<DWORD>(area.top), picture, &from,
                        DDBLTFAST_WAIT | (keyed ? DDBLTFAST_SRCCOLORKEY : 0));
  } else {
    hr = AlphaBlendSurface(area.left, area.top, picture, target, from, blendLevel_, keyed, key);
  }
  SetLastResult(hr);
}
