// CRITICAL_SECTION: a recursive mutex the struct points to, made on initialisation
// and freed on deletion.
#include <mutex>
#include <new>

#include "plat/error.h"
#include "plat/threads.h"

namespace plat::detail {
struct CriticalSectionImpl {
  std::recursive_mutex mutex;
};
}  // namespace plat::detail

using plat::detail::CriticalSectionImpl;

void InitializeCriticalSection(LPCRITICAL_SECTION section) { section->impl = new (std::nothrow) CriticalSectionImpl; }

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD) {
  section->impl = new (std::nothrow) CriticalSectionImpl;
  if (!section->impl) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { section->impl->mutex.lock(); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) { return section->impl->mutex.try_lock() ? TRUE : FALSE; }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { section->impl->mutex.unlock(); }

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
  delete section->impl;
  section->impl = nullptr;
}
