// The test programs' main: GoogleTest, plus the platform set-up every test expects
// (see TestEnvironment). "--case=N" replays one case of the seeded sweeps (Sweep.h).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--case=", 7) == 0) setenv("DORVIK_CASE", argv[i] + 7, 1);
  auto* environment = new testing_support::PlatformEnvironment;
  testing::AddGlobalTestEnvironment(environment);
  testing::UnitTest::GetInstance()->listeners().Append(new testing_support::FreshLayerPerTest(*environment));
  return RUN_ALL_TESTS();
}
