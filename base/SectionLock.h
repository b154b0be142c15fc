// A critical section that lives as long as its owner, and the guard that holds it for
// a scope: for the module's small tables more than one window thread reaches.
#pragma once

#include "plat/threads.h"

class SectionLock {
 public:
  SectionLock() { InitializeCriticalSection(&section_); }
  ~SectionLock() { DeleteCriticalSection(&section_); }
  SectionLock(const SectionLock&) = delete;
  SectionLock& operator=(const SectionLock&) = delete;

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class SectionGuard {
 public:
  explicit SectionGuard(SectionLock& lock) : lock_(lock) { lock_.Enter(); }
  ~SectionGuard() { lock_.Leave(); }
  SectionGuard(const SectionGuard&) = delete;
  SectionGuard& operator=(const SectionGuard&) = delete;

 private:
  SectionLock& lock_;
};
