// The process-wide map from window handles to their GWnd objects, which the shared
// window procedure consults. While GWnd::Create runs, handles not yet in the map
// resolve to the object being created, so its creation messages reach it.
#pragma once

#include <map>

#include "plat/threads.h"
#include "plat/types.h"

class GWnd;

class GWndMgr {
 public:
  // Made on first use and never destroyed: windows may still be torn down while the
  // library unloads.
  static GWndMgr& Instance();

  GWndMgr();
  virtual ~GWndMgr();
  GWndMgr(const GWndMgr&) = delete;
  GWndMgr& operator=(const GWndMgr&) = delete;

  // Re-entrant on the owning thread: creation messages look up while Create holds it.
  virtual void Lock();
  virtual void Unlock();

  // The object bound to `hwnd`; for an unknown handle the object being created (null
  // outside GWnd::Create).
  GWnd* Find(HWND hwnd);
  void Insert(HWND hwnd, GWnd* wnd);
  void Remove(HWND hwnd);

  // Sets the object being created and gives the previous one, which the caller puts
  // back: a window created from inside another's creation messages nests.
  GWnd* SetCreating(GWnd* wnd);

 private:
  CRITICAL_SECTION lock_;
  std::map<HWND, GWnd*> map_;
  GWnd* creating_ = nullptr;
};

// Holds the map's lock for a scope.
class GWndMgrLock {
 public:
  explicit GWndMgrLock(GWndMgr& mgr) : mgr_(mgr) { mgr_.Lock(); }
  ~GWndMgrLock() { mgr_.Unlock(); }
  GWndMgrLock(const GWndMgrLock&) = delete;
  GWndMgrLock& operator=(const GWndMgrLock&) = delete;

 private:
  GWndMgr& mgr_;
};
