// The pixel rows' SIMD targets: a sweep runs once per target this machine can run, with
// the run-time dispatch held to that one target, so each is checked and not only the best.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Every target both compiled in and runnable here, lowest first.
std::vector<int64_t> SimdTargets();
std::string SimdTargetName(int64_t target);

// Holds the dispatch to one target while it lives.
class OnlySimdTarget {
 public:
  explicit OnlySimdTarget(int64_t target);
  ~OnlySimdTarget();
  OnlySimdTarget(const OnlySimdTarget&) = delete;
  OnlySimdTarget& operator=(const OnlySimdTarget&) = delete;
};

}  // namespace testing_support
