// The "static" class: a text with an alignment, painted with the brush and colour
// its parent answers to WM_CTLCOLORSTATIC (a brush without a colour, the hollow one,
// leaves the parent's picture under the text). Without SS_NOTIFY it lets the mouse
// through to its parent.
#include "plat/gdi_text.h"
#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

// The text styles; the rest (owner draw, pictures) draw no text of their own.
UINT StaticTextFormat(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  if (type > SS_RIGHT) return UINT(-1);
  UINT format = DT_WORDBREAK | (type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT);
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  return format;
}

}  // namespace

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
        HFONT font;
        {
          auto lock = Lock();
          font = w->control.font;
        }
        const UINT format = StaticTextFormat(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)));
        if (format != UINT(-1)) DrawWindowText(ps.hdc, hwnd, font, format);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace plat::detail::user
