#include "support/TestEnvironment.h"

namespace testing_support {

void PlatformEnvironment::SetUp() {}

}  // namespace testing_support
