// Window classes: registration by (name, instance), the lookup CreateWindowExA and
// GetClassInfoA make, and the built-in classes every process has.
#include <algorithm>
#include <cstring>

#include "plat/error.h"
#include "user/Controls.h"

namespace plat::detail::user {
namespace {

constexpr ATOM kDialogAtom = 0x8002;
constexpr int kDialogExtraBytes = 3 * static_cast<int>(sizeof(LONG_PTR));

void AddSystemClassLocked(const char* name, WNDPROC proc, UINT style, HBRUSH brush, ATOM atom) {
  auto c = std::make_shared<WindowClass>();
  c->name = name;
  c->key = LowerKey(name);
  c->atom = atom;
  c->system = true;
  c->wc.style = style;
  c->wc.lpfnWndProc = proc;
  c->wc.hbrBackground = brush;
  c->wc.cbWndExtra = atom == kDialogAtom ? kDialogExtraBytes : 0;
  c->wc.lpszClassName = c->name.c_str();
  State().classes.push_back(c);
}

void EnsureSystemClassesLocked() {
  static bool done = false;
  if (done) return;
  done = true;
  HBRUSH face = ToHandle<HBRUSH>(COLOR_BTNFACE + 1);
  AddSystemClassLocked("button", ButtonProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC, nullptr,
                       0xC001);
  AddSystemClassLocked("static", StaticProc, CS_DBLCLKS | CS_PARENTDC, nullptr, 0xC002);
  AddSystemClassLocked("edit", EditProc, CS_DBLCLKS | CS_PARENTDC, nullptr, 0xC003);
  AddSystemClassLocked(WC_DIALOG, DialogProc, CS_DBLCLKS | CS_SAVEBITS, face, kDialogAtom);
  State().nextAtom = 0xC010;
}

bool NameMatches(const WindowClass& c, LPCSTR name) {
  if (IS_INTRESOURCE(name)) return c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  return c.key == LowerKey(name);
}

}  // namespace

std::shared_ptr<WindowClass> FindClassLocked(HINSTANCE instance, LPCSTR name) {
  EnsureSystemClassesLocked();
  if (!name) return nullptr;
  for (auto& c : State().classes)
    if (!c->system && c->wc.hInstance == instance && NameMatches(*c, name)) return c;
  for (auto& c : State().classes)
    if (c->system && NameMatches(*c, name)) return c;
  return nullptr;
}

bool IsClass(const Window& w, const char* key) { return w.cls && w.cls->key == key; }

}  // namespace plat::detail::user

using namespace plat::detail::user;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto lock = Lock();
  FindClassLocked(nullptr, "");  // system classes first, so their atoms are fixed
  for (auto& c : State().classes) {
    if (!c->system && c->wc.hInstance == wc->hInstance && c->key == LowerKey(wc->lpszClassName)) {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  }
  auto c = std::make_shared<WindowClass>();
  c->name = wc->lpszClassName;
  c->key = LowerKey(wc->lpszClassName);
  c->atom = State().nextAtom++;
  c->wc = *wc;
  c->wc.lpszClassName = c->name.c_str();
  c->wc.lpszMenuName = nullptr;
  c->wc.cbWndExtra = std::clamp(wc->cbWndExtra, 0, 4096);
  State().classes.push_back(c);
  return c->atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  auto lock = Lock();
  auto& v = State().classes;
  for (auto it = v.begin(); it != v.end(); ++it) {
    if ((*it)->system || (*it)->wc.hInstance != instance) continue;
    if (IS_INTRESOURCE(className) ? (*it)->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(className))
                                  : (*it)->key == LowerKey(className)) {
      v.erase(it);
      return TRUE;
    }
  }
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA out) {
  auto lock = Lock();
  auto c = FindClassLocked(instance, className);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (out) {
    *out = c->wc;
    if (c->system) out->hInstance = instance;
  }
  return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size) {
  auto w = FindOrFail(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  auto lock = Lock();
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), size - 1);
  std::memcpy(buffer, w->cls->name.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}
