// The stack of idle buffer objects behind CreateXBuf. It only grows: a buffer
// object, once made, is reused for the life of the process.
#pragma once

#include "host/CXBuf.h"
#include "host/XBufLock.h"

class XBufPool {
 public:
  XBufPool() = default;
  // Deletes the idle buffers; buffers in use are not touched.
  ~XBufPool();
  XBufPool(const XBufPool&) = delete;
  XBufPool& operator=(const XBufPool&) = delete;

  static XBufPool& Global();

  // An idle buffer with no block, or null (ERROR_OUTOFMEMORY) when none can be made.
  CXBuf* Take();
  void Give(CXBuf* buf);

  // Test views: buffer objects ever made, and idle ones.
  uint32_t Created() const;
  uint32_t Idle() const;

 private:
  mutable XBufLock lock_;
  CXBuf* head_ = nullptr;
  uint32_t created_ = 0;
  uint32_t idle_ = 0;
};
