#include "user/CursorFile.h"

#include <cstring>

namespace plat::detail {
namespace {

// Reads little-endian fields; a read past the end marks the reader failed.
class CursorReader {
 public:
  CursorReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint16_t U16(size_t at) {
    if (at > size_ || size_ - at < 2) return Fail();
    return static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  uint32_t U32(size_t at) {
    if (at > size_ || size_ - at < 4) return Fail();
    return static_cast<uint32_t>(data_[at]) | (static_cast<uint32_t>(data_[at + 1]) << 8) |
           (static_cast<uint32_t>(data_[at + 2]) << 16) | (static_cast<uint32_t>(data_[at + 3]) << 24);
  }
  bool Tag(size_t at, const char* tag) {
    if (at > size_ || size_ - at < 4) return Fail() != 0;
    return std::memcmp(data_ + at, tag, 4) == 0;
  }
  bool ok() const { return ok_; }

 private:
  uint16_t Fail() {
    ok_ = false;
    return 0;
  }
  const uint8_t* data_;
  size_t size_;
  bool ok_ = true;
};

constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;
constexpr size_t kAniHeader = 36;

// An icon or cursor directory whose every image lies inside the bytes.
std::optional<CursorFileInfo> ParseDirectory(const uint8_t* data, size_t size, bool cursorOnly) {
  CursorReader r(data, size);
  uint16_t reserved = r.U16(0), type = r.U16(2), count = r.U16(4);
  if (!r.ok() || reserved != 0 || count == 0) return std::nullopt;
  if (type != kCursorType && (cursorOnly || type != kIconType)) return std::nullopt;
  if (size < kDirHeader + kDirEntry * count) return std::nullopt;
  for (size_t i = 0; i < count; ++i) {
    size_t e = kDirHeader + kDirEntry * i;
    uint32_t bytes = r.U32(e + 8), offset = r.U32(e + 12);
    if (!r.ok() || bytes == 0 || offset > size || size - offset < bytes) return std::nullopt;
  }
  CursorFileInfo info;
  info.frames = 1;
  if (type == kCursorType) {
    info.hotspotX = r.U16(kDirHeader + 4);
    info.hotspotY = r.U16(kDirHeader + 6);
  }
  return info;
}

std::optional<CursorFileInfo> ParseAnimated(const uint8_t* data, size_t size) {
  CursorReader r(data, size);
  uint32_t riffLength = r.U32(4);
  if (!r.ok() || !r.Tag(8, "ACON") || riffLength < 4 || riffLength > size - 8) return std::nullopt;
  size_t end = 8 + static_cast<size_t>(riffLength);
  uint32_t declaredFrames = 0;
  uint32_t icons = 0;
  std::optional<CursorFileInfo> first;
  for (size_t at = 12; at + 8 <= end;) {
    uint32_t length = r.U32(at + 4);
    if (!r.ok() || length > end - at - 8) return std::nullopt;
    size_t body = at + 8;
    if (r.Tag(at, "anih")) {
      if (length < kAniHeader) return std::nullopt;
      declaredFrames = r.U32(body + 4);
    } else if (r.Tag(at, "LIST") && length >= 4 && r.Tag(body, "fram")) {
      for (size_t sub = body + 4; sub + 8 <= body + length;) {
        uint32_t subLength = r.U32(sub + 4);
        if (!r.ok() || subLength > body + length - sub - 8) return std::nullopt;
        if (r.Tag(sub, "icon")) {
          auto frame = ParseDirectory(data + sub + 8, subLength, false);
          if (!frame) return std::nullopt;
          if (!first) first = frame;
          ++icons;
        }
        sub += 8 + subLength + (subLength & 1);
      }
    }
    at = body + length + (length & 1);
  }
  if (!r.ok() || declaredFrames == 0 || icons == 0 || !first) return std::nullopt;
  CursorFileInfo info = *first;
  info.animated = true;
  info.frames = declaredFrames;
  return info;
}

}  // namespace

std::optional<CursorFileInfo> ParseCursorFile(const uint8_t* data, size_t size) {
  if (!data || size < 12) return std::nullopt;
  if (std::memcmp(data, "RIFF", 4) == 0) return ParseAnimated(data, size);
  return ParseDirectory(data, size, true);
}

}  // namespace plat::detail
