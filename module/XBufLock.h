// The lock of the buffer pool and the block allocator: a critical section with a
// spin count, held only around free-list pushes and pops.
#pragma once

#include <atomic>

#include "plat/types.h"

class XBufLock {
 public:
  static constexpr DWORD kSpinCount = 4000;

  XBufLock() = default;
  XBufLock(const XBufLock&) = delete;
  XBufLock& operator=(const XBufLock&) = delete;

  void Enter() {
    for (DWORD spins = 0; busy_.test_and_set(std::memory_order_acquire); ++spins) {
      if (spins >= kSpinCount) {
        busy_.wait(true, std::memory_order_relaxed);
        spins = 0;
      }
    }
  }
  void Leave() {
    busy_.clear(std::memory_order_release);
    busy_.notify_one();
  }

 private:
  std::atomic_flag busy_;
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

// Block counts change by interlocked steps; the result is the new count.
inline LONG XBufIncrement(volatile LONG* count) { return __atomic_add_fetch(count, 1, __ATOMIC_ACQ_REL); }
inline LONG XBufDecrement(volatile LONG* count) { return __atomic_sub_fetch(count, 1, __ATOMIC_ACQ_REL); }
inline LONG XBufCount(const volatile LONG* count) { return __atomic_load_n(count, __ATOMIC_ACQUIRE); }
