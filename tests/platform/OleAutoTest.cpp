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

}  // namespace
