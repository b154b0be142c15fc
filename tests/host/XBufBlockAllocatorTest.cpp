#include "host/XBufBlockAllocator.h"

#include <gtest/gtest.h>

#include <vector>

#include "plat/error.h"
#include "plat/sim.h"

namespace {

class XBufBlockAllocatorTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
};

TEST_F(XBufBlockAllocatorTest, RequestsTakeTheSmallestClassThatHoldsThem) {
  struct Case { uint64_t bytes; uint32_t sizeClass; };
  const Case cases[] = {
      {0, 0},           {1, 0},           {1024, 0},        {1025, 1},        {4096, 1},
      {4097, 2},        {16384, 2},       {16385, 3},       {65536, 3},       {65537, 4},
      {262144, 4},      {262145, 5},      {1048576, 5},     {1048577, 6},     {4194304, 6},
      {4194305, 7},     {16777216, 7},    {16777217, 8},    {67108864, 8},    {67108865, 9},
      {268435456, 9},   {268435457, XBufBlockAllocator::kNoClass},
      {0xFFFFFFFFull, XBufBlockAllocator::kNoClass}, {0x100000400ull, XBufBlockAllocator::kNoClass},
  };
  for (const Case& c : cases) EXPECT_EQ(XBufBlockAllocator::ClassOf(c.bytes), c.sizeClass) << c.bytes;
  EXPECT_EQ(XBufBlockAllocator::ClassBytes(0), 1024u);
  EXPECT_EQ(XBufBlockAllocator::ClassBytes(9), XBufBlockAllocator::kLargestBytes);
}

TEST_F(XBufBlockAllocatorTest, BlocksReturnWithTheirLastReferenceAndAreReusedLastInFirstOut) {
  XBufBlockAllocator alloc(2);
  XBufBlock* a = alloc.Alloc(10);
  XBufBlock* b = alloc.Alloc(1024);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->refs, 1);
  EXPECT_EQ(a->capacity, 1024u);
  XBufBlockAllocator::AddRef(a);
  alloc.Release(a);
  EXPECT_EQ(alloc.IdleBlocks(0), 0u);
  alloc.Release(a);
  alloc.Release(b);
  EXPECT_EQ(alloc.IdleBlocks(0), 2u);
  EXPECT_EQ(alloc.Alloc(5), b);
  EXPECT_EQ(alloc.Alloc(5), a);
  EXPECT_EQ(alloc.HeapAllocations(), 2u);
  // Another class never hands out these blocks.
  XBufBlock* big = alloc.Alloc(2000);
  EXPECT_EQ(big->capacity, 4096u);
  EXPECT_EQ(alloc.HeapAllocations(), 3u);
  // A full free list sends the third block back to the heap, so it is asked again.
  XBufBlock* c = alloc.Alloc(100);
  for (XBufBlock* block : {a, b, c}) alloc.Release(block);
  EXPECT_EQ(alloc.IdleBlocks(0), 2u);
  for (XBufBlock** block : {&a, &b, &c}) *block = alloc.Alloc(100);
  EXPECT_EQ(alloc.HeapAllocations(), 5u);
  for (XBufBlock* block : {a, b, c, big}) alloc.Release(block);
}

TEST_F(XBufBlockAllocatorTest, FailedRequestsGiveNullAndSayWhy) {
  XBufBlockAllocator alloc(10);
  SetLastError(0);
  EXPECT_EQ(alloc.Alloc(XBufBlockAllocator::kLargestBytes + 1ull), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(alloc.Alloc(1), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_OUTOFMEMORY);
  EXPECT_EQ(alloc.HeapAllocations(), 0u);
}

TEST_F(XBufBlockAllocatorTest, ResizeKeepsABigEnoughBlockAndCopiesTheWholeCapacityIntoALargerOne) {
  XBufBlockAllocator alloc(10);
  XBufBlock* block = alloc.Alloc(1);
  XBufBlockAllocator::AddRef(block);
  EXPECT_EQ(alloc.Resize(block, 1024), block);  // even when shared
  EXPECT_EQ(block->refs, 2);
  alloc.Release(block);
  for (uint32_t i = 0; i < block->capacity; ++i) block->Data()[i] = static_cast<BYTE>(i * 7);
  XBufBlock* bigger = alloc.Resize(block, 1025);
  ASSERT_NE(bigger, nullptr);
  EXPECT_EQ(bigger->capacity, 4096u);
  for (uint32_t i = 0; i < 1024; ++i) ASSERT_EQ(bigger->Data()[i], static_cast<BYTE>(i * 7)) << i;
  EXPECT_EQ(alloc.IdleBlocks(0), 1u);
  alloc.Release(bigger);
}

TEST_F(XBufBlockAllocatorTest, FailedResizeAndMakeUniqueKeepTheOldBlock) {
  XBufBlockAllocator alloc(10);
  XBufBlock* block = alloc.Alloc(1);
  block->Data()[0] = 42;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(alloc.Resize(block, 5000), nullptr);
  EXPECT_EQ(block->refs, 1);
  EXPECT_EQ(block->Data()[0], 42);
  XBufBlockAllocator::AddRef(block);
  XBufBlock* slot = block;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_FALSE(alloc.MakeUnique(&slot));
  EXPECT_EQ(slot, block);
  EXPECT_EQ(block->refs, 2);
  EXPECT_TRUE(alloc.MakeUnique(&slot));
  ASSERT_NE(slot, block);
  EXPECT_EQ(slot->Data()[0], 42);
  EXPECT_EQ(slot->refs, 1);
  EXPECT_EQ(block->refs, 1);
  EXPECT_TRUE(alloc.MakeUnique(&slot));  // private already: nothing to do
  XBufBlock* none = nullptr;
  SetLastError(0);
  EXPECT_FALSE(alloc.MakeUnique(&none));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(alloc.MakeUnique(nullptr));
  alloc.Release(slot);
  alloc.Release(block);
}

}  // namespace
