// The avatar composer's own GIF reader: version 89a only, every image decoded into an
// 8-bit canvas of the logical screen size that carries what earlier images left.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/XDibAnimation.h"
#include "plat/types.h"

// Limits of what one file may make: the logical screen, and the frames' pixels together.
constexpr int64_t kGif89MaxScreenPixels = int64_t(4) << 20;
constexpr int64_t kGif89MaxAnimationBytes = int64_t(64) << 20;
// Interlaced images are placed through a row table of this many rows; taller ones fail.
constexpr int32_t kGif89MaxInterlacedRows = 2048;
constexpr size_t kGif89MaxFileBytes = size_t(16) << 20;

// Appends the file's frames to `out` and recounts it. 1 on a trailer, or when an image
// runs out of data (that image dropped); 0 for another version, an unknown block, a
// refused image or data ending without a trailer. Frames decoded before a failure stay.
int DecodeGif89a(std::span<const uint8_t> bytes, XDibAnimation& out);
// The file read whole through the layer; 0 when it cannot be read.
int DecodeGif89aFile(const char* name, XDibAnimation& out);
int DecodeGif89aResource(HMODULE module, LPCSTR name, LPCSTR type, XDibAnimation& out);
