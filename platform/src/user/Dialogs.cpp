// Dialogs made from registered templates, their default procedure, the modal loop
// and the keyboard interface (Escape, Enter, Tab, arrows in a group).
#include <algorithm>

#include "core/Faults.h"
#include "plat/error.h"
#include "user/Controls.h"
#include "user/GdiSeam.h"
#include "user/ModalHook.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

struct BaseUnits {
  int x, y;
};

BaseUnits UnitsOf(const plat::DialogTemplate& t) {
  BaseUnits u{};
  DialogFontUnits(t.fontFace, t.fontSize, &u.x, &u.y);
  return u;
}

int ToPixelsX(int du, BaseUnits u) { return du * u.x / 4; }
int ToPixelsY(int du, BaseUnits u) { return du * u.y / 8; }

std::shared_ptr<Window> DialogOf(HWND hwnd) {
  auto w = Find(hwnd);
  return (w && w->isDialog) ? w : nullptr;
}

// Messages whose dialog-procedure answer is the result itself, not DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
  }
}

LRESULT DefaultDialogHandling(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT clip{};
      GetClientRect(hwnd, &clip);
      if (auto dcClip = DcClip(reinterpret_cast<HDC>(wParam))) clip = *dcClip;
      FillBacking(hwnd, clip, SystemColour(COLOR_3DFACE));
      return 1;
    }
    case WM_CLOSE:
      SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
      return 0;
    case DM_GETDEFID: {
      auto w = Find(hwnd);
      if (!w) return 0;
      auto lock = Lock();
      return w->dialog.defaultId ? MAKELRESULT(static_cast<WORD>(w->dialog.defaultId), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: {
      auto w = Find(hwnd);
      if (!w) return FALSE;
      auto lock = Lock();
      w->dialog.defaultId = static_cast<int>(wParam);
      return TRUE;
    }
    case WM_ACTIVATE:
      // Leaving, the dialog keeps the control that had the keys, to give them back.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) {
          if (auto w = Find(hwnd)) {
            auto lock = Lock();
            w->dialog.savedFocus = focus;
          }
        }
      }
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS: {
      HWND saved = nullptr;
      if (auto w = Find(hwnd)) {
        auto lock = Lock();
        saved = w->dialog.savedFocus;
      }
      if (saved && IsChild(hwnd, saved)) SetFocus(saved);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

std::vector<HWND> Controls(HWND dialog) {
  auto lock = Lock();
  auto w = Find(dialog);
  return w ? w->children : std::vector<HWND>{};
}

// A control's own visible and enabled state; the dialog may still be hidden.
bool Usable(HWND hwnd) {
  DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool HasStyle(HWND hwnd, DWORD bits) { return (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & bits) != 0; }

HWND CreateFromTemplate(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM init, bool modal,
                        const char* fault) {
  if (ShouldFail(fault)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const plat::DialogTemplate* t = plat::FindDialogTemplate(instance, name);
  if (!t) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  BaseUnits u = UnitsOf(*t);
  int width = ToPixelsX(t->cx, u), height = ToPixelsY(t->cy, u);
  POINT pos{ToPixelsX(t->x, u), ToPixelsY(t->y, u)};
  bool child = (t->style & WS_CHILD) != 0;
  RECT ownerRect{};
  if (parent && !GetWindowRect(parent, &ownerRect)) return nullptr;
  if (!child && !(t->style & DS_ABSALIGN)) {
    pos.x += ownerRect.left;
    pos.y += ownerRect.top;
  }
  if (t->style & DS_CENTER) {
    RECT area = parent ? ownerRect : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    pos.x = area.left + ((area.right - area.left) - width) / 2;
    pos.y = area.top + ((area.bottom - area.top) - height) / 2;
    if (child) pos = POINT{pos.x - ownerRect.left, pos.y - ownerRect.top};
  }
  HWND dlg = CreateWindowExA(t->exStyle, WC_DIALOG, t->title.c_str(), t->style & ~WS_VISIBLE, pos.x, pos.y, width,
                             height, parent, nullptr, instance, nullptr);
  if (!dlg) return nullptr;
  if (auto w = Find(dlg)) {
    auto lock = Lock();
    w->dialog.proc = proc;
    w->dialog.modal = modal;
    w->dialog.unitX = u.x;
    w->dialog.unitY = u.y;
  }
  for (const plat::DialogItemTemplate& item : t->items) {
    HWND c = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                             ToPixelsX(item.x, u), ToPixelsY(item.y, u), ToPixelsX(item.cx, u), ToPixelsY(item.cy, u),
                             dlg, reinterpret_cast<HMENU>(static_cast<uintptr_t>(static_cast<WORD>(item.id))), instance, nullptr);
    if (!c && !(t->style & DS_NOFAILCREATE)) {
      DestroyWindow(dlg);
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    if (c && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && LowerKey(item.className.c_str()) == "button") {
      auto lock = Lock();
      if (auto w = Find(dlg)) w->dialog.defaultId = item.id;
    }
  }
  HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
  bool takeFocus = SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init) != 0;
  if (!IsWindow(dlg)) return nullptr;
  if (auto w = Find(dlg)) {
    auto lock = Lock();
    w->dialog.savedFocus = first;
  }
  // A TRUE answer takes the keyboard focus at once, whether or not the dialog is shown:
  // a hidden dialog that answers so leaves its owner without the keys. The tab stop is
  // sought again, as the procedure left the controls: it may have disabled the first one
  // or made the controls itself. Without any tab stop the first usable control takes it.
  if (takeFocus) {
    HWND target = GetNextDlgTabItem(dlg, nullptr, FALSE);
    for (HWND c : Controls(dlg))
      if (!target && Usable(c)) target = c;
    if (target) SetFocus(target);
  }
  if ((t->style & WS_VISIBLE) || modal) ShowWindow(dlg, SW_SHOWNORMAL);
  return dlg;
}

bool Ended(HWND dlg) {
  auto w = DialogOf(dlg);
  if (!w) return true;
  auto lock = Lock();
  return w->dialog.ended;
}

}  // namespace

namespace plat::detail::user {

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return DefDlgProcA(hwnd, msg, wParam, lParam); }

}  // namespace plat::detail::user

