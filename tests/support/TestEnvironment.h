// Process-wide set-up of the platform layer for tests: headless, deterministic.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

class PlatformEnvironment : public testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
  // The process's own registry file ("" until SetUp made the scratch folder).
  std::string RegistryFile() const;

 private:
  std::string scratch_;  // the process's scratch folder (registry file)
};

// Every test starts from the layer's start state, whatever the tests before it in the
// same process left: no registry values, no windows, timers or modal hook, the default
// display, sound and processor count, no armed faults or mapped paths. CTest runs each
// test in a process of its own; a whole test program run at once must pass as well.
class FreshLayerPerTest : public testing::EmptyTestEventListener {
 public:
  explicit FreshLayerPerTest(const PlatformEnvironment& environment) : environment_(environment) {}
  void OnTestStart(const testing::TestInfo& test) override;

 private:
  const PlatformEnvironment& environment_;
};

}  // namespace testing_support
