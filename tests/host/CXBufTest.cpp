#include "host/CXBuf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "HostRecordTestSupport.h"
#include "host/XBufBlockAllocator.h"
#include "host/XBufPool.h"
#include "plat/error.h"
#include "plat/sim.h"

namespace cxbuf_test {

// Ends a buffer's use at scope exit.
struct Buf {
  IXBuf* p = CreateXBuf(nullptr);
  ~Buf() { p->Release(); }
  CXBuf* operator->() const { return static_cast<CXBuf*>(p); }
  CXBuf& operator*() const { return *static_cast<CXBuf*>(p); }
};

std::string Bytes(IXBuf* b) { return {reinterpret_cast<const char*>(b->GetData()), b->GetLength()}; }

// The error the call leaves behind.
template <class F>
DWORD ErrorAfter(F call) {
  SetLastError(0);
  call();
  return GetLastError();
}

class CXBufTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
};

TEST_F(CXBufTest, CreateGivesAPooledEmptyBufferOrSharesTheSourcesBytes) {
  IXBuf* first = CreateXBuf(nullptr);
  first->Release();
  Buf b;
  EXPECT_EQ(b.p, first) << "the released buffer is taken again";
  EXPECT_EQ(b->GetLength() + b->GetOffset(), 0u);
  ASSERT_NE(b->Block(), nullptr);
  EXPECT_EQ(b->Block()->capacity, 1024u);
  EXPECT_EQ(b->Block()->refs, 1);
  b->Append("xyz", 3);
  b->Consume(1);
  IXBuf* copy = CreateXBuf(b.p);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(static_cast<CXBuf*>(copy)->Block(), b->Block());
  EXPECT_EQ(Bytes(copy), "yz");
  copy->Release();
  EXPECT_EQ(b->Block()->refs, 1);
}

TEST_F(CXBufTest, ConsumeAdvancesAndConsumingEverythingRestartsTheBlock) {
  Buf b;
  b->Append("abcdef", 6);
  b->Consume(2);
  EXPECT_EQ(b->GetOffset(), 2u);
  EXPECT_EQ(Bytes(b.p), "cdef");
  b->Consume(4);
  EXPECT_EQ(b->GetOffset(), 0u);
  b->Append("xyz", 3);
  b->Consume(1);
  b->Consume(100);  // more than is left
  EXPECT_EQ(b->GetLength() + b->GetOffset(), 0u);
}

TEST_F(CXBufTest, SharedBlocksAreCopiedOnWriteButNotOnSetLength) {
  for (bool writeFirst : {true, false}) {
    Buf a, b;
    a->Append("hello", 5);
    EXPECT_EQ(b->CopyFrom(&*a), 5u);
    EXPECT_EQ(a->Block(), b->Block());
    EXPECT_EQ(a->Block()->refs, 2);
    CXBuf* writer = writeFirst ? &*a : &*b;
    CXBuf* reader = writeFirst ? &*b : &*a;
    writer->Append("!", 1);
    EXPECT_EQ(Bytes(writer) + Bytes(reader), "hello!hello");
    EXPECT_EQ(std::make_pair(reader->Block()->refs, writer->Block()->refs), std::make_pair(1, 1));
  }
  Buf a, b;
  a->Append("abcd", 4);
  b->CopyFrom(&*a);
  EXPECT_EQ(b->SetLength(2), a->Block());
  EXPECT_EQ(Bytes(b.p), "ab");
  b->WriteAt(1, 2, "XY");  // writes past the length, which stays
  EXPECT_EQ(Bytes(b.p), "aX");
  EXPECT_EQ(Bytes(a.p), "abcd");
  b->WriteAt(2000, 1, "z");  // beyond the block: grows it
  EXPECT_EQ(b->GetLength(), 2u);
  EXPECT_EQ(b->Block()->capacity, 4096u);
  EXPECT_EQ(b->GetData()[2000], 'z');
  EXPECT_NE(b->SetLength(5000), nullptr);
  EXPECT_EQ(b->Block()->capacity, 16384u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(b->GetData()), 4), "aXYd");
}

