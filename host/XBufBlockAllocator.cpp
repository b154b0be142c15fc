// Idle blocks are chained through their first data bytes, so returning a block
// never allocates and can never fail.
#include "host/XBufBlockAllocator.h"
#include "base/ModuleGlobal.h"

#include <cstring>

#include "plat/error.h"
#include "plat/heap.h"

namespace {

XBufBlock* NextIdle(const XBufBlock* block) {
  XBufBlock* next;
  std::memcpy(&next, block->Data(), sizeof next);
  return next;
}

void SetNextIdle(XBufBlock* block, XBufBlock* next) { std::memcpy(block->Data(), &next, sizeof next); }

void FreeToHeap(XBufBlock* block) { HeapFree(GetProcessHeap(), 0, block); }

}  // namespace

XBufBlockAllocator::XBufBlockAllocator(uint32_t capPerClass) : capPerClass_(capPerClass) {}

XBufBlockAllocator::~XBufBlockAllocator() {
  for (FreeList& list : free_) {
    while (XBufBlock* block = list.head) {
      list.head = NextIdle(block);
      FreeToHeap(block);
    }
  }
}

namespace {
struct GlobalBlockAllocator : XBufBlockAllocator {
  GlobalBlockAllocator() : XBufBlockAllocator(XBufBlockAllocator::kGlobalCapPerClass) {}
};
// Made before the globals whose buffers come back to it, so it goes after them.
ModuleGlobal<GlobalBlockAllocator> g_allocator;
}  // namespace

XBufBlockAllocator& XBufBlockAllocator::Global() { return g_allocator.Get(); }

uint32_t XBufBlockAllocator::ClassOf(uint64_t bytes) {
  for (uint32_t k = 0; k < kClassCount; ++k) {
    if (bytes <= ClassBytes(k)) return k;
  }
  return kNoClass;
}

XBufBlock* XBufBlockAllocator::Alloc(uint64_t bytes) {
  const uint32_t sizeClass = ClassOf(bytes);
  if (sizeClass == kNoClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  XBufBlock* block = nullptr;
  {
    XBufLockGuard guard(lock_);
    FreeList& list = free_[sizeClass];
    if (list.head != nullptr) {
      block = list.head;
      list.head = NextIdle(block);
      --list.count;
    } else {
      const uint32_t capacity = ClassBytes(sizeClass);
      block = static_cast<XBufBlock*>(HeapAlloc(GetProcessHeap(), 0, sizeof(XBufBlock) + capacity));
      if (block == nullptr) {
        SetLastError(ERROR_OUTOFMEMORY);
        return nullptr;
      }
      block->refs = 0;
      block->capacity = capacity;
      ++heapAllocations_;
    }
  }
  AddRef(block);
  return block;
}

void XBufBlockAllocator::AddRef(XBufBlock* block) { InterlockedIncrement(&block->refs); }

void XBufBlockAllocator::Release(XBufBlock* block) {
  if (block == nullptr || InterlockedDecrement(&block->refs) > 0) return;
  const uint32_t sizeClass = ClassOf(block->capacity);
  {
    XBufLockGuard guard(lock_);
    FreeList& list = free_[sizeClass];
    if (list.count < capPerClass_) {
      SetNextIdle(block, list.head);
      list.head = block;
      ++list.count;
      return;
    }
  }
  FreeToHeap(block);
}

XBufBlock* XBufBlockAllocator::Resize(XBufBlock* block, uint64_t needed) {
  if (block == nullptr) return Alloc(needed);
  if (block->capacity >= needed) return block;
  XBufBlock* bigger = Alloc(needed);
  if (bigger == nullptr) return nullptr;
  std::memcpy(bigger->Data(), block->Data(), block->capacity);
  Release(block);
  return bigger;
}

BOOL XBufBlockAllocator::MakeUnique(XBufBlock** slot) {
  if (slot == nullptr || *slot == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  XBufBlock* shared = *slot;
  if (InterlockedCompareExchange(&shared->refs, 0, 0) < 2) return TRUE;
  XBufBlock* copy = Alloc(shared->capacity);
  if (copy == nullptr) return FALSE;
  std::memcpy(copy->Data(), shared->Data(), shared->capacity);
  Release(shared);
  *slot = copy;
  return TRUE;
}

uint32_t XBufBlockAllocator::HeapAllocations() const {
  XBufLockGuard guard(lock_);
  return heapAllocations_;
}

uint32_t XBufBlockAllocator::IdleBlocks(uint32_t sizeClass) const {
  if (sizeClass >= kClassCount) return 0;
  XBufLockGuard guard(lock_);
  return free_[sizeClass].count;
}
