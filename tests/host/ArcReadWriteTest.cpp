#include "host/ArcReadWrite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "HostRecordTestSupport.h"
#include "host/CXBuf.h"
#include "host/XNetCodec.h"
#include "plat/error.h"
#include "plat/sim.h"

namespace arc_read_write_test {

using host_test::ByteArray;

struct Buf {
  IXBuf* p = CreateXBuf(nullptr);
  ~Buf() { p->Release(); }
  operator IXBuf*() const { return p; }
  IXBuf* operator->() const { return p; }
};

std::string Bytes(IXBuf* b) { return {reinterpret_cast<const char*>(b->GetData()), b->GetLength()}; }
void Put(IXBuf* b, const std::string& bytes) { b->Append(bytes.data(), static_cast<uint32_t>(bytes.size())); }

std::string ArrayBytes(const VARIANT& v) {
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  return {static_cast<const char*>(v.parray->pvData), static_cast<size_t>(upper - lower + 1)};
}

// The error a call that must answer 0 leaves behind.
template <class F>
DWORD FailsWith(F call) {
  SetLastError(0);
  EXPECT_EQ(call(), 0);
  return GetLastError();
}

class ArcReadWriteTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
};

TEST_F(ArcReadWriteTest, IntegersAreLittleEndianAndAShortReadConsumesNothing) {
  Buf b;
  EXPECT_TRUE(ArcWrite(b, static_cast<uint8_t>(0xAB)) && ArcWrite(b, static_cast<int8_t>(-2)) &&
              ArcWrite(b, int32_t{-2}) && ArcWrite(b, uint32_t{0x01020304}) && ArcWrite(b, int64_t{-3}) &&
              ArcWrite(b, uint64_t{0x0102030405060708}));
  EXPECT_EQ(Bytes(b), std::string("\xAB\xFE" "\xFE\xFF\xFF\xFF" "\x04\x03\x02\x01"
                                  "\xFD\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "\x08\x07\x06\x05\x04\x03\x02\x01", 26));
  uint16_t u16 = 0;
  int16_t i16 = 0;
  int32_t i32 = 0;
  uint32_t u32 = 0;
  int64_t i64 = 0;
  uint64_t u64 = 0;
  Put(b, "\xFF\xFF" "abc");
  EXPECT_TRUE(ArcRead(u16, b) && ArcRead(i32, b) && ArcRead(u32, b) && ArcRead(i64, b) && ArcRead(u64, b) &&
              ArcRead(i16, b));
  EXPECT_EQ(std::make_tuple(u16, i16, i32, u32, i64, u64),
            std::make_tuple(uint16_t{0xFEAB}, int16_t{-1}, -2, 0x01020304u, int64_t{-3}, uint64_t{0x0102030405060708}));
  i32 = 7;
  EXPECT_FALSE(ArcRead(i32, b) || ArcRead(u32, b) || ArcRead(i64, b));
  EXPECT_EQ(i32, 7);
  EXPECT_EQ(Bytes(b), "abc");
  b->Consume(2);
  EXPECT_EQ(ArcRead(i16, b), 0);
  EXPECT_EQ(Bytes(b), "c");
}

TEST_F(ArcReadWriteTest, StringsCarryAByteCountAndKeepZeroBytesButModuleStringsEndAtTheFirst) {
  Buf b;
  EXPECT_EQ(ArcWrite(b, std::string()), 1);
  EXPECT_EQ(Bytes(b), std::string(4, '\0'));
  EXPECT_EQ(ArcWrite(b, std::string("a\0b", 3)), 1);
  std::string s = "old";
  EXPECT_TRUE(ArcRead(s, b) && s.empty());
  EXPECT_EQ(ArcRead(s, b), 1);
  EXPECT_EQ(s, std::string("a\0b", 3));
  // A string shorter than its count leaves only the count consumed.
  Put(b, std::string("\x05\0\0\0" "abc", 7));
  EXPECT_EQ(ArcRead(s, b), 0);
  EXPECT_EQ(s, std::string("a\0b", 3));
  EXPECT_EQ(Bytes(b), "abc");
  struct Case { XStrCount count; std::string wire; std::string text; uint32_t capacity; };
  const Case cases[] = {
      {XStrCount::k32, std::string("\x05\0\0\0" "ab\0cd", 9), "ab", 255},
      {XStrCount::k16, std::string("\x03\0" "xyz", 5), "xyz", 255}, {XStrCount::k16, std::string("\0\0", 2), "", 255},
      {XStrCount::k32, std::string("\0\x01\0\0", 4) + std::string(256, 'k'), std::string(256, 'k'), 511},
  };
  for (const Case& c : cases) {
    Buf b;
    Put(b, c.wire);
    Put(b, "!");
    XBufString s;
    EXPECT_EQ(ArcRead(s, b, c.count), 1);
    EXPECT_EQ(std::string(s.c_str()), c.text);
    EXPECT_EQ(s.Length(), c.text.size());
    EXPECT_EQ(s.Capacity(), c.capacity);
    EXPECT_EQ(Bytes(b), "!") << "every counted byte is consumed";
  }
  EXPECT_EQ(XBufString::CapacityFor(255), 255u);
  EXPECT_EQ(XBufString::CapacityFor(511), 511u);
  EXPECT_EQ(XBufString::CapacityFor(512), 767u);
}

TEST_F(ArcReadWriteTest, ByteArrayVariantsRoundTripCountedAndRaw) {
  Buf b;
  VARIANT in = ByteArray(std::string("\x01\0\x02", 3));
  EXPECT_EQ(ArcWrite(b, in), 1);
  EXPECT_EQ(Bytes(b), std::string("\x03\0\0\0\x01\0\x02", 7));
  EXPECT_EQ(ArcWriteRaw(b, in), 1);
  EXPECT_EQ(b->GetLength(), 10u);
  VARIANT out = ByteArray("stale");  // a set destination is cleared first
  EXPECT_EQ(ArcRead(out, b), 1);
  EXPECT_EQ(out.vt, VT_ARRAY | VT_UI1);
  EXPECT_EQ(SafeArrayGetDim(out.parray), 1u);
  LONG lower = -1;
  SafeArrayGetLBound(out.parray, 1, &lower);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(ArrayBytes(out), std::string("\x01\0\x02", 3));
  EXPECT_EQ(ArcReadRaw(out, b), 1);
  EXPECT_EQ(ArrayBytes(out), std::string("\x01\0\x02", 3));
  EXPECT_EQ(b->GetLength(), 3u) << "the raw reader consumes nothing";
  VariantClear(&in);
  VariantClear(&out);
}

TEST_F(ArcReadWriteTest, ALyingCountAllocatesNothingAndAFailedArrayLeavesTheBytes) {
  Buf b;
  Put(b, std::string("\xF0\xFF\xFF\xFF" "ab", 6));
  VARIANT v;
  VariantInit(&v);
  plat::sim::FailNext("SafeArrayCreate");
  EXPECT_EQ(ArcRead(v, b), 0);
  EXPECT_EQ(plat::sim::FaultsFired("SafeArrayCreate"), 0u) << "no array was asked for";
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(Bytes(b), "ab");
  Put(b, std::string("\xFF\xFF" "cd", 4));
  Put(b, std::string("\x05\0\0\0", 4));
  b->Consume(2);
  XBufString s;
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(ArcRead(s, b, XStrCount::k16), 0);
  EXPECT_EQ(plat::sim::FaultsFired("HeapAlloc"), 0u);
  EXPECT_EQ(s.Capacity(), 0u);
  plat::sim::ClearFaults();  // the unfired heap fault would refuse the next buffer
  Buf c;
  Put(c, std::string("\x02\0\0\0" "ab", 6));
  plat::sim::FailNext("SafeArrayCreate");
  EXPECT_EQ(ArcRead(v, c), 0);
  EXPECT_EQ(Bytes(c), "ab");
  plat::sim::FailNext("SafeArrayAccessData");
  EXPECT_EQ(ArcReadRaw(v, c), 0);
  EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST_F(ArcReadWriteTest, BstrReaderTakesTheCountedBytesIntoANullDestinationOnly) {
  Buf b;
  ArcWrite(b, std::string("odd"));
  BSTR s = nullptr;
  EXPECT_EQ(ArcRead(s, b), 1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringByteLen(s), 3u);
  EXPECT_EQ(std::memcmp(s, "odd", 3), 0);
  ArcWrite(b, std::string("\x41\0", 2));
  EXPECT_EQ(FailsWith([&] { return ArcRead(s, b); }), ERROR_INVALID_PARAMETER) << "a held string is not leaked";
  EXPECT_EQ(b->GetLength(), 6u);
  SysFreeString(s);
  s = nullptr;
  EXPECT_EQ(ArcRead(s, b), 1);
  EXPECT_EQ(std::u16string(s), u"A");
  SysFreeString(s);
  s = nullptr;
  // The count is checked before anything is allocated.
  Put(b, std::string("\xFF\xFF\xFF\xFF" "abc", 7));
  plat::sim::FailNext("SysAllocString");
  EXPECT_EQ(ArcRead(s, b), 0);
  EXPECT_EQ(plat::sim::FaultsFired("SysAllocString"), 0u);
  EXPECT_EQ(Bytes(b), "abc");
  b->Consume(3);
  ArcWrite(b, std::string("abc"));
  EXPECT_EQ(FailsWith([&] { return ArcRead(s, b); }), ERROR_OUTOFMEMORY);
  EXPECT_EQ(s, nullptr);
  EXPECT_EQ(Bytes(b), "abc") << "the count stays consumed, the bytes do not";
}


TEST(XNetCodec, WritesAreBigEndianAndAdvanceReadsUndoThemAndSwapsReverseEveryWidth) {
  BYTE out[32] = {};
  uint32_t left = sizeof out;
  BYTE* p = WriteNetU32(out, &left, 0x01020304u);
  ASSERT_EQ(p, out + 4);
  p = WriteNetString(p, &left, std::string("a\0b", 3));
  ASSERT_EQ(p, out + 11);
  p = WriteNetWString(p, &left, u"\uAC00z");
  ASSERT_EQ(p, out + 19);
  EXPECT_EQ(left, 32u - 19u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 19),
            std::string("\x01\x02\x03\x04" "\0\0\0\x03" "a\0b" "\0\0\0\x02" "\xAC\x00\x00z", 19));
  BYTE wire[] = {0xFF, 0xFF, 0xFF, 0xFE, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 2, 'h', 'i', 9};
  left = sizeof wire;
  int32_t i = 0;
  uint32_t u = 0, four = 4;
  uint64_t u64 = 0;
  std::string s;
  const BYTE* q = ReadNetString(ReadNetU64(ReadNetU32(wire, &left, &i), &left, &u64), &left, &s);
  EXPECT_EQ(std::make_tuple(i, u64, s), std::make_tuple(-2, uint64_t{0x0102030405060708}, std::string("hi")));
  EXPECT_EQ(q, wire + 18);
  EXPECT_EQ(left, 1u);
  EXPECT_NE(ReadNetU32(wire, &four, &u), nullptr);
  EXPECT_EQ(u, 0xFFFFFFFEu);
  EXPECT_EQ(ByteSwap16(0x1234), 0x3412);
  EXPECT_EQ(ByteSwap32(0x12345678u), 0x78563412u);
  EXPECT_EQ(ByteSwap64(0x0102030405060708u), 0x0807060504030201u);
  EXPECT_EQ(ByteSwapFloat(ByteSwapFloat(1.5f)), 1.5f);
  EXPECT_EQ(ByteSwapDouble(ByteSwapDouble(-2.25)), -2.25);
  const float f = ByteSwapFloat(1.0f);  // 0x3F800000 reversed
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  EXPECT_EQ(bits, 0x0000803Fu);
}

TEST(XNetCodec, ShortRangesFailWithoutTouchingTheCount) {
  BYTE buf[8] = {0, 0, 0, 9, 'a', 'b', 'c', 'd'};
  uint32_t three = 3, seven = 7, eight = 8, u = 0;
  uint64_t u64 = 0;
  std::string s = "keep";
  auto run = [&](auto&& call, uint32_t& left, DWORD expected, const char* name) {
    const uint32_t before = left;
    SetLastError(12345);
    EXPECT_EQ(call(), nullptr) << name;
    EXPECT_EQ(GetLastError(), expected) << name;
    EXPECT_EQ(left, before) << name;
  };
  run([&] { return WriteNetU32(buf, &three, 1); }, three, ERROR_INSUFFICIENT_BUFFER, "write u32 in 3");
  run([&] { return ReadNetU32(buf, &three, &u); }, three, ERROR_SUCCESS, "read u32 in 3");
  run([&] { return ReadNetU64(buf, &seven, &u64); }, seven, ERROR_SUCCESS, "read u64 in 7");
  run([&] { return ReadNetString(buf, &eight, &s); }, eight, ERROR_SUCCESS, "count 9 in 8");
  run([&] { return WriteNetString(buf, &seven, "abcd"); }, seven, ERROR_INSUFFICIENT_BUFFER, "text after count");
  run([&] { return WriteNetWString(buf, &seven, u"ab"); }, seven, ERROR_INSUFFICIENT_BUFFER, "wide text");
  run([&] { return WriteNetU32(nullptr, &eight, 1); }, eight, ERROR_INVALID_PARAMETER, "null pointer");
  run([&] { return ReadNetU32(buf, &eight, static_cast<uint32_t*>(nullptr)); }, eight, ERROR_INVALID_PARAMETER,
      "null out");
  run([&] { return ReadNetString(nullptr, &eight, &s); }, eight, ERROR_INVALID_PARAMETER, "null string source");
  EXPECT_EQ(WriteNetU32(buf, nullptr, 1), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(s, "keep");
  EXPECT_EQ(buf[3], 9) << "a failed write changes no byte";
}

TEST_F(ArcReadWriteTest, BlobsAppendToTheDestination) {
  Buf source, b, dest;
  Put(source, "xyz");
  EXPECT_EQ(ArcWrite(b, source.p), 1);
  EXPECT_EQ(Bytes(b), std::string("\x03\0\0\0xyz", 7));
  Put(dest, "<");
  EXPECT_EQ(ArcRead(*dest.p, b), 1);
  EXPECT_EQ(Bytes(dest), "<xyz");
  EXPECT_EQ(b->GetLength(), 0u);
  // Writing a buffer into itself copies what it held before the count.
  EXPECT_EQ(ArcWrite(dest, dest.p), 1);
  EXPECT_EQ(Bytes(dest), std::string("<xyz\x04\0\0\0<xyz", 12));
  SetLastError(0);
  EXPECT_EQ(ArcRead(*dest.p, dest), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ArcReadWriteTest, VariantWritersRefuseOtherTypes) {
  Buf b;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  SetLastError(0);
  EXPECT_EQ(ArcWrite(b, v), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
  SetLastError(0);
  EXPECT_EQ(ArcWriteRaw(b, v), 0);
  EXPECT_EQ(GetLastError(), ERROR_BAD_FORMAT);

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreate(VT_UI1, 2, bounds);
  EXPECT_EQ(ArcWrite(b, v), 0);
  VariantClear(&v);

  v = ByteArray("abc");
  plat::sim::FailNext("SafeArrayAccessData");
  EXPECT_EQ(ArcWrite(b, v), 0);
  EXPECT_EQ(b->GetLength(), 0u);
  VariantClear(&v);
}

TEST_F(ArcReadWriteTest, WritersReturnZeroWhenTheBufferCannotGrow) {
  Buf b;
  b->Append(nullptr, 1022);
  // Take the idle four-kilobyte blocks so that growth must ask the heap.
  std::vector<XBufBlock*> held;
  while (XBufBlockAllocator::Global().IdleBlocks(1) > 0) held.push_back(XBufBlockAllocator::Global().Alloc(4096));
  plat::sim::FailNext("HeapAlloc", 100);
  EXPECT_EQ(ArcWrite(b, int32_t{1}), 0);
  EXPECT_EQ(ArcWrite(b, std::string("abc")), 0);
  EXPECT_EQ(ArcWrite(b, uint64_t{1}), 0);
  VARIANT v = ByteArray("abc");
  EXPECT_EQ(ArcWrite(b, v), 0);
  VariantClear(&v);
  EXPECT_EQ(b->GetLength(), 1022u) << "nothing half-written";
  EXPECT_EQ(ArcWrite(b, uint8_t{1}), 1);
  plat::sim::ClearFaults();
  for (XBufBlock* block : held) XBufBlockAllocator::Global().Release(block);
}

}  // namespace arc_read_write_test
