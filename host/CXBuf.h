// The pooled, reference-counted, copy-on-write byte buffer. Valid data are
// `length` bytes starting `offset` bytes into the block; every write makes the
// block private first, so a buffer that shares through CopyFrom never changes the
// other's bytes.
#pragma once

#include "host/IXBuf.h"

class XBufPool;

class CXBuf final : public IXBuf {
 public:
  void Release() override;
  BYTE* GetData() override;
  uint32_t GetLength() override { return length_; }
  uint32_t Attach(XBufBlock* block, uint32_t offset, uint32_t length) override;
  XBufBlock* Detach() override;
  IXBuf* Reset() override;
  XBufBlock* SetLength(uint32_t n) override;
  uint32_t CopyFrom(CXBuf* other) override;
  BOOL Reserve(uint32_t n) override;
  void WriteAt(uint32_t pos, uint32_t n, const void* src) override;
  void Append(const void* src, uint32_t n) override;
  IXBuf* Consume(uint32_t n) override;
  IXBuf* SetRange(uint32_t offset, uint32_t length) override;
  uint32_t GetOffset() override { return offset_; }

  // For tests and the allocator's views.
  XBufBlock* Block() const { return block_; }

 private:
  friend class XBufPool;
  CXBuf() = default;
  ~CXBuf() = default;

  // Gives the block room for `needed` bytes (from its start) and, when `unique`,
  // makes it private. Nothing changes on failure (last error set).
  bool Prepare(uint64_t needed, bool unique);

  CXBuf* nextFree_ = nullptr;
  XBufBlock* block_ = nullptr;
  uint32_t length_ = 0;
  uint32_t offset_ = 0;
};
