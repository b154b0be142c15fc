#include "support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "plat/sim.h"

namespace testing_support {

void PlatformEnvironment::SetUp() {
  // Tests run on the virtual clock: time moves only when a test advances it.
  plat::sim::UseVirtualClock();
  // Tests never touch the user's own registry file.
  std::string dir = (std::filesystem::temp_directory_path() / "dorvik-test-XXXXXX").string();
  if (mkdtemp(dir.data())) {
    scratch_ = dir;
    plat::sim::SetRegistryFile(dir + "/registry.dat");
  }
}

void PlatformEnvironment::TearDown() {
  if (scratch_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(scratch_, ec);
}

}  // namespace testing_support
