// The "static" class: a text with an alignment, painted with the brush and colour
// its parent answers to WM_CTLCOLORSTATIC. Without SS_NOTIFY it lets the mouse
// through to its parent.
#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace plat::detail::user {

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFONT: {
      auto lock = Lock();
      w->control.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    }
    case WM_GETFONT: {
      auto lock = Lock();
      return reinterpret_cast<LRESULT>(w->control.font);
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      if (HWND parent = GetParent(hwnd)) {
        auto brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(ps.hdc),
                                                           reinterpret_cast<LPARAM>(hwnd)));
        {
          auto lock = Lock();
          w->control.lastBrush = brush;
        }
        if (auto colour = BrushColour(brush)) FillBacking(hwnd, ps.rcPaint, *colour);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace plat::detail::user
