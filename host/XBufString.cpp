// Heap layout: [uint32_t capacity][capacity + 1 characters].
#include "host/XBufString.h"

#include <cstring>
#include <utility>

#include "plat/error.h"
#include "plat/heap.h"

namespace {
constexpr size_t kHeader = sizeof(uint32_t);
}

XBufString::~XBufString() { Free(); }

XBufString::XBufString(XBufString&& other) noexcept
    : text_(std::exchange(other.text_, nullptr)), length_(std::exchange(other.length_, 0)) {}

XBufString& XBufString::operator=(XBufString&& other) noexcept {
  if (this != &other) {
    Free();
    text_ = std::exchange(other.text_, nullptr);
    length_ = std::exchange(other.length_, 0);
  }
  return *this;
}

void XBufString::Free() {
  if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_ - kHeader);
  text_ = nullptr;
  length_ = 0;
}

uint32_t XBufString::Capacity() const {
  if (text_ == nullptr) return 0;
  uint32_t capacity;
  std::memcpy(&capacity, text_ - kHeader, sizeof capacity);
  return capacity;
}

bool XBufString::Assign(const BYTE* bytes, uint32_t n) {
  const void* zero = n == 0 ? nullptr : std::memchr(bytes, 0, n);
  const uint32_t length = zero == nullptr ? n : static_cast<uint32_t>(static_cast<const BYTE*>(zero) - bytes);
  const uint32_t capacity = CapacityFor(n);
  auto* memory = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, kHeader + size_t{capacity} + 1));
  if (memory == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return false;
  }
  std::memcpy(memory, &capacity, kHeader);
  char* text = memory + kHeader;
  if (length > 0) std::memcpy(text, bytes, length);
  text[length] = '\0';
  Free();
  text_ = text;
  length_ = length;
  return true;
}
