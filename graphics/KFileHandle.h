// The sprite library's file handle: a kernel file opened by flag bits, closed when the
// wrapper goes, with whole-file helpers the loaders use (they decode byte spans).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "plat/kernel.h"

class KFileHandle {
 public:
  // Open flags: access in bits 0-1, sharing in bits 4-6, creation in 0x1000 / 0x2000.
  static constexpr uint32_t kRead = 0, kWrite = 1, kReadWrite = 2, kNoAccess = 3;
  static constexpr uint32_t kShareRead = 0x20, kShareWrite = 0x30, kShareBoth = 0x40;
  static constexpr uint32_t kNotInheritable = 0x80;
  static constexpr uint32_t kCreateAlways = 0x1000, kOpenAlways = 0x3000;

  KFileHandle() = default;
  ~KFileHandle() { Close(); }
  KFileHandle(const KFileHandle&) = delete;
  KFileHandle& operator=(const KFileHandle&) = delete;

  bool Open(const char* name, uint32_t flags);
  void Close();
  // 0 for a count below 1, -1 on failure, else the bytes read.
  int32_t Read(void* buffer, int32_t count);
  // 1 only when every byte was written.
  int32_t Write(const void* buffer, int32_t count);
  bool IsOpen() const { return m_handle != nullptr; }
  // Bytes from the current position to the end of the file, -1 when unknown.
  int64_t Remaining() const;

 private:
  HANDLE m_handle = nullptr;
};

namespace kk {
// The whole file, or false when it cannot be opened or read or is larger than `cap`;
// `openFailed` tells the first case from the others.
bool ReadFileBytes(const char* name, size_t cap, std::vector<uint8_t>& out, bool* openFailed = nullptr);
// Creates the file and writes the bytes; 1 or 0.
int32_t WriteFileBytes(const char* name, std::span<const uint8_t> bytes);
}  // namespace kk
