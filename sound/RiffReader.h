// The RIFF/WAVE reader: finds "fmt " and "data" among the chunks of a byte source,
// skipping unknown chunks and pad bytes, and reads the sound data without ever
// passing the end of its chunk.
#pragma once

#include <cstdint>
#include <vector>

#include "plat/dsound.h"
#include "sound/ByteSource.h"

class CRiffReader {
 public:
  // The source stays the caller's. True when it is a "RIFF"/"WAVE" form with a
  // well-formed "fmt " chunk and a "data" chunk.
  bool Open(CByteSource* source);

  const WAVEFORMATEX& Format() const { return format_; }
  // The non-PCM format's extra bytes (format.cbSize of them).
  const std::vector<uint8_t>& FormatExtra() const { return extra_; }
  // The data chunk's size as present in the source, in whole blocks.
  uint32_t DataSize() const { return dataSize_; }

  // Back to the start of the data; false without a data chunk.
  bool Rewind();
  // Up to `count` bytes of what is left of the data; returns how many.
  uint32_t Read(void* dest, uint32_t count);

 private:
  bool ReadFormat(uint32_t chunkSize);

  CByteSource* source_ = nullptr;
  WAVEFORMATEX format_{};
  std::vector<uint8_t> extra_;
  int64_t dataOffset_ = -1;
  uint32_t dataSize_ = 0;
  uint32_t remaining_ = 0;
};
