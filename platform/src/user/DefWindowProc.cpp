// The default handling every window procedure falls back on.
#include <algorithm>
#include <cstring>

#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

LRESULT SetText(HWND hwnd, LPCSTR text) {
  auto w = Find(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  w->text = (text && !IS_INTRESOURCE(text)) ? text : "";
  return TRUE;
}

LRESULT GetText(HWND hwnd, WPARAM size, LPSTR buffer) {
  auto w = Find(hwnd);
  if (!w || !buffer || size == 0) return 0;
  auto lock = Lock();
  size_t n = std::min(w->text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, w->text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT EraseBackground(HWND hwnd, HDC hdc) {
  HBRUSH brush;
  {
    auto w = Find(hwnd);
    if (!w) return 0;
    auto lock = Lock();
    brush = w->cls->wc.hbrBackground;
  }
  if (!brush) return 0;
  if (auto colour = BrushColour(brush)) {
    RECT clip{0, 0, 0, 0};
    GetClientRect(hwnd, &clip);
    if (auto dcClip = DcClip(hdc)) clip = *dcClip;
    FillBacking(hwnd, clip, *colour);
  }
  return 1;
}

// Children ask their parent first; a class cursor is shown over the client area.
LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  HWND parent = nullptr;
  HCURSOR cursor = nullptr;
  {
    auto w = Find(hwnd);
    if (!w) return FALSE;
    auto lock = Lock();
    if (w->style & WS_CHILD) parent = w->parent;
    cursor = w->cls->wc.hCursor;
  }
  if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  if (static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))) == HTCLIENT && cursor) {
    SetCursor(cursor);
    return TRUE;
  }
  return FALSE;
}

void RecordDrag(HWND hwnd, LPARAM lParam) {
  auto lock = Lock();
  POINT pt{static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))),
           static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)))};
  State().drags.push_back(plat::sim::DragRequest{hwnd, pt});
}

}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName) SetText(hwnd, cs->lpszName);
      return TRUE;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd)) SetFocus(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_NCLBUTTONDOWN:
      if (wParam == static_cast<WPARAM>(HTCAPTION)) RecordDrag(hwnd, lParam);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
        default: break;
      }
      return 0;
    case WM_SETTEXT: return SetText(hwnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return GetText(hwnd, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
      auto w = Find(hwnd);
      if (!w) return 0;
      auto lock = Lock();
      return static_cast<LRESULT>(w->text.size());
    }
    case WM_SETCURSOR: return SetCursorDefault(hwnd, wParam, lParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return static_cast<LRESULT>(msg == WM_CTLCOLOREDIT ? COLOR_WINDOW + 1 : COLOR_BTNFACE + 1);
    default: return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}
