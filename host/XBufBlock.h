// One heap block behind byte buffers: a reference count, a capacity that is always
// one of the allocator's size classes, then the data in the same allocation.
#pragma once

#include "plat/types.h"

struct XBufBlock {
  volatile LONG refs;  // changed only by interlocked steps
  uint32_t capacity;

  BYTE* Data() { return reinterpret_cast<BYTE*>(this + 1); }
  const BYTE* Data() const { return reinterpret_cast<const BYTE*>(this + 1); }
};
static_assert(sizeof(XBufBlock) == 8, "the data follows the two header words");
