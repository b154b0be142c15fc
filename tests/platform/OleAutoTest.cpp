#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plat/oleauto.h"
#include "plat/sim.h"

namespace {

// The bytes of a BSTR from its length prefix onward, terminator included.
std::string Block(BSTR b, size_t bytes) {
  return std::string(reinterpret_cast<const char*>(b) - 4, 4 + bytes + 2);
}

TEST(OleAuto, ByteLengthsAreKeptExactlyWithTwoZeroBytesAfterAndNullSourcesGiveZeros) {
  const char content[] = "abcdefghij";
  for (UINT n : {0u, 1u, 2u, 3u, 7u, 8u}) {
    SCOPED_TRACE(n);
    BSTR b = SysAllocStringByteLen(content, n);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringByteLen(b), n);
    EXPECT_EQ(SysStringLen(b), n / 2);
    EXPECT_EQ(Block(b, n), std::string(1, static_cast<char>(n)) + std::string(3, '\0') + std::string(content, n) +
                               std::string(2, '\0'));
    SysFreeString(b);
  }
  BSTR bytes = SysAllocStringByteLen(nullptr, 5), chars = SysAllocStringLen(nullptr, 3);
  EXPECT_EQ(Block(bytes, 5), std::string("\5\0\0\0", 4) + std::string(7, '\0'));
  EXPECT_EQ(SysStringLen(chars), 3u);
  EXPECT_EQ(std::u16string(chars, 4), std::u16string(4, u'\0'));
  SysFreeString(bytes);
  SysFreeString(chars);
}

TEST(OleAuto, ReallocationMayCopyFromTheOldString) {
  BSTR b = SysAllocString(u"hello");
  ASSERT_EQ(SysReAllocStringLen(&b, b + 1, 3), TRUE);
  EXPECT_EQ(std::u16string(b), u"ell");
  ASSERT_EQ(SysReAllocString(&b, u"longer text"), TRUE);
  EXPECT_EQ(SysStringLen(b), 11u);
  SysFreeString(b);
}

// Twice these counts passes 32 bits: on a 32-bit size_t it must not wrap to a short string.
TEST(OleAuto, CharacterCountsWhoseBytesPassThirtyTwoBitsAreRefused) {
  for (UINT chars : {0x80000000u, 0x80000001u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(chars);
    EXPECT_EQ(SysAllocStringLen(nullptr, chars), nullptr);
    EXPECT_EQ(SysAllocStringLen(u"ab", chars), nullptr);
    BSTR kept = SysAllocString(u"kept");
    EXPECT_EQ(SysReAllocStringLen(&kept, u"ab", chars), FALSE);
    EXPECT_EQ(std::u16string(kept), u"kept");
    SysFreeString(kept);
  }
}

TEST(OleAuto, TextCopiesStopAtTheTerminatorOrTheGivenLength) {
  BSTR text = SysAllocString(u"냥 ok");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(SysStringByteLen(text), 8u);
  EXPECT_EQ(std::u16string(text), u"냥 ok");

  // An explicit length keeps embedded zeros.
  BSTR withZero = SysAllocStringLen(u"a\0b", 3);
  ASSERT_NE(withZero, nullptr);
  EXPECT_EQ(std::u16string(withZero, 4), std::u16string(u"a\0b\0", 4));

  BSTR empty = SysAllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], u'\0');

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  SysFreeString(text);
  SysFreeString(withZero);
  SysFreeString(empty);
}

TEST(OleAuto, AllocationFaultFailsEveryAllocator) {
  plat::sim::ClearFaults();
  plat::sim::FailNext("SysAllocString", 5);
  EXPECT_EQ(SysAllocString(u"x"), nullptr);
  EXPECT_EQ(SysAllocStringLen(u"x", 1), nullptr);
  EXPECT_EQ(SysAllocStringByteLen("x", 1), nullptr);
  BSTR kept = nullptr;
  EXPECT_EQ(SysReAllocString(&kept, u"x"), FALSE);
  EXPECT_EQ(kept, nullptr);
  EXPECT_EQ(SysReAllocStringLen(&kept, u"x", 1), FALSE);
  EXPECT_EQ(plat::sim::FaultsFired("SysAllocString"), 5u);
  BSTR after = SysAllocString(u"x");
  EXPECT_NE(after, nullptr);
  SysFreeString(after);
  plat::sim::ClearFaults();
}

}  // namespace
