// Module code is compiled with CP949 as its execution character set: a Korean
// literal must become the CP949 bytes the game's texts and files use, while u"..."
// literals stay UTF-16.
#include <gtest/gtest.h>

#include <string>

#include "plat/crt.h"
#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

TEST(Cp949Literal, KoreanLiteralsCompileToCp949Bytes) {
  EXPECT_EQ(Cp949("무렉로봇"), Cp949("\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF"));
  EXPECT_EQ(Cp949("냥"), Cp949("\xB3\xC9"));
  EXPECT_EQ(sizeof("냥"), 3u);
  // Mixed text keeps its ASCII bytes; the curly quote is a double-byte symbol.
  EXPECT_EQ(Cp949("전적: 1승"), Cp949("\xC0\xFC\xC0\xFB: 1\xBD\xC2"));
  EXPECT_EQ(Cp949("’"), Cp949("\xA1\xAF"));
}

TEST(Cp949Literal, Utf16LiteralsStayUtf16) {
  const std::u16string wide = u"냥!";
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(wide[0], char16_t{0xB0E5});
  EXPECT_EQ(wide[1], u'!');
}

TEST(Cp949Literal, FormattedModuleTextsStayCp949) {
  EXPECT_EQ(Cp949(plat::FormatString("%ld승 %ld패", int32_t{3}, int32_t{1})),
            Cp949("3\xBD\xC2 1\xC6\xD0"));
}

}  // namespace