TEST_F(CXBufTest, DetachAndAttachHandBlocksOverAndRefuseRangesBeyondTheBlock) {
  Buf b;
  b->Append("abc", 3);
  XBufBlock* block = b->Detach();
  EXPECT_EQ(block->refs, 1);
  EXPECT_NE(b->Block(), block);
  EXPECT_EQ(b->GetLength(), 0u);
  EXPECT_EQ(b->Attach(block, 1, 2), 2u);  // takes the reference over unchanged
  EXPECT_EQ(block->refs, 1);
  EXPECT_EQ(Bytes(b.p), "bc");
  XBufBlock* foreign = XBufBlockAllocator::Global().Alloc(10);
  XBufBlockAllocator::AddRef(foreign);  // keep it alive to watch its count
  EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(b->Attach(foreign, 1000, 25), 0u); }), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(foreign->refs, 1) << "the handed-over reference is dropped";
  EXPECT_EQ(Bytes(b.p), "bc");
  XBufBlockAllocator::AddRef(foreign);
  EXPECT_EQ(b->Attach(foreign, 1000, 24), 24u);  // the far end of a block is acceptable
  XBufBlockAllocator::Global().Release(foreign);
  EXPECT_EQ(ErrorAfter([&] { b->SetRange(0xFFFFFFFFu, 2); }), ERROR_INVALID_PARAMETER);  // would wrap
  EXPECT_EQ(b->GetOffset(), 1000u);
  EXPECT_EQ(b->GetLength(), 24u);
  b->SetRange(0, 1024);
  EXPECT_EQ(b->GetLength(), 1024u);
}

TEST_F(CXBufTest, SizesBeyondTheLargestClassOrWrappingChangeNothing) {
  Buf b;
  b->Append("abcd", 4);
  b->Consume(2);
  EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(b->Reserve(0xFFFFFFFFu)); }), ERROR_INVALID_PARAMETER);
  b->Append("x", 0xFFFFFFFEu);
  EXPECT_EQ(ErrorAfter([&] { b->WriteAt(0xFFFFFFF0u, 0x20, "0123456789abcdef0123456789abcdef"); }),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(b->SetLength(0xFFFFFFFFu), nullptr); }), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(b->Block()->capacity, 1024u);
  EXPECT_EQ(Bytes(b.p), "cd");
}

TEST_F(CXBufTest, FailedGrowthOrCopyOnWriteLeavesTheBuffersAsTheyWere) {
  Buf b, shared;
  std::string data(1024, 'q');
  b->Append(data.data(), 1024);
  shared->CopyFrom(&*b);
  XBufBlock* before = b->Block();
  host_test::IdleBlocksHeld idle;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(ErrorAfter([&] { b->Append("more", 4); }), ERROR_OUTOFMEMORY);
  plat::sim::FailNext("HeapAlloc");
  b->WriteAt(0, 1, "!");
  plat::sim::FailNext("HeapAlloc");
  b->WriteAt(1024, 4, "more");
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(b->SetLength(2000), nullptr);
  EXPECT_EQ(b->GetLength(), 1024u);
  EXPECT_EQ(b->Block(), before);
  EXPECT_EQ(shared->Block(), before);
  EXPECT_EQ(Bytes(b.p), data);
  EXPECT_EQ(Bytes(shared.p), data);
}

TEST_F(CXBufTest, CreateReportsOutOfMemoryWhenNoBufferOrBlockCanBeHad) {
  // Empty the pool and the idle one-kilobyte blocks, so both must come from the heap.
  std::vector<IXBuf*> held;
  while (XBufPool::Global().Idle() > 0) held.push_back(CreateXBuf(nullptr));
  host_test::IdleBlocksHeld idle;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(ErrorAfter([] { EXPECT_EQ(CreateXBuf(nullptr), nullptr); }), ERROR_OUTOFMEMORY);
  // The buffer object comes first; the block is the second heap request.
  plat::sim::FailNext("HeapAlloc", 1, 1);
  EXPECT_EQ(ErrorAfter([] { EXPECT_EQ(CreateXBuf(nullptr), nullptr); }), ERROR_OUTOFMEMORY);
  EXPECT_EQ(XBufPool::Global().Idle(), 1u) << "the buffer object went back to the pool";
  for (IXBuf* b : held) b->Release();
}

