// The window map: one locked ordered map and the pointer of the object being created.
#include "widgets/GWndMgr.h"
#include "base/ModuleGlobal.h"

namespace {
constexpr DWORD kLockSpinCount = 4000;

ModuleGlobal<GWndMgr> g_instance;
}  // namespace

GWndMgr& GWndMgr::Instance() { return g_instance.Get(); }

GWndMgr::GWndMgr() { InitializeCriticalSectionAndSpinCount(&lock_, kLockSpinCount); }

GWndMgr::~GWndMgr() {
  map_.clear();
  DeleteCriticalSection(&lock_);
}

void GWndMgr::Lock() { EnterCriticalSection(&lock_); }
void GWndMgr::Unlock() { LeaveCriticalSection(&lock_); }

GWnd* GWndMgr::Find(HWND hwnd) {
  GWndMgrLock hold(*this);
  auto it = map_.find(hwnd);
  return it != map_.end() ? it->second : creating_;
}

void GWndMgr::Insert(HWND hwnd, GWnd* wnd) {
  GWndMgrLock hold(*this);
  map_[hwnd] = wnd;
}

void GWndMgr::Remove(HWND hwnd) {
  GWndMgrLock hold(*this);
  map_.erase(hwnd);
}

GWnd* GWndMgr::SetCreating(GWnd* wnd) {
  GWndMgrLock hold(*this);
  GWnd* previous = creating_;
  creating_ = wnd;
  return previous;
}
