// hwy_dispatch_check: a 32-bit Windows program built against the cross-built Highway.
// Its compile proves that the 32-bit x86 target list compiles with the cross compiler
// and keeps run-time dispatch (the SSE targets beside the baseline); run, it sums a
// row through the dispatched code and prints the target that ran.
#define HWY_TARGET_INCLUDE "hwy_dispatch_check.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include <cstdint>
#include <cstdio>

HWY_BEFORE_NAMESPACE();
namespace dispatch_check {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Every lane sums its own stripe; the row's length is a multiple of every width here.
uint32_t SumRow(const uint32_t* row, uint32_t count) {
  const hn::ScalableTag<uint32_t> d;
  auto sum = hn::Zero(d);
  for (uint32_t i = 0; i < count; i += hn::Lanes(d)) sum = hn::Add(sum, hn::LoadU(d, row + i));
  return hn::GetLane(hn::SumOfLanes(d, sum));
}

int64_t Target() { return HWY_TARGET; }

}  // namespace HWY_NAMESPACE
}  // namespace dispatch_check
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace dispatch_check {
HWY_EXPORT(SumRow);
HWY_EXPORT(Target);

// Without them the module's pixel rows would run the baseline on every machine.
static_assert((HWY_TARGETS & HWY_SSSE3) && (HWY_TARGETS & HWY_SSE4),
              "the 32-bit x86 target list lost its SSE targets");

void PrintTargets(const char* label, int64_t targets) {
  std::printf("%s", label);
  for (int64_t rest = targets; rest != 0; rest &= rest - 1) std::printf(" %s", hwy::TargetName(rest & -rest));
  std::printf("\n");
}
}  // namespace dispatch_check

int main() {
  using namespace dispatch_check;
  constexpr uint32_t kCount = 64;
  alignas(64) uint32_t row[kCount];
  for (uint32_t i = 0; i < kCount; ++i) row[i] = i + 1;
  const uint32_t sum = HWY_DYNAMIC_DISPATCH(SumRow)(row, kCount);
  PrintTargets("compiled:", HWY_TARGETS);
  PrintTargets("supported:", hwy::SupportedTargets());
  std::printf("chosen: %s, sum %u\n", hwy::TargetName(HWY_DYNAMIC_DISPATCH(Target)()), sum);
  return sum == kCount * (kCount + 1) / 2 ? 0 : 1;
}
#endif  // HWY_ONCE