TEST_F(CXBufTest, ThreadsSharingBlocksThroughCopyFromKeepTheirOwnBytes) {
  Buf origin;
  const std::string base(600, 'b');
  origin->Append(base.data(), static_cast<uint32_t>(base.size()));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        IXBuf* mine = CreateXBuf(origin.p);
        IXBuf* other = CreateXBuf(mine);
        const char mark = static_cast<char>('0' + t);
        mine->Append(&mark, 1);
        if (Bytes(mine) != base + mark || Bytes(other) != base) ++failures;
        other->Release();
        mine->Release();
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(origin->Block()->refs, 1);
  EXPECT_EQ(Bytes(origin.p), base);
}


using XBufBlockAllocatorTest = CXBufTest;

TEST_F(XBufBlockAllocatorTest, BlocksReturnWithTheirLastReferenceAndAreReusedLastInFirstOut) {
  XBufBlockAllocator alloc(2);
  XBufBlock* a = alloc.Alloc(10);
  XBufBlock* b = alloc.Alloc(1024);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(std::make_pair(a->refs, a->capacity), std::make_pair(1, 1024u));
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

TEST_F(XBufBlockAllocatorTest, FailedRequestsSayWhyAndFailedResizeAndMakeUniqueKeepTheOldBlock) {
  XBufBlockAllocator alloc(10);
  EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(alloc.Alloc(XBufBlockAllocator::kLargestBytes + 1ull), nullptr); }),
            ERROR_INVALID_PARAMETER);
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(alloc.Alloc(1), nullptr); }), ERROR_OUTOFMEMORY);
  EXPECT_EQ(alloc.HeapAllocations(), 0u);
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
  EXPECT_EQ(std::make_pair(slot, block->refs), std::make_pair(block, 2));
  EXPECT_TRUE(alloc.MakeUnique(&slot));
  ASSERT_NE(slot, block);
  EXPECT_EQ(std::make_tuple(slot->Data()[0], slot->refs, block->refs), std::make_tuple(BYTE{42}, 1, 1));
  EXPECT_TRUE(alloc.MakeUnique(&slot));  // private already: nothing to do
  XBufBlock* none = nullptr;
  EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(alloc.MakeUnique(&none)); }), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(alloc.MakeUnique(nullptr));
  alloc.Release(slot);
  alloc.Release(block);
}

TEST_F(CXBufTest, AppendGrowsIntoALargerClassKeepingTheBytes) {
  Buf b;
  std::string data(3000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i);
  b->Append(data.data(), 1000);
  b->Append(data.data() + 1000, 2000);
  EXPECT_EQ(b->Block()->capacity, 4096u);
  EXPECT_EQ(Bytes(b.p), data);
  // A null source appends room without copying.
  b->Append(nullptr, 5);
  EXPECT_EQ(b->GetLength(), 3005u);
}

TEST_F(CXBufTest, SteadyTrafficNeedsNoHeapAfterWarmUp) {
  auto cycle = [] {
    IXBuf* b = CreateXBuf(nullptr);
    static const char payload[3000] = {};
    b->Append(payload, 100);
    b->Append(payload, 2000);
    b->Release();
  };
  cycle();
  const uint32_t blocks = XBufBlockAllocator::Global().HeapAllocations();
  const uint32_t buffers = XBufPool::Global().Created();
  for (int i = 0; i < 10000; ++i) cycle();
  EXPECT_EQ(XBufBlockAllocator::Global().HeapAllocations(), blocks);
  EXPECT_EQ(XBufPool::Global().Created(), buffers);
}

}  // namespace cxbuf_test
