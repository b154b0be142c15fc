// Reader of cursor files: RIFF "ACON" animated cursors and .cur files. Every
// length, count and offset is checked against the bytes before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace plat::detail {

struct CursorFileInfo {
  bool animated = false;
  uint32_t frames = 0;
  int32_t hotspotX = 0;
  int32_t hotspotY = 0;
};

std::optional<CursorFileInfo> ParseCursorFile(const uint8_t* data, size_t size);

}  // namespace plat::detail
