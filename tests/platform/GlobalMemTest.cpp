#include <gtest/gtest.h>

#include <cstring>

#include "plat/error.h"
#include "plat/kernel.h"  // the umbrella must compile with every area present
#include "plat/sim.h"

namespace {

TEST(GlobalMem, MoveableBlocksCountTheirLocks) {
  HGLOBAL h = GlobalAlloc(GHND, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 16u);
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[15], 0);
  std::memcpy(p, "hello", 6);
  EXPECT_EQ(GlobalLock(h), p);  // a block never moves
  EXPECT_TRUE(GlobalUnlock(h));
  SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_EQ(GetLastError(), NO_ERROR);
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
  EXPECT_STREQ(static_cast<char*>(GlobalLock(h)), "hello");
  EXPECT_EQ(GlobalFree(h), nullptr);

  // A freed handle is refused everywhere.
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(GlobalFree(h), h);
}

TEST(GlobalMem, FixedBlocksAreTheirOwnAddress) {
  HGLOBAL h = GlobalAlloc(GPTR, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalLock(h), h);
  EXPECT_EQ(GlobalSize(h), 8u);
  static_cast<char*>(h)[7] = 'x';
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalSize(h), 0u);

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_NE(GlobalLock(empty), nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  GlobalFree(empty);
}

TEST(GlobalMem, AllocationFailures) {
  plat::sim::FailNext("GlobalAlloc");
  EXPECT_EQ(GlobalAlloc(GHND, 4), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_T{1} << 40), nullptr);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  plat::sim::ClearFaults();
}

}  // namespace
