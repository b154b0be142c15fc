#include <gtest/gtest.h>

#include "plat/error.h"
#include "plat/sim.h"
#include "plat/sysinfo.h"

namespace {

TEST(SystemInfo, ProcessorCountDefaultsToOneAndIsConfigurable) {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, 1u);
  EXPECT_EQ(info.dwActiveProcessorMask, 1u);
  plat::sim::SetProcessorCount(4);
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, 4u);
  EXPECT_EQ(info.dwActiveProcessorMask, 0xFu);
  plat::sim::SetProcessorCount(1);
}

TEST(SystemInfo, VersionFillsBothStructureSizesAndRefusesOthers) {
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.dwPlatformId, 2u);
  EXPECT_STREQ(ex.szCSDVersion, "Service Pack 3");
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwMajorVersion * 10 + v.dwMinorVersion, 51u);
  v = OSVERSIONINFOA{};
  v.dwOSVersionInfoSize = sizeof v - 1;
  SetLastError(0);
  EXPECT_FALSE(GetVersionExA(&v));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(v.dwMajorVersion, 0u);
}

}  // namespace
