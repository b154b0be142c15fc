// The blend table of the 16-bit stretch members, made by the compiler: every entry of
// [source][target][step] is in the binary, nothing is computed at start-up.
#include "widgets/SoftBlit.h"

namespace {

constexpr uint32_t kSteps = 15;

constexpr std::array<uint8_t, kBlendTableSize> MakeBlendTable() {
  std::array<uint8_t, kBlendTableSize> t{};
  for (uint32_t s = 0; s < kBlendTableSide; ++s)
    for (uint32_t d = 0; d < kBlendTableSide; ++d)
      for (uint32_t k = 0; k < kBlendTableSteps; ++k)
        t[(s * kBlendTableSide + d) * kBlendTableSteps + k] =
            k <= kSteps ? static_cast<uint8_t>((s * (kSteps - k) + d * k) / kSteps) : 0;
  return t;
}

}  // namespace

constinit const std::array<uint8_t, kBlendTableSize> kBlendTable = MakeBlendTable();
