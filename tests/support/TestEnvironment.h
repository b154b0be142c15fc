// Process-wide set-up of the platform layer for tests: headless, deterministic.
#pragma once

#include <gtest/gtest.h>

namespace testing_support {

class PlatformEnvironment : public testing::Environment {
 public:
  void SetUp() override;
};

}  // namespace testing_support
