// RIFF chunk walking, read field by field in little-endian order.
#include "sound/RiffReader.h"

#include <algorithm>

#include "base/ByteReader.h"

namespace {

constexpr uint32_t kPcmFormatBytes = 16;
constexpr uint32_t kFormatWithExtraSizeBytes = 18;
constexpr uint32_t kChunkHeaderBytes = 8;
constexpr int64_t kFirstChunk = 12;  // "RIFF", size, "WAVE"

constexpr uint32_t FourCc(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

bool ReadU32(CByteSource& s, uint32_t& v) {
  uint8_t b[4];
  if (s.Read(b, 4) != 4) return false;
  v = b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
  return true;
}

}  // namespace

bool CRiffReader::ReadFormat(uint32_t chunkSize) {
  if (chunkSize < kPcmFormatBytes) return false;
  uint8_t b[kPcmFormatBytes];
  if (source_->Read(b, kPcmFormatBytes) != kPcmFormatBytes) return false;
  format_.wFormatTag = LoadU16(b);
  format_.nChannels = LoadU16(b + 2);
  format_.nSamplesPerSec = LoadU32(b + 4);
  format_.nAvgBytesPerSec = LoadU32(b + 8);
  format_.nBlockAlign = LoadU16(b + 12);
  format_.wBitsPerSample = LoadU16(b + 14);
  format_.cbSize = 0;
  extra_.clear();
  if (format_.wFormatTag == WAVE_FORMAT_PCM) return true;
  // Other formats carry their extra bytes inside this chunk; nothing past it is read.
  if (chunkSize < kFormatWithExtraSizeBytes) return false;
  uint8_t sizeBytes[2];
  if (source_->Read(sizeBytes, 2) != 2) return false;
  const uint16_t extra = LoadU16(sizeBytes);
  if (chunkSize < kFormatWithExtraSizeBytes + extra) return false;
  extra_.resize(extra);
  if (extra > 0 && source_->Read(extra_.data(), extra) != extra) return false;
  format_.cbSize = extra;
  return true;
}

bool CRiffReader::Open(CByteSource* source) {
  source_ = source;
  format_ = {};
  extra_.clear();
  dataOffset_ = -1;
  dataSize_ = remaining_ = 0;
  uint32_t id = 0, riffSize = 0, form = 0;
  if (!source_ || !source_->Seek(0) || !ReadU32(*source_, id) || !ReadU32(*source_, riffSize) ||
      !ReadU32(*source_, form))
    return false;
  if (id != FourCc("RIFF") || form != FourCc("WAVE")) return false;

  const int64_t fileEnd = source_->Size();
  const int64_t end = std::min<int64_t>(kChunkHeaderBytes + int64_t{riffSize}, fileEnd);
  bool haveFormat = false;
  int64_t dataDeclared = 0;
  for (int64_t pos = kFirstChunk; pos + kChunkHeaderBytes <= end;) {
    uint32_t chunk = 0, size = 0;
    if (!source_->Seek(pos) || !ReadU32(*source_, chunk) || !ReadU32(*source_, size)) break;
    const int64_t body = pos + kChunkHeaderBytes;
    if (chunk == FourCc("fmt ") && !haveFormat) {
      if (!ReadFormat(size)) return false;
      haveFormat = true;
    } else if (chunk == FourCc("data") && dataOffset_ < 0) {
      dataOffset_ = body;
      dataDeclared = size;
    }
    pos = body + int64_t{size} + (size & 1);
  }
  if (!haveFormat || dataOffset_ < 0) return false;
  // A truncated file plays what is whole.
  const int64_t present = std::clamp<int64_t>(fileEnd - dataOffset_, 0, dataDeclared);
  const uint32_t align = std::max<uint32_t>(format_.nBlockAlign, 1);
  dataSize_ = static_cast<uint32_t>(present - present % align);
  return Rewind();
}

bool CRiffReader::Rewind() {
  if (!source_ || dataOffset_ < 0 || !source_->Seek(dataOffset_)) return false;
  remaining_ = dataSize_;
  return true;
}

uint32_t CRiffReader::Read(void* dest, uint32_t count) {
  if (!source_ || !dest) return 0;
  const uint32_t got = source_->Read(dest, std::min(count, remaining_));
  remaining_ -= got;
  return got;
}
