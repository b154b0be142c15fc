#include "user/GdiSeam.h"

#include "core/HandleTable.h"
#include "plat/winuser.h"

namespace plat::detail {
namespace {

struct PlaceholderDc : Object {
  HWND hwnd = nullptr;
  RECT clip{};
};

// Fallback dialog units: the classic 8-point dialog font's average cell.
constexpr int kDialogUnitX = 6;
constexpr int kDialogUnitY = 13;

}  // namespace

HDC AcquireWindowDc(HWND hwnd, const RECT& clip) {
  auto dc = std::make_shared<PlaceholderDc>();
  dc->hwnd = hwnd;
  dc->clip = clip;
  return ToHandle<HDC>(Handles().Insert(HandleKind::DeviceContext, dc));
}

void ReleaseWindowDc(HDC hdc) { Handles().Remove(FromHandle(hdc), HandleKind::DeviceContext); }

HWND WindowOfDc(HDC hdc) {
  auto dc = Handles().Get<PlaceholderDc>(FromHandle(hdc), HandleKind::DeviceContext);
  return dc ? dc->hwnd : nullptr;
}

std::optional<RECT> DcClip(HDC hdc) {
  auto dc = Handles().Get<PlaceholderDc>(FromHandle(hdc), HandleKind::DeviceContext);
  if (!dc) return std::nullopt;
  return dc->clip;
}

void ReleaseOwnedRegion(HRGN) {}

COLORREF SystemColour(int index) {
  switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    default: return RGB(192, 192, 192);
  }
}

std::optional<COLORREF> BrushColour(HBRUSH brush) {
  uintptr_t v = FromHandle(brush);
  if (v >= 1 && v <= 31) return SystemColour(static_cast<int>(v - 1));
  return std::nullopt;
}

void DialogFontUnits(const std::string&, int32_t, int* x, int* y) {
  *x = kDialogUnitX;
  *y = kDialogUnitY;
}

}  // namespace plat::detail
