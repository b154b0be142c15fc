// The windows layer's GDI seam implemented with GDI: DCs over backing stores, brush
// colours, window regions and dialog units.
#include "user/GdiSeam.h"

#include "gdi/WindowDC.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/winuser.h"
#include "user/BackingStore.h"
#include "user/UserState.h"

namespace plat::detail {
namespace {

// The faces dialogs without a font of their own are measured in.
constexpr char kDefaultDialogFace[] = "MS Shell Dlg";
constexpr int32_t kDefaultDialogPoints = 8;

}  // namespace

void DrawWindowText(HDC hdc, HWND hwnd, HFONT font, UINT format) {
  std::string text;
  {
    auto w = user::Find(hwnd);
    if (!w) return;
    auto lock = user::Lock();
    text = w->text;
  }
  if (text.empty()) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  HGDIOBJ old = font ? SelectObject(hdc, font) : nullptr;
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &client, format);
  if (old) SelectObject(hdc, old);
}

HDC AcquireWindowDc(HWND hwnd, const RECT& clip) {
  gdi::Region area(clip);
  if (!hwnd) return gdi::OpenWindowDC(nullptr, nullptr, area);
  auto w = user::Find(hwnd);
  if (!w) return nullptr;
  gdi::PixelBuffer backing;
  HRGN region = nullptr;
  const bool found = DrawIntoWindow(hwnd, [&](PixelView v) {
    gdi::SetFormat(backing, v.width, v.height, 32, gdi::kMask888);
    backing.bits = reinterpret_cast<uint8_t*>(v.pixels);
    region = w->region;
  });
  if (!found) return nullptr;
  gdi::Region shape;
  if (region && gdi::CopyRegion(region, shape)) area = gdi::Region::Combine(area, shape, gdi::Region::Op::And);
  return gdi::OpenWindowDC(hwnd, &backing, area);
}

void ReleaseWindowDc(HDC hdc) { gdi::CloseWindowDC(hdc); }

HWND WindowOfDc(HDC hdc) { return gdi::WindowOfDC(hdc); }

std::optional<RECT> DcClip(HDC hdc) { return gdi::ClipBoxOfDC(hdc); }

void ReleaseOwnedRegion(HRGN region) { DeleteObject(region); }

void ForgetDrawnTexts(HWND hwnd) { gdi::ForgetDrawnTexts(hwnd); }

bool RegionContains(HRGN region, POINT point) {
  gdi::Region shape;
  return gdi::CopyRegion(region, shape) && shape.Contains(point.x, point.y);
}

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
  return gdi::SolidBrushColour(brush);
}

void DialogFontUnits(const std::string& face, int32_t points, int* x, int* y) {
  gdi::DialogBaseUnits(face.empty() ? kDefaultDialogFace : face, points > 0 ? points : kDefaultDialogPoints, x, y);
}

}  // namespace plat::detail
