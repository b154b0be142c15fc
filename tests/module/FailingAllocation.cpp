// Replaces the program's operator new and delete, every form but the aligned ones (which
// stay a pair of the runtime's): a test plants one failure on its own thread; every
// other allocation goes to malloc.
#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {
thread_local int32_t t_beforeFailure = -1;
}  // namespace

namespace testing_support {

void FailAllocationAfter(int32_t n) { t_beforeFailure = n; }
bool AllocationFailurePending() { return t_beforeFailure >= 0; }

}  // namespace testing_support

namespace {
void* Allocate(std::size_t size) {
  if (t_beforeFailure == 0) {
    t_beforeFailure = -1;
    throw std::bad_alloc();
  }
  if (t_beforeFailure > 0) --t_beforeFailure;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
