#include "support/TestEnvironment.h"

#include "plat/sim.h"

namespace testing_support {

// Tests run on the virtual clock: time moves only when a test advances it.
void PlatformEnvironment::SetUp() { plat::sim::UseVirtualClock(); }

}  // namespace testing_support
