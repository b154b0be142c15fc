// Module code is compiled with CP949 as its execution character set; u"..." stays UTF-16.
#include <gtest/gtest.h>

#include <string>

#include "plat/crt.h"
#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

TEST(Cp949Literal, KoreanLiteralsCompileToCp949BytesAndUtf16LiteralsStayUtf16) {
  EXPECT_EQ(Cp949("무렉로봇"), Cp949("\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF"));
  EXPECT_EQ(sizeof("냥"), 3u);
  // Mixed text keeps its ASCII bytes; the curly quote is a double-byte symbol.
  EXPECT_EQ(Cp949("전적: 1승"), Cp949("\xC0\xFC\xC0\xFB: 1\xBD\xC2"));
  EXPECT_EQ(Cp949("’"), Cp949("\xA1\xAF"));
  EXPECT_EQ(Cp949(plat::FormatString("%ld승 %ld패", int32_t{3}, int32_t{1})), Cp949("3\xBD\xC2 1\xC6\xD0"));
  EXPECT_EQ(std::u16string(u"냥!"), (std::u16string{char16_t{0xB0E5}, u'!'}));
}

}  // namespace
