// The process heap over the C allocator, with fault injection for allocation.
#include "plat/heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/Faults.h"
#include "plat/error.h"

namespace {
// Any non-null value: there is one heap and nothing looks inside the handle.
HANDLE const kProcessHeap = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x48454150));
std::atomic<size_t> g_liveBlocks{0};
}  // namespace

HANDLE GetProcessHeap() { return kProcessHeap; }

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (heap != kProcessHeap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (plat::detail::ShouldFail("HeapAlloc")) return nullptr;
  void* p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p && (flags & HEAP_ZERO_MEMORY)) std::memset(p, 0, bytes);
  if (p) g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return p;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID memory) {
  if (heap != kProcessHeap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (memory) g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(memory);
  return TRUE;
}

namespace plat::sim {
size_t LiveHeapBlocks() { return g_liveBlocks.load(std::memory_order_relaxed); }
}  // namespace plat::sim
