// The "button" class: push, default push, owner-draw, check box, three-state and
// radio buttons. A click notifies the parent with BN_CLICKED; automatic check boxes
// and radio buttons change their own state first, radio buttons for their group.
#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

DWORD TypeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

bool IsCheckable(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
         type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

void SetPushed(HWND hwnd, bool pushed) {
  bool changed = false;
  if (auto w = Find(hwnd)) {
    auto lock = Lock();
    changed = w->control.pushed != pushed;
    w->control.pushed = pushed;
  }
  if (changed) InvalidateRect(hwnd, nullptr, FALSE);
}

void Click(HWND hwnd) {
  DWORD type = TypeOf(hwnd);
  UINT check = static_cast<UINT>(SendMessageA(hwnd, BM_GETCHECK, 0, 0));
  if (type == BS_AUTOCHECKBOX) {
    SendMessageA(hwnd, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (type == BS_AUTO3STATE) {
    SendMessageA(hwnd, BM_SETCHECK, (check + 1) % 3, 0);
  } else if (type == BS_AUTORADIOBUTTON) {
    std::vector<HWND> group;
    {
      auto lock = Lock();
      group = GroupOfLocked(hwnd);
    }
    for (HWND other : group)
      if (other != hwnd && TypeOf(other) == BS_AUTORADIOBUTTON) SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
  }
  NotifyParent(hwnd, BN_CLICKED);
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT p{static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))),
          static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)))};
  return PointInRect(r, p);
}

UINT DrawState(HWND hwnd) {
  UINT state = 0;
  auto w = Find(hwnd);
  if (!w) return 0;
  HWND parent;
  {
    auto lock = Lock();
    if (w->control.pushed) state |= ODS_SELECTED;
    if (w->style & WS_DISABLED) state |= ODS_DISABLED;
    if (State().focus == hwnd) state |= ODS_FOCUS;
    if (w->control.check == BST_CHECKED) state |= ODS_CHECKED;
    parent = w->parent;
  }
  LRESULT def = parent ? SendMessageA(parent, DM_GETDEFID, 0, 0) : 0;
  if (HIWORD(static_cast<uintptr_t>(def)) == DC_HASDEFID && LOWORD(static_cast<uintptr_t>(def)) == GetDlgCtrlID(hwnd))
    state |= ODS_DEFAULT;
  return state;
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  HWND parent = GetParent(hwnd);
  DWORD type = TypeOf(hwnd);
  if (parent && type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = DrawState(hwnd);
    dis.hwndItem = hwnd;
    dis.hDC = ps.hdc;
    GetClientRect(hwnd, &dis.rcItem);
    SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  } else if (parent) {
    // Check boxes, radio buttons and group boxes take their colours as statics do.
    UINT ask = (IsCheckable(type) || type == BS_GROUPBOX) ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, ask, reinterpret_cast<WPARAM>(ps.hdc),
                                                       reinterpret_cast<LPARAM>(hwnd)));
    if (auto w = Find(hwnd)) {
      auto lock = Lock();
      w->control.lastBrush = brush;
    }
    if (auto colour = BrushColour(brush)) FillBacking(hwnd, ps.rcPaint, *colour);
  }
  EndPaint(hwnd, &ps);
}

}  // namespace

namespace plat::detail::user {

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Find(hwnd);
  if (!w) return 0;
  DWORD type = TypeOf(hwnd);
  switch (msg) {
    case WM_GETDLGCODE:
      switch (type) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      SetCapture(hwnd);
      SetFocus(hwnd);
      {
        auto lock = Lock();
        w->control.tracking = true;
      }
      SetPushed(hwnd, true);
      return 0;
    case WM_MOUSEMOVE: {
      bool tracking;
      {
        auto lock = Lock();
        tracking = w->control.tracking;
      }
      if (tracking) SetPushed(hwnd, InsideClient(hwnd, lParam));
      return 0;
    }
    case WM_LBUTTONUP: {
      bool tracking;
      {
        auto lock = Lock();
        tracking = w->control.tracking;
        w->control.tracking = false;
      }
      if (!tracking) return 0;
      bool inside = InsideClient(hwnd, lParam);
      SetPushed(hwnd, false);
      ReleaseCapture();
      if (inside) Click(hwnd);
      return 0;
    }
    case WM_CAPTURECHANGED: {
      {
        auto lock = Lock();
        w->control.tracking = false;
      }
      SetPushed(hwnd, false);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_SPACE)) SetPushed(hwnd, true);
      return 0;
    case WM_KEYUP:
      if (wParam == static_cast<WPARAM>(VK_SPACE)) {
        bool pushed;
        {
          auto lock = Lock();
          pushed = w->control.pushed;
        }
        SetPushed(hwnd, false);
        if (pushed) Click(hwnd);
      }
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Click(hwnd);
      return 0;
    case BM_GETCHECK: {
      auto lock = Lock();
      return IsCheckable(type) ? w->control.check : 0;
    }
    case BM_SETCHECK: {
      if (!IsCheckable(type)) return 0;
      UINT v = static_cast<UINT>(wParam);
      if (v == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) v = BST_CHECKED;
      if (v > BST_INDETERMINATE) v = BST_CHECKED;
      {
        auto lock = Lock();
        w->control.check = v;
      }
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    }
    case BM_GETSTATE: {
      auto lock = Lock();
      return (IsCheckable(type) ? w->control.check : 0) | (w->control.pushed ? BST_PUSHED : 0) |
             (State().focus == hwnd ? BST_FOCUS : 0);
    }
    case BM_SETSTATE: SetPushed(hwnd, wParam != 0); return 0;
    case BM_SETSTYLE: {
      {
        auto lock = Lock();
        w->style = (w->style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
      }
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      if (msg == WM_KILLFOCUS) SetPushed(hwnd, false);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
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
    case WM_PAINT: Paint(hwnd); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace plat::detail::user
