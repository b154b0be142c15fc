// The light text label: GDI text drawn onto the back buffer at every draw, clipped to
// the repaint area so that widgets in front of it are never painted over.
#include "widgets/GVLightTextWnd.h"

#include "graphics/XResEntryMgr.h"
#include "plat/gdi.h"
#include "base/DDSurfaceUtil.h"

GVLightTextWnd::~GVLightTextWnd() {
  if (font_) XResEntryMgr::Global().ReleaseFont(font_);
}

void GVLightTextWnd::ReleaseImage() {
  text_.clear();
  GVWnd::ReleaseImage();
}

void GVLightTextWnd::MarkDirty() {
  SetDirty(1);
  SetDrawnRect(GetRect());
}

BOOL GVLightTextWnd::Create(const SIZE& size, COLORREF colorKey, int32_t fontHeight, int32_t fontWeight) {
  if (!SetFont(fontHeight, fontWeight)) return 0;
  size_ = size;
  GVWnd::SetRect(GRect(GPoint(), size_));
  GVWnd::SetColorKey(colorKey);
  return 1;
}

BOOL GVLightTextWnd::SetFont(int32_t height, int32_t weight) {
  XResEntryMgr& manager = XResEntryMgr::Global();
  if (font_) manager.ReleaseFont(font_);
  font_ = manager.GetFontByFace(height, weight, nullptr);
  if (!font_) return 0;
  MarkDirty();
  return 1;
}

BOOL GVLightTextWnd::SetText(const std::string& text) {
  MarkDirty();
  text_ = text;
  return 1;
}

void GVLightTextWnd::SetTextColor(COLORREF color) {
  MarkDirty();
  textColor_ = color;
}

void GVLightTextWnd::SetTextFormat(UINT format) {
  MarkDirty();
  format_ = format;
}

BOOL GVLightTextWnd::SetSize(int32_t cx, int32_t cy) {
  size_ = GSize(cx, cy);
  MarkDirty();
  return 1;
}

BOOL GVLightTextWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!GVWnd::Draw(target, clip)) return 0;
  if (!IsVisible()) return 1;
  DDSurface surface(target);
  HDC dc = GetSurfaceDC(surface);
  if (!dc) return 0;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = font_ ? SelectObject(dc, font_) : nullptr;
  const COLORREF oldColor = ::SetTextColor(dc, textColor_);
  // Without a font (a failed SetFont) nothing is written, as in the text widget.
  if (font_ && !text_.empty()) {
    RECT r;
    GetRect().CopyTo(&r);
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, format_);
  }
  if (oldColor != CLR_INVALID) ::SetTextColor(dc, oldColor);
  if (oldFont) SelectObject(dc, oldFont);
  if (oldMode != 0) SetBkMode(dc, oldMode);
  if (saved) RestoreDC(dc, saved);
  ReleaseSurfaceDC(surface, dc);
  return 1;
}
