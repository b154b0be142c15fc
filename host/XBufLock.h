// The lock of the buffer pool and the block allocator: a critical section with a
// spin count, held only around free-list pushes and pops.
#pragma once

#include "plat/threads.h"

class XBufLock {
 public:
  static constexpr DWORD kSpinCount = 4000;

  XBufLock() { InitializeCriticalSectionAndSpinCount(&section_, kSpinCount); }
  ~XBufLock() { DeleteCriticalSection(&section_); }
  XBufLock(const XBufLock&) = delete;
  XBufLock& operator=(const XBufLock&) = delete;

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class XBufLockGuard {
 public:
  explicit XBufLockGuard(XBufLock& lock) : lock_(lock) { lock_.Enter(); }
  ~XBufLockGuard() { lock_.Leave(); }
  XBufLockGuard(const XBufLockGuard&) = delete;
  XBufLockGuard& operator=(const XBufLockGuard&) = delete;

 private:
  XBufLock& lock_;
};
