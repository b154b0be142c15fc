// Where the sound decoders read their bytes: a file through the layer (from a base
// offset, for containers that wrap a stream) or a block of memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/kernel.h"

class CByteSource {
 public:
  virtual ~CByteSource() = default;
  // Copies up to `count` bytes from the position on; returns how many (0 at the end
  // or on failure).
  virtual uint32_t Read(void* dest, uint32_t count) = 0;
  // Positions count from the base. A position past the end is allowed (reads give 0).
  virtual bool Seek(int64_t position) = 0;
  virtual int64_t Tell() const = 0;
  // Bytes from the base to the end.
  virtual int64_t Size() const = 0;
  // Releases the file; later reads give 0. Safe to call again.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Makes `offset` (from the real start) position 0 and goes there, for a stream
  // wrapped in a container. Refused beyond the end.
  virtual bool SetBase(int64_t offset) = 0;
};

class CFileByteSource final : public CByteSource {
 public:
  CFileByteSource() = default;
  CFileByteSource(const CFileByteSource&) = delete;
  CFileByteSource& operator=(const CFileByteSource&) = delete;
  ~CFileByteSource() override { Close(); }

  // Opens for reading; false when the file cannot be opened.
  bool Open(const std::string& path);
  bool SetBase(int64_t offset) override;

  uint32_t Read(void* dest, uint32_t count) override;
  bool Seek(int64_t position) override;
  int64_t Tell() const override { return position_; }
  int64_t Size() const override { return fileSize_ - base_; }
  void Close() override;
  bool IsOpen() const override { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  int64_t fileSize_ = 0;
  int64_t base_ = 0;
  int64_t position_ = 0;
};

// Reads a span it does not own, or a copy it keeps.
class CMemoryByteSource final : public CByteSource {
 public:
  CMemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit CMemoryByteSource(std::vector<uint8_t> owned)
      : owned_(std::move(owned)), data_(owned_.data()), size_(owned_.size()) {}

  uint32_t Read(void* dest, uint32_t count) override;
  bool Seek(int64_t position) override;
  int64_t Tell() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(size_) - base_; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  bool SetBase(int64_t offset) override;

 private:
  std::vector<uint8_t> owned_;
  const uint8_t* data_;
  size_t size_;
  int64_t base_ = 0;
  int64_t position_ = 0;
  bool open_ = true;
};