LRESULT DefDlgProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc = nullptr;
  if (auto w = DialogOf(hwnd)) {
    auto lock = Lock();
    proc = w->dialog.proc;
  }
  if (proc) {
    INT_PTR r = proc(hwnd, msg, wParam, lParam);
    if (r) {
      if (ReturnsDirectly(msg)) return r;
      auto w = DialogOf(hwnd);
      if (!w) return 0;
      auto lock = Lock();
      return w->dialog.msgResult;
    }
    if (!IsWindow(hwnd)) return 0;
  }
  return DefaultDialogHandling(hwnd, msg, wParam, lParam);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM init) {
  return CreateFromTemplate(instance, templateName, parent, proc, init, false, "CreateDialogParamA");
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM init) {
  HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
  HWND dlg = CreateFromTemplate(instance, templateName, parent, proc, init, true, "DialogBoxParamA");
  if (!dlg) return -1;
  if (owner && IsWindowEnabled(owner) && !Ended(dlg)) {
    EnableWindow(owner, FALSE);
    if (auto w = Find(dlg)) {
      auto lock = Lock();
      w->dialog.disabledOwner = owner;
    }
  }
  MSG msg;
  while (!Ended(dlg)) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RunModalHook(dlg);
      if (Ended(dlg)) break;
    }
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;  // the wait could never end (already reported)
    if (!got) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageA(dlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  INT_PTR result = 0;
  HWND toEnable = nullptr;
  if (auto w = DialogOf(dlg)) {
    auto lock = Lock();
    result = w->dialog.result;
    toEnable = w->dialog.disabledOwner;
    w->dialog.disabledOwner = nullptr;
  }
  if (toEnable) EnableWindow(toEnable, TRUE);
  if (IsWindow(dlg)) DestroyWindow(dlg);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  auto w = DialogOf(dialog);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  HWND toEnable;
  std::shared_ptr<ThreadQueue> queue;
  {
    auto lock = Lock();
    w->dialog.ended = true;
    w->dialog.result = result;
    toEnable = w->dialog.disabledOwner;
    w->dialog.disabledOwner = nullptr;
  }
  if (toEnable) EnableWindow(toEnable, TRUE);
  ShowWindow(dialog, SW_HIDE);
  // The modal loop may be waiting for a message; this one lets it see the end.
  PostMessageA(dialog, WM_NULL, 0, 0);
  return TRUE;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (!dialog || !msg || !msg->hwnd) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (!(code & DLGC_WANTALLKEYS)) {
      HWND focus = GetFocus();
      bool shift = GetKeyState(VK_SHIFT) < 0;
      switch (static_cast<int>(msg->wParam)) {
        case VK_ESCAPE:
          SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
          return TRUE;
        case VK_RETURN: {
          int id = IDOK;
          LRESULT focusCode = focus && IsChild(dialog, focus) ? SendMessageA(focus, WM_GETDLGCODE, 0, 0) : 0;
          if (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            id = GetDlgCtrlID(focus);
          } else {
            LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(static_cast<uintptr_t>(def)) == DC_HASDEFID) id = LOWORD(static_cast<uintptr_t>(def));
          }
          HWND button = GetDlgItem(dialog, id);
          if (button && !IsWindowEnabled(button)) return TRUE;
          SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
          return TRUE;
        }
        case VK_TAB:
          if (!(code & DLGC_WANTTAB)) {
            if (HWND next = GetNextDlgTabItem(dialog, focus, shift ? TRUE : FALSE)) {
              SetFocus(next);
              if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(next, EM_SETSEL, 0, -1);
            }
            return TRUE;
          }
          break;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
          if (!(code & DLGC_WANTARROWS)) {
            bool back = msg->wParam == static_cast<WPARAM>(VK_LEFT) || msg->wParam == static_cast<WPARAM>(VK_UP);
            if (HWND next = GetNextDlgGroupItem(dialog, focus, back ? TRUE : FALSE); next && next != focus) {
              SetFocus(next);
              if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessageA(next, BM_CLICK, 0, 0);
            }
            return TRUE;
          }
          break;
        default: break;
      }
    }
  } else if (msg->message == WM_CHAR) {
    LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    bool dialogKey = msg->wParam == '\r' || msg->wParam == 0x1B || msg->wParam == '\t';
    if (dialogKey && !(code & DLGC_WANTALLKEYS)) return TRUE;
  }
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
  auto lock = Lock();
  auto w = Find(dialog);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (HWND c : w->children)
    if (auto cw = Find(c); cw && cw->id == id) return c;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = FindOrFail(hwnd);
  if (!w) return 0;
  auto lock = Lock();
  return static_cast<int>(w->id);
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SetWindowTextA(c, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  HWND c = GetDlgItem(dialog, id);
  return c ? static_cast<UINT>(GetWindowTextA(c, buffer, size)) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SendMessageA(c, msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) return FALSE;
  SendMessageA(c, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND c = GetDlgItem(dialog, id);
  return c ? static_cast<UINT>(SendMessageA(c, BM_GETCHECK, 0, 0)) : 0;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> tabbable;
  for (HWND c : Controls(dialog))
    if (Usable(c) && HasStyle(c, WS_TABSTOP)) tabbable.push_back(c);
  if (tabbable.empty()) return nullptr;
  auto it = std::find(tabbable.begin(), tabbable.end(), control);
  if (it == tabbable.end()) return previous ? tabbable.back() : tabbable.front();
  size_t i = static_cast<size_t>(it - tabbable.begin());
  size_t n = tabbable.size();
  return tabbable[previous ? (i + n - 1) % n : (i + 1) % n];
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!control || !IsChild(dialog, control)) return GetNextDlgTabItem(dialog, nullptr, previous);
  std::vector<HWND> group;
  {
    auto lock = Lock();
    group = GroupOfLocked(control);
  }
  std::vector<HWND> usable;
  for (HWND c : group)
    if (Usable(c) || c == control) usable.push_back(c);
  auto it = std::find(usable.begin(), usable.end(), control);
  if (it == usable.end()) return control;
  size_t i = static_cast<size_t>(it - usable.begin());
  size_t n = usable.size();
  return usable[previous ? (i + n - 1) % n : (i + 1) % n];
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  auto w = DialogOf(dialog);
  if (!w || !rect) return FALSE;
  BaseUnits u{};
  {
    auto lock = Lock();
    u = BaseUnits{w->dialog.unitX, w->dialog.unitY};
  }
  // A window of the dialog class made without a template has the default font.
  if (u.x == 0) DialogFontUnits("", 0, &u.x, &u.y);
  *rect = RECT{ToPixelsX(rect->left, u), ToPixelsY(rect->top, u), ToPixelsX(rect->right, u),
               ToPixelsY(rect->bottom, u)};
  return TRUE;
}

LONG GetDialogBaseUnits() {
  int x, y;
  DialogFontUnits("", 0, &x, &y);
  return MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y));
}

namespace plat::detail::user {

std::vector<HWND> GroupOfLocked(HWND control) {
  auto w = Find(control);
  if (!w) return {};
  auto p = Find(w->parent);
  if (!p) return {control};
  const auto& sib = p->children;
  auto at = std::find(sib.begin(), sib.end(), control);
  if (at == sib.end()) return {control};
  auto begin = at;
  while (begin != sib.begin()) {
    auto bw = Find(*begin);
    if (bw && (bw->style & WS_GROUP)) break;
    --begin;
  }
  auto end = at + 1;
  while (end != sib.end()) {
    auto ew = Find(*end);
    if (ew && (ew->style & WS_GROUP)) break;
    ++end;
  }
  return std::vector<HWND>(begin, end);
}

void NotifyParent(HWND control, WORD code) {
  HWND parent;
  LONG_PTR id;
  {
    auto w = Find(control);
    if (!w) return;
    auto lock = Lock();
    parent = w->parent;
    id = w->id;
  }
  if (parent)
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code), reinterpret_cast<LPARAM>(control));
}

}  // namespace plat::detail::user
