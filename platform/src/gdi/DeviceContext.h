// A device context: a drawing target (a bitmap, the simulated screen or a window's
// backing store) with the selected objects, colours, clip and saved states.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "gdi/GdiObjects.h"
#include "gdi/Region.h"

namespace plat::detail::gdi {

PixelBuffer& ScreenBuffer();

struct DcState {
  std::shared_ptr<BitmapObject> bitmap;  // memory DCs only
  std::shared_ptr<BrushObject> brush;
  std::shared_ptr<PenObject> pen;
  std::shared_ptr<FontObject> font;
  HGDIOBJ hBitmap = nullptr, hBrush = nullptr, hPen = nullptr, hFont = nullptr;
  COLORREF text = RGB(0, 0, 0);
  COLORREF bk = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  POINT pos{0, 0};
  std::optional<Region> clip;  // the application's clip, DC coordinates
};

struct DeviceContext : Object {
  enum class Kind { Memory, Screen, Window, Surface };
  Kind kind = Kind::Memory;
  HWND hwnd = nullptr;
  // Screen, window and surface DCs draw into memory owned elsewhere; memory DCs into
  // their bitmap.
  PixelBuffer surface;
  std::optional<Region> systemClip;  // window region and paint area
  DcState state;
  std::vector<DcState> saved;

  ~DeviceContext() override;

  const PixelBuffer& Target() const {
    return kind == Kind::Memory ? state.bitmap->pixels : kind == Kind::Screen ? ScreenBuffer() : surface;
  }
  // Target bounds, system clip and application clip together.
  const Region& Clip() const;
  void InvalidateClip() { clipCache_.reset(); }
  // Calls f(RECT) for each visible piece of `rect` (DC coordinates).
  template <class F>
  void ForEachVisible(const RECT& rect, F&& f) const {
    Clip().ForEachIn(rect, f);
  }

  // Selection bookkeeping: counts on objects, so DeleteObject refuses selected ones.
  static void Retain(const DcState& s);
  static void Release(const DcState& s);

 private:
  mutable std::optional<Region> clipCache_;
  // The target size the cache was made for: the screen changes size with the display
  // mode while a screen DC is out.
  mutable int32_t clipWidth_ = 0, clipHeight_ = 0;
};

std::shared_ptr<DeviceContext> FindDC(HDC hdc);
HDC InsertDC(std::shared_ptr<DeviceContext> dc);
// A DC with the default objects selected (not yet in the handle table).
std::shared_ptr<DeviceContext> NewDC(DeviceContext::Kind kind);

// A DC over pixels owned elsewhere (a DirectDraw surface while its DC is out); the
// memory must stay valid until CloseSurfaceDC.
HDC OpenSurfaceDC(const PixelBuffer& pixels);
bool CloseSurfaceDC(HDC hdc);
// Points a surface DC at other pixels (an empty buffer: the DC draws nothing).
bool RetargetSurfaceDC(HDC hdc, const PixelBuffer& pixels);

// The simulated screen behind GetDC(NULL): the display's pixels in its current mode.
PixelBuffer& ScreenBuffer();
// The format the display works in (bits per pixel, masks and size of the screen).
const PixelBuffer& DisplayFormat();

}  // namespace plat::detail::gdi
