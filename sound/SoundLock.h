// The sound manager's one lock (a critical section) and its scope guard.
#pragma once

#include "plat/threads.h"

class CSoundLock {
 public:
  CSoundLock() { InitializeCriticalSection(&section_); }
  ~CSoundLock() { DeleteCriticalSection(&section_); }
  CSoundLock(const CSoundLock&) = delete;
  CSoundLock& operator=(const CSoundLock&) = delete;
  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class CSoundLockScope {
 public:
  explicit CSoundLockScope(CSoundLock& lock) : lock_(lock) { lock_.Enter(); }
  ~CSoundLockScope() { lock_.Leave(); }
  CSoundLockScope(const CSoundLockScope&) = delete;
  CSoundLockScope& operator=(const CSoundLockScope&) = delete;

 private:
  CSoundLock& lock_;
};
