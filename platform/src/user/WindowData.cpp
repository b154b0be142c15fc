// What a window carries besides its place: text, the indexed window data (styles,
// id, procedure, user data, dialog data, class extra bytes) and named properties.
#include <cstring>

#include "plat/error.h"
#include "user/UserState.h"

using namespace plat::detail::user;

namespace {

bool ExtraSlot(const Window& w, int index) {
  return index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= w.extra.size();
}

// Reads or writes one index; `write` null reads. Caller holds the lock.
bool AccessLocked(Window& w, int index, const LONG_PTR* write, LONG_PTR* old) {
  auto swap = [&](auto& field) {
    *old = static_cast<LONG_PTR>(field);
    if (write) field = static_cast<std::remove_reference_t<decltype(field)>>(*write);
    return true;
  };
  switch (index) {
    case GWL_STYLE: {
      *old = static_cast<LONG_PTR>(static_cast<LONG>(w.style));
      if (write) w.style = static_cast<DWORD>(*write);
      return true;
    }
    case GWL_EXSTYLE: {
      *old = static_cast<LONG_PTR>(static_cast<LONG>(w.exStyle));
      if (write) w.exStyle = static_cast<DWORD>(*write);
      return true;
    }
    case GWLP_ID: return swap(w.id);
    case GWLP_USERDATA: return swap(w.userData);
    case GWLP_WNDPROC: {
      *old = reinterpret_cast<LONG_PTR>(w.proc);
      if (write) w.proc = reinterpret_cast<WNDPROC>(*write);
      return true;
    }
    case GWLP_HINSTANCE: {
      *old = reinterpret_cast<LONG_PTR>(w.instance);
      if (write) w.instance = reinterpret_cast<HINSTANCE>(*write);
      return true;
    }
    case GWLP_HWNDPARENT: {
      HWND cur = (w.style & WS_CHILD) ? w.parent : w.owner;
      *old = reinterpret_cast<LONG_PTR>(cur);
      if (write && !(w.style & WS_CHILD)) w.owner = reinterpret_cast<HWND>(*write);
      return true;
    }
    default: break;
  }
  if (w.isDialog) {
    switch (index) {
      case DWLP_MSGRESULT: return swap(w.dialog.msgResult);
      case DWLP_USER: return swap(w.dialog.user);
      case DWLP_DLGPROC: {
        *old = reinterpret_cast<LONG_PTR>(w.dialog.proc);
        if (write) w.dialog.proc = reinterpret_cast<DLGPROC>(*write);
        return true;
      }
      default: return false;
    }
  }
  if (!ExtraSlot(w, index)) return false;
  std::memcpy(old, w.extra.data() + index, sizeof(LONG_PTR));
  if (write) std::memcpy(w.extra.data() + index, write, sizeof(LONG_PTR));
  return true;
}

LONG_PTR Access(HWND hwnd, int index, const LONG_PTR* write) {
  auto w = FindOrFail(hwnd);
  if (!w) return 0;
  auto lock = Lock();
  LONG_PTR old = 0;
  if (!AccessLocked(*w, index, write, &old)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return old;
}

bool FitsInLong(int index) { return index == GWL_STYLE || index == GWL_EXSTYLE || index == GWLP_ID; }

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) { return Access(hwnd, index, nullptr); }

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) { return Access(hwnd, index, &value); }

LONG GetWindowLongA(HWND hwnd, int index) {
  if (!FitsInLong(index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return static_cast<LONG>(Access(hwnd, index, nullptr));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  if (!FitsInLong(index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR v = index == GWLP_ID ? value : static_cast<LONG_PTR>(static_cast<DWORD>(value));
  return static_cast<LONG>(Access(hwnd, index, &v));
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!FindOrFail(hwnd)) return FALSE;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!FindOrFail(hwnd)) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
  if (!FindOrFail(hwnd)) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
  auto w = FindOrFail(hwnd);
  if (!w || !name || IS_INTRESOURCE(name)) return FALSE;
  auto lock = Lock();
  w->props[LowerKey(name)] = data;
  return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
  auto w = Find(hwnd);
  if (!w || !name || IS_INTRESOURCE(name)) return nullptr;
  auto lock = Lock();
  auto it = w->props.find(LowerKey(name));
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
  auto w = Find(hwnd);
  if (!w || !name || IS_INTRESOURCE(name)) return nullptr;
  auto lock = Lock();
  auto it = w->props.find(LowerKey(name));
  if (it == w->props.end()) return nullptr;
  HANDLE h = it->second;
  w->props.erase(it);
  return h;
}
