// BSTR lengths: the host hands the module BSTRs and reads the ones it makes, so the
// length each allocator records is what the other side of the call sees.
#include <gtest/gtest.h>

#include <cstring>

#include "plat/oleauto.h"

namespace {

// Frees the string whatever the check decided.
struct Held {
  BSTR s;
  explicit Held(BSTR text) : s(text) {}
  ~Held() { SysFreeString(s); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  // The byte count that sits in the four bytes before the text.
  uint32_t Prefix() const {
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(s) - sizeof bytes, sizeof bytes);
    return bytes;
  }
};

TEST(SeamBstr, LengthsOfEachAllocatorAndOfNull) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);

  const Held text(SysAllocString(reinterpret_cast<LPCOLESTR>(u"\xD55C\xAE00 ok")));
  ASSERT_NE(text.s, nullptr);
  EXPECT_EQ(SysStringLen(text.s), 5u);
  EXPECT_EQ(SysStringByteLen(text.s), 10u);
  EXPECT_EQ(text.Prefix(), 10u);
  EXPECT_EQ(text.s[5], 0);

  const Held empty(SysAllocString(reinterpret_cast<LPCOLESTR>(u"")));
  ASSERT_NE(empty.s, nullptr) << "an empty text is a string, not null";
  EXPECT_EQ(SysStringLen(empty.s), 0u);

  // A counted string keeps what follows a zero and stops at its count.
  const Held counted(SysAllocStringLen(reinterpret_cast<LPCOLESTR>(u"a\0bcdef"), 3));
  ASSERT_NE(counted.s, nullptr);
  EXPECT_EQ(SysStringLen(counted.s), 3u);
  EXPECT_EQ(counted.s[2], u'b');
  EXPECT_EQ(counted.s[3], 0);

  // Without text the string has its length and its terminator; the contents are not
  // promised.
  const Held blank(SysAllocStringLen(nullptr, 4));
  ASSERT_NE(blank.s, nullptr);
  EXPECT_EQ(SysStringLen(blank.s), 4u);
  EXPECT_EQ(blank.s[4], 0);
}

// An odd byte count: the characters round down, the bytes are kept, and two zero bytes
// follow them.
TEST(SeamBstr, ByteLengthStringsKeepOddCounts) {
  const Held odd(SysAllocStringByteLen("abc", 3));
  ASSERT_NE(odd.s, nullptr);
  EXPECT_EQ(SysStringLen(odd.s), 1u);
  EXPECT_EQ(SysStringByteLen(odd.s), 3u);
  EXPECT_EQ(odd.Prefix(), 3u);
  const auto* bytes = reinterpret_cast<const char*>(odd.s);
  EXPECT_EQ(std::memcmp(bytes, "abc\0\0", 5), 0);

  const Held none(SysAllocStringByteLen(nullptr, 6));
  ASSERT_NE(none.s, nullptr);
  EXPECT_EQ(SysStringLen(none.s), 3u);
  EXPECT_EQ(SysStringByteLen(none.s), 6u);

  const Held zero(SysAllocStringByteLen("", 0));
  ASSERT_NE(zero.s, nullptr);
  EXPECT_EQ(SysStringByteLen(zero.s), 0u);
}

TEST(SeamBstr, ReallocationReplacesTheTextAndItsLength) {
  BSTR s = SysAllocString(reinterpret_cast<LPCOLESTR>(u"first"));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(SysReAllocString(&s, reinterpret_cast<LPCOLESTR>(u"second one")));
  EXPECT_EQ(SysStringLen(s), 10u);
  EXPECT_TRUE(SysReAllocStringLen(&s, reinterpret_cast<LPCOLESTR>(u"xyz"), 2));
  EXPECT_EQ(SysStringLen(s), 2u);
  EXPECT_EQ(s[0], u'x');
  EXPECT_EQ(s[2], 0);
  SysFreeString(s);
}

}  // namespace
