// Size-classed pool of buffer blocks: ten classes of 1 KB x 4^k, each with a
// last-in-first-out free list bounded by a cap, so steady traffic never reaches the
// heap. Also the resize and copy-on-write steps every buffer uses.
#pragma once

#include "host/XBufBlock.h"
#include "host/XBufLock.h"

class XBufBlockAllocator {
 public:
  static constexpr uint32_t kClassCount = 10;
  static constexpr uint32_t kNoClass = kClassCount;
  static constexpr uint32_t kSmallestBytes = 1024;
  static constexpr uint32_t kLargestBytes = 268435456;
  static constexpr uint32_t kGlobalCapPerClass = 100000;

  explicit XBufBlockAllocator(uint32_t capPerClass);
  // Frees the idle blocks; blocks still in use are not touched.
  ~XBufBlockAllocator();
  XBufBlockAllocator(const XBufBlockAllocator&) = delete;
  XBufBlockAllocator& operator=(const XBufBlockAllocator&) = delete;

  // The allocator of every buffer, made on first use and kept for the process.
  static XBufBlockAllocator& Global();

  // The class that serves a request, or kNoClass beyond the largest.
  static uint32_t ClassOf(uint64_t bytes);
  static uint32_t ClassBytes(uint32_t sizeClass) { return kSmallestBytes << (2 * sizeClass); }

  // A block of at least `bytes` with one reference, or null: ERROR_INVALID_PARAMETER
  // beyond the largest class, ERROR_OUTOFMEMORY when the heap gives nothing.
  XBufBlock* Alloc(uint64_t bytes);
  // Drops one reference; the last one returns the block to its free list, or to
  // the heap when the list is full.
  void Release(XBufBlock* block);
  static void AddRef(XBufBlock* block);

  // A block of at least `needed` bytes holding the old block's bytes: the same
  // block when it is big enough (shared or not), else a copy; the old reference
  // moves to the result. Null on failure, and then the old block stays as it was.
  XBufBlock* Resize(XBufBlock* block, uint64_t needed);
  // Gives *slot a private copy when its block is shared. 0 with
  // ERROR_INVALID_PARAMETER for no block, 0 with the slot unchanged when no copy
  // can be made.
  BOOL MakeUnique(XBufBlock** slot);

  // Test views: blocks ever taken from the heap, and idle blocks of a class.
  uint32_t HeapAllocations() const;
  uint32_t IdleBlocks(uint32_t sizeClass) const;

 private:
  struct FreeList {
    XBufBlock* head = nullptr;
    uint32_t count = 0;
  };

  const uint32_t capPerClass_;
  mutable XBufLock lock_;
  FreeList free_[kClassCount];
  uint32_t heapAllocations_ = 0;
};
