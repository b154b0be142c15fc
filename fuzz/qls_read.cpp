// Fuzz target: the run-length sprite chunk loader, and every walk an accepted chunk
// must survive (bounds, hit tests, unpacking, conversion, save and reload).
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"

namespace {

void Exercise(const KK_LLESprite& s) {
  int32_t left = 0, top = 0, width = 0, height = 0;
  s.GetBounds(&left, &top, &width, &height);
  for (int32_t y = top - 1; y <= top + height && y < top + 64; ++y)
    for (int32_t x = left - 1; x <= left + width && x < left + 64; ++x) s.HitTest(x, y);
  const auto& h = s.Header();
  if (h.trimWidth && h.trimHeight) {
    const int32_t pitch = h.trimWidth * s.BytesPerPixel();
    std::vector<uint8_t> flat(size_t(pitch) * h.trimHeight);
    s.Unpack(flat.data(), pitch);
  }
  const std::vector<uint8_t> saved = s.SaveToBytes();
  KK_LLESprite again;
  if (!again.LoadFromBytes(saved, 0, 0)) __builtin_trap();
  for (int32_t code : {16, 17, 24, 32}) {
    KK_LLESprite copy;
    copy.LoadFromBytes(saved, 0, 0);
    copy.ConvertFormat(code);
    KK_LLESprite reread;
    if (!reread.LoadFromBytes(copy.SaveToBytes(), 0, 0)) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int32_t made = CreateFXManager(16);
  (void)made;
  const std::span<const uint8_t> bytes(data, size);
  for (int32_t skip : {0, 1})
    for (int32_t convert : {0, 1}) {
      KK_LLESprite s;
      if (s.LoadFromBytes(bytes, skip, convert)) Exercise(s);
    }
  return 0;
}
