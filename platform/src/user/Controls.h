// Window procedures of the built-in classes and the helpers the dialog manager and
// the controls share.
#pragma once

#include <memory>

#include "user/UserState.h"

namespace plat::detail::user {

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Class lookup: the instance's own classes first, then the system classes.
std::shared_ptr<WindowClass> FindClassLocked(HINSTANCE instance, LPCSTR name);
bool IsClass(const Window& w, const char* key);

// Siblings of a dialog control's radio group, in z-order. Caller holds the lock.
std::vector<HWND> GroupOfLocked(HWND control);

// Tells the parent about a control event: WM_COMMAND (id, code) with the control.
void NotifyParent(HWND control, WORD code);

// The fill a WM_ERASEBKGND-style request makes into the backing store.
void FillBacking(HWND hwnd, const RECT& clientRect, COLORREF colour);

}  // namespace plat::detail::user
