// GetSystemInfo's configurable processor count and the version GetVersionExA reports.
#include <gtest/gtest.h>

#include <cstring>

#include "plat/error.h"
#include "plat/sim.h"
#include "plat/sysinfo.h"

namespace {

TEST(SystemInfo, ProcessorCountDefaultsToOneAndIsConfigurable) {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, 1u);
  EXPECT_EQ(info.dwActiveProcessorMask, 1u);
  EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
  EXPECT_EQ(info.dwPageSize, 4096u);

  plat::sim::SetProcessorCount(4);
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, 4u);
  EXPECT_EQ(info.dwActiveProcessorMask, 0xFu);
  plat::sim::SetProcessorCount(1);
}

TEST(SystemInfo, VersionIsFiveOneOnTheNtPlatform) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwMajorVersion, 5u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(v.dwPlatformId, 2u);

  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.dwMajorVersion, 5u);
  EXPECT_EQ(ex.wServicePackMajor, 3u);
  EXPECT_STREQ(ex.szCSDVersion, "Service Pack 3");
}

TEST(SystemInfo, VersionRefusesAnUnknownStructureSize) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v - 1;
  SetLastError(0);
  EXPECT_FALSE(GetVersionExA(&v));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(v.dwMajorVersion, 0u);
}

}  // namespace
