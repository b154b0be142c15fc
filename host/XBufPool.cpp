// Buffer objects live in heap memory of their own so that running out of memory is
// a null result here, never an exception through the module's callers.
#include "host/XBufPool.h"

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

XBufPool& XBufPool::Global() {
  // Never destroyed: a buffer released by another global's destructor at exit must
  // still find its pool.
  static XBufPool* pool = new XBufPool;
  return *pool;
}

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
