// The entry base and the blank, text and bitmap entries.
#include "graphics/XBaseEntry.h"

#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "base/DDBitmapFile.h"
#include "base/DDSurfacePixel.h"

namespace {

// A new system-memory surface of the size, keyed when the entry has a key.
HRESULT MakeKeyedSurface(XBaseEntry& e, GSize newSize) {
  e.size = newSize;
  e.surface = nullptr;
  HRESULT hr = CreateOffscreenSurface(e.dd, e.surface, newSize);
  if (SUCCEEDED(hr) && e.colorKey != kNoColorKey) hr = SetSurfaceColorKey(e.surface, e.colorKey);
  return hr;
}
}  // namespace

DDSurface* XBaseEntry::GetSurfaceRef(int32_t frame) {
  if (!multiFrame) return &surface;
  if (frame < 0 || static_cast<size_t>(frame) >= frames.size()) return nullptr;
  return &frames[static_cast<size_t>(frame)];
}

DDSurface XBaseEntry::DisplaySurface() const {
  if (!multiFrame) return surface;
  return frames.empty() ? DDSurface() : frames.front();
}

void XBaseEntry::Keep(const DDObject& newDd, COLORREF key) {
  dd = newDd;
  colorKey = key;
}

HRESULT XNormalEntry::Load(DDObject newDd, COLORREF key) {
  Keep(newDd, key);
  return Resize(size);
}

HRESULT XNormalEntry::Resize(GSize newSize) { return MakeKeyedSurface(*this, newSize); }

HRESULT XTextEntry::Load(DDObject newDd, COLORREF key) {
  Keep(newDd, key);
  return Resize(size);
}

HRESULT XTextEntry::Resize(GSize newSize) {
  const HRESULT hr = MakeKeyedSurface(*this, newSize);
  if (FAILED(hr)) return hr;
  return SetText(text) ? hr : E_FAIL;
}

BOOL XTextEntry::SetText(const std::string& newText) {
  text = newText;
  frameRect = GRect(GPoint(), size);
  // Without a key the old pixels stay and the new text goes over them.
  if (colorKey != kNoColorKey && !ClearSurface(surface, colorKey)) return 0;
  if (!surface) return 0;
  HDC dc = GetSurfaceDC(surface);
  if (!dc) return 0;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const COLORREF oldColor = SetTextColor(dc, textColor);
  // Without a font (a text widget whose SetFont failed) the surface is only cleared.
  if (!text.empty() && font) {
    RECT r{0, 0, frameRect.Width(), frameRect.Height()};
    DrawTextA(dc, text.c_str(), -1, &r, format);
  }
  if (oldColor != CLR_INVALID) SetTextColor(dc, oldColor);
  if (oldFont) SelectObject(dc, oldFont);
  if (oldMode != 0) SetBkMode(dc, oldMode);
  ReleaseSurfaceDC(surface, dc);
  return 1;
}

HRESULT XBitmapEntry::Load(DDObject newDd, COLORREF key) {
  dd = newDd;
  surface = nullptr;
  const HRESULT loaded = LoadFileSurface(dd, surface, fileName_);
  if (loaded < 0 || loaded == S_FALSE) return loaded;
  size = GetSurfaceSize(surface);
  colorKey = key;
  if (key != kNoColorKey) {
    const HRESULT hr = SetSurfaceColorKey(surface, key);
    if (FAILED(hr)) return hr;
  }
  return loaded;
}
