// The byte-buffer interface through which every record reads and writes itself.
// Slot order is part of the interface; the destructor is not a slot (buffers end
// with Release).
#pragma once

#include "host/XBufBlock.h"
#include "plat/types.h"

class CXBuf;

class IXBuf {
 public:
  // Ends this use of the buffer; the object must not be touched afterwards.
  virtual void Release() = 0;
  virtual BYTE* GetData() = 0;
  virtual uint32_t GetLength() = 0;
  // Adopts the caller's reference to `block`; refused (reference dropped, buffer
  // unchanged, ERROR_INVALID_PARAMETER, result 0) when the range leaves the block.
  virtual uint32_t Attach(XBufBlock* block, uint32_t offset, uint32_t length) = 0;
  // Hands the block out with its reference; the buffer continues on a fresh block.
  virtual XBufBlock* Detach() = 0;
  virtual IXBuf* Reset() = 0;
  // Null (length kept) when the block cannot hold offset + max(length, n).
  virtual XBufBlock* SetLength(uint32_t n) = 0;
  // Shares the other buffer's block until one of them writes.
  virtual uint32_t CopyFrom(CXBuf* other) = 0;
  virtual BOOL Reserve(uint32_t n) = 0;
  // Writes n bytes at pos without changing the length; nothing at all on failure.
  virtual void WriteAt(uint32_t pos, uint32_t n, const void* src) = 0;
  // On failure nothing is copied and the length stays: writers compare lengths.
  virtual void Append(const void* src, uint32_t n) = 0;
  virtual IXBuf* Consume(uint32_t n) = 0;
  virtual IXBuf* SetRange(uint32_t offset, uint32_t length) = 0;
  virtual uint32_t GetOffset() = 0;

 protected:
  ~IXBuf() = default;
};

// A buffer from the pool (length 0, a fresh 1 KB block), sharing `source`'s bytes
// when given. Null with ERROR_OUTOFMEMORY when no buffer or block can be had.
IXBuf* CreateXBuf(IXBuf* source);
