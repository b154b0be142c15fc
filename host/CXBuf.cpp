// Buffer operations over the global block allocator. Sizes are computed in 64 bits
// so that offset + position + count can never wrap past the largest class.
#include "host/CXBuf.h"

#include <cstring>

#include "host/XBufBlockAllocator.h"
#include "host/XBufPool.h"
#include "plat/error.h"

namespace {
XBufBlockAllocator& Blocks() { return XBufBlockAllocator::Global(); }
}  // namespace

void CXBuf::Release() {
  Blocks().Release(block_);
  block_ = nullptr;
  Reset();
  XBufPool::Global().Give(this);
}

BYTE* CXBuf::GetData() { return block_ == nullptr ? nullptr : block_->Data() + offset_; }

uint32_t CXBuf::Attach(XBufBlock* block, uint32_t offset, uint32_t length) {
  const uint64_t capacity = block == nullptr ? 0 : block->capacity;
  if (uint64_t{offset} + length > capacity) {
    Blocks().Release(block);
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Blocks().Release(block_);
  block_ = block;
  offset_ = offset;
  length_ = length;
  return length_;
}

XBufBlock* CXBuf::Detach() {
  XBufBlock* out = block_;
  // Without a fresh block the buffer goes on blockless; the next write asks again.
  block_ = Blocks().Alloc(0);
  Reset();
  return out;
}

IXBuf* CXBuf::Reset() {
  length_ = 0;
  offset_ = 0;
  return this;
}

bool CXBuf::Prepare(uint64_t needed, bool unique) {
  if (needed > XBufBlockAllocator::kLargestBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  XBufBlock* resized = Blocks().Resize(block_, needed);
  if (resized == nullptr) return false;
  block_ = resized;
  // A block that had to grow is already private; only a kept one may be shared.
  return !unique || Blocks().MakeUnique(&block_);
}

XBufBlock* CXBuf::SetLength(uint32_t n) {
  const uint64_t needed = uint64_t{offset_} + (n > length_ ? n : length_);
  if (!Prepare(needed, false)) return nullptr;
  length_ = n;
  return block_;
}

uint32_t CXBuf::CopyFrom(CXBuf* other) {
  if (other == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (other == this) return length_;
  if (other->block_ != nullptr) XBufBlockAllocator::AddRef(other->block_);
  Blocks().Release(block_);
  block_ = other->block_;
  offset_ = other->offset_;
  length_ = other->length_;
  return length_;
}

BOOL CXBuf::Reserve(uint32_t n) { return Prepare(uint64_t{offset_} + length_ + n, true) ? TRUE : FALSE; }

void CXBuf::WriteAt(uint32_t pos, uint32_t n, const void* src) {
  if (!Prepare(uint64_t{offset_} + pos + n, true)) return;
  if (src != nullptr && n > 0) std::memcpy(block_->Data() + offset_ + pos, src, n);
}

void CXBuf::Append(const void* src, uint32_t n) {
  if (!Reserve(n)) return;
  if (src != nullptr && n > 0) std::memcpy(block_->Data() + offset_ + length_, src, n);
  length_ += n;
}

IXBuf* CXBuf::Consume(uint32_t n) {
  if (n < length_) {
    offset_ += n;
    length_ -= n;
  } else {
    // Everything read: start the block over from its beginning.
    Reset();
  }
  return this;
}

IXBuf* CXBuf::SetRange(uint32_t offset, uint32_t length) {
  const uint64_t capacity = block_ == nullptr ? 0 : block_->capacity;
  if (uint64_t{offset} + length > capacity) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return this;
  }
  offset_ = offset;
  length_ = length;
  return this;
}

IXBuf* CreateXBuf(IXBuf* source) {
  CXBuf* buf = XBufPool::Global().Take();
  if (buf == nullptr) return nullptr;
  XBufBlock* block = Blocks().Alloc(0);
  if (block == nullptr) {
    XBufPool::Global().Give(buf);
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  buf->Attach(block, 0, 0);
  if (source == nullptr) return buf;
  if (auto* pooled = dynamic_cast<CXBuf*>(source)) {
    buf->CopyFrom(pooled);
    return buf;
  }
  // Another implementation of the interface shares no block: copy its bytes.
  const uint32_t length = source->GetLength();
  buf->Append(source->GetData(), length);
  if (buf->GetLength() != length) {
    buf->Release();
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  return buf;
}
