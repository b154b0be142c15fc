// Process-wide set-up of the platform layer for tests: headless, deterministic.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

class PlatformEnvironment : public testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  std::string scratch_;  // the process's scratch folder (registry file)
};

}  // namespace testing_support
