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
    plat::sim::SetRegistryFile(RegistryFile());
  }
}

std::string PlatformEnvironment::RegistryFile() const {
  return scratch_.empty() ? std::string() : scratch_ + "/registry.dat";
}

void PlatformEnvironment::TearDown() {
  if (scratch_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(scratch_, ec);
}

void FreshLayerPerTest::OnTestStart(const testing::TestInfo&) {
  // Only the process's own scratch file goes, never the user's.
  const std::string registry = environment_.RegistryFile();
  if (!registry.empty()) {
    std::error_code ec;
    std::filesystem::remove(registry, ec);
    plat::sim::SetRegistryFile(registry);
    plat::sim::ReloadRegistry();
  }
  plat::sim::ResetWindowSystem();
  plat::sim::ResetDisplay();
  plat::sim::ResetSound();
  plat::sim::ClearFaults();
  plat::sim::ClearPathPrefixes();
  plat::sim::SetProcessorCount(1);
}

}  // namespace testing_support
