#include "host/XNetCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plat/error.h"

namespace {

TEST(XNetCodec, WritesAreBigEndianAndAdvance) {
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
}

TEST(XNetCodec, ReadsUndoWrites) {
  BYTE wire[] = {0xFF, 0xFF, 0xFF, 0xFE, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 2, 'h', 'i', 9};
  uint32_t left = sizeof wire;
  int32_t i = 0;
  uint64_t u64 = 0;
  std::string s;
  const BYTE* p = ReadNetU32(wire, &left, &i);
  EXPECT_EQ(i, -2);
  p = ReadNetU64(p, &left, &u64);
  EXPECT_EQ(u64, 0x0102030405060708u);
  p = ReadNetString(p, &left, &s);
  EXPECT_EQ(s, "hi");
  EXPECT_EQ(p, wire + 18);
  EXPECT_EQ(left, 1u);
  uint32_t u = 0;
  uint32_t four = 4;
  EXPECT_NE(ReadNetU32(wire, &four, &u), nullptr);
  EXPECT_EQ(u, 0xFFFFFFFEu);
}

TEST(XNetCodec, ShortRangesFailWithoutTouchingTheCount) {
  BYTE buf[8] = {0, 0, 0, 9, 'a', 'b', 'c', 'd'};
  uint32_t three = 3;
  uint32_t seven = 7;
  uint32_t eight = 8;
  uint32_t u = 0;
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

TEST(XNetCodec, ByteSwapsReverseEveryWidth) {
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

}  // namespace
