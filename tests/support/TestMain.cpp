// The test programs' main: GoogleTest, plus the platform set-up every test expects
// (see TestEnvironment).
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new testing_support::PlatformEnvironment);
  return RUN_ALL_TESTS();
}
