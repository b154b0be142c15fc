// Row converters: B, G, R bytes (24) or B, G, R, A words (32) to the other formats,
// keeping the top bits of each channel.
#include "graphics/KK_RowConvert.h"

#include "base/PixelFormat.h"

namespace kk {
namespace {

struct Bgr {
  uint32_t b, g, r;
};

template <int32_t kFromBpp>
Bgr ReadBgr(const uint8_t* s) {
  return {s[0], s[1], s[2]};
}

template <int32_t kFromBpp, int32_t kTo>
void Convert(void* dst, const void* src, int32_t count) {
  const auto* s = static_cast<const uint8_t*>(src);
  auto* d = static_cast<uint8_t*>(dst);
  for (int32_t i = 0; i < count; ++i, s += kFromBpp) {
    const Bgr c = ReadBgr<kFromBpp>(s);
    const uint32_t ref = c.r | (c.g << 8) | (c.b << 16);
    if constexpr (kTo == kFormat565) {
      StorePixel<uint16_t>(d, Px565::FromRef(ref));
      d += 2;
    } else if constexpr (kTo == kFormat555) {
      StorePixel<uint16_t>(d, Px555::FromRef(ref));
      d += 2;
    } else if constexpr (kTo == kFormat32) {
      StorePixel<uint32_t>(d, Px8888::FromRef(ref));
      d += 4;
    } else {
      d[0] = uint8_t(c.b), d[1] = uint8_t(c.g), d[2] = uint8_t(c.r);
      d += 3;
    }
  }
}

}  // namespace

RowConverter GetRowConverter(int32_t from, int32_t to) {
  if (from == kFormat24) {
    if (to == kFormat565) return Convert<3, kFormat565>;
    if (to == kFormat555) return Convert<3, kFormat555>;
    if (to == kFormat32) return Convert<3, kFormat32>;
  } else if (from == kFormat32) {
    if (to == kFormat565) return Convert<4, kFormat565>;
    if (to == kFormat555) return Convert<4, kFormat555>;
    if (to == kFormat24) return Convert<4, kFormat24>;
  }
  return nullptr;
}

}  // namespace kk
