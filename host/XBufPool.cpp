// Buffer objects live in heap memory of their own so that running out of memory is
// a null result here, never an exception through the module's callers.
#include "host/XBufPool.h"
#include "base/ModuleGlobal.h"

#include <new>

#include "plat/error.h"
#include "plat/heap.h"

XBufPool::~XBufPool() {
  while (CXBuf* buf = head_) {
    head_ = buf->nextFree_;
    buf->~CXBuf();
    HeapFree(GetProcessHeap(), 0, buf);
  }
}

namespace {
// Made before the globals whose buffers come back to it, so it goes after them.
ModuleGlobal<XBufPool> g_pool;
}  // namespace

XBufPool& XBufPool::Global() { return g_pool.Get(); }

CXBuf* XBufPool::Take() {
  XBufLockGuard guard(lock_);
  if (head_ == nullptr) {
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(CXBuf));
    if (memory == nullptr) {
      SetLastError(ERROR_OUTOFMEMORY);
      return nullptr;
    }
    ++created_;
    return new (memory) CXBuf;
  }
  CXBuf* buf = head_;
  head_ = buf->nextFree_;
  buf->nextFree_ = nullptr;
  --idle_;
  return buf;
}

void XBufPool::Give(CXBuf* buf) {
  XBufLockGuard guard(lock_);
  buf->nextFree_ = head_;
  head_ = buf;
  ++idle_;
}

uint32_t XBufPool::Created() const {
  XBufLockGuard guard(lock_);
  return created_;
}

uint32_t XBufPool::Idle() const {
  XBufLockGuard guard(lock_);
  return idle_;
}
