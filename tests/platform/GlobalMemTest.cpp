#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "KernelTestSupport.h"
#include "plat/kernel.h"  // the umbrella must compile with every area present
#include "plat/sim.h"

namespace global_mem_test {

using kernel_test::AndError;

TEST(GlobalMem, MoveableBlocksCountTheirLocksAndFreedHandlesAreRefused) {
  HGLOBAL h = GlobalAlloc(GHND, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 16u);
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[0] | p[15], 0);
  std::memcpy(p, "hello", 6);
  EXPECT_EQ(GlobalLock(h), p);  // a block never moves
  EXPECT_TRUE(GlobalUnlock(h));
  SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_EQ(AndError(GlobalUnlock(h)), std::pair(FALSE, NO_ERROR));
  EXPECT_EQ(AndError(GlobalUnlock(h)), std::pair(FALSE, ERROR_NOT_LOCKED));
  EXPECT_STREQ(static_cast<char*>(GlobalLock(h)), "hello");
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(AndError(GlobalLock(h)), std::pair(LPVOID{}, ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(GlobalFree(h), h);
}

TEST(GlobalMem, FixedBlocksAreTheirOwnAddressAndFailuresGiveNull) {
  HGLOBAL h = GlobalAlloc(GPTR, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalLock(h), h);
  EXPECT_EQ(GlobalSize(h), 8u);
  static_cast<char*>(h)[7] = 'x';
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalSize(h), 0u);
  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  EXPECT_NE(GlobalLock(empty), nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  GlobalFree(empty);
  plat::sim::FailNext("GlobalAlloc");
  EXPECT_EQ(AndError(GlobalAlloc(GHND, 4)), std::pair(HGLOBAL{}, ERROR_NOT_ENOUGH_MEMORY));
  // Past the layer's 2 GB cap, which a 32-bit SIZE_T also reaches.
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, (SIZE_T{1} << 31) + 1), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_MAX), nullptr);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  plat::sim::ClearFaults();
}

}  // namespace global_mem_test
