// The buffer library's small heap string: a capacity word before the characters,
// rounded so that strings of similar length reuse the same allocation size, and
// always zero-terminated. Only the module-string archive readers make them.
#pragma once

#include <string_view>

#include "plat/types.h"

class XBufString {
 public:
  XBufString() = default;
  ~XBufString();
  XBufString(const XBufString&) = delete;
  XBufString& operator=(const XBufString&) = delete;
  XBufString(XBufString&& other) noexcept;
  XBufString& operator=(XBufString&& other) noexcept;

  // Room for (n rounded down to 256) + 255 characters plus the terminator.
  static uint32_t CapacityFor(uint32_t n) { return (n & ~0xFFu) + 0xFFu; }

  // Keeps the bytes up to the first zero among the n given. False (string
  // unchanged, ERROR_OUTOFMEMORY) when the memory cannot be had.
  bool Assign(const BYTE* bytes, uint32_t n);

  const char* c_str() const { return text_ == nullptr ? "" : text_; }
  uint32_t Length() const { return length_; }
  uint32_t Capacity() const;
  std::string_view View() const { return {c_str(), length_}; }

 private:
  void Free();

  char* text_ = nullptr;  // points just past the capacity word
  uint32_t length_ = 0;
};
