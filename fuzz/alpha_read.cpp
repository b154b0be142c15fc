// Fuzz target: the alpha-plane chunk loader, for one plane and for a set; every loaded
// plane is drawn, encoded and decoded, and saved.
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/KK_AlphaChannel.h"

namespace {

void Exercise(const KK_AlphaChannel& p) {
  KK_AlphaChannel canvas;
  canvas.Create(17, 9);
  for (int32_t op = 0; op < 3; ++op) canvas.Draw(p, -3 + op * 5, 2 - op * 4, op);
  std::vector<uint8_t> encoded(size_t(p.DataSize()) * 2);
  const int32_t n = p.Encode(encoded.data());
  KK_AlphaChannel copy;
  copy.Create(p.Width(), p.Height());
  if (!copy.Decode(encoded.data(), n)) __builtin_trap();
  KK_AlphaChannel back;
  if (!back.LoadFromBytes(p.SaveToBytes())) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  KK_AlphaChannel one;
  if (one.LoadFromBytes(bytes)) Exercise(one);
  KK_AlphaChannelSet set;
  set.LoadFromBytes(bytes);
  for (int32_t i = 0; i < set.Count(); ++i) Exercise(*set.At(i));
  return 0;
}
