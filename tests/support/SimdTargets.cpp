#include "support/SimdTargets.h"

#include <algorithm>

#include "hwy/targets.h"

namespace testing_support {

std::vector<int64_t> SimdTargets() {
  std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
  // Highway numbers better targets lower; lowest first reads as a ladder.
  std::sort(targets.begin(), targets.end(), [](int64_t a, int64_t b) { return a > b; });
  return targets;
}

std::string SimdTargetName(int64_t target) { return hwy::TargetName(target); }

OnlySimdTarget::OnlySimdTarget(int64_t target) { hwy::SetSupportedTargetsForTest(target); }
OnlySimdTarget::~OnlySimdTarget() { hwy::SetSupportedTargetsForTest(0); }

}  // namespace testing_support
