// Money, number and date texts, bounded formatting, case folding and the code-page
// conversions, as the game shows and compares them.
#include "base/TextUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

TEST(FormatMoney, WritesTenThousandGroupsWithTheirUnitsOrEveryDigitWithItsPlace) {
  const struct { int64_t amount; uint32_t maxGroups; const char* expected; } cases[] = {
      {123456789, 2, "1억2345만냥"}, {123456789, 0, "1억2345만6789냥"}, {500000000000, 2, "5000억냥"}, {100000001, 2, "1억1냥"},
      {10000, 2, "1만냥"}, {9999, 2, "9999냥"}, {-15000, 2, "-1만5000냥"}, {12345678901234567, 2, "1경2345조냥"},
      {0, 0, "0냥"}, {-1, 2, "-1냥"},
      // Two groups under a limit of 2 are all written, zeros skipped without cost.
      {12345678, 2, "1234만5678냥"}, {100000000, 1, "1억냥"}, {100010000, 2, "1억1만냥"},
      {std::numeric_limits<int64_t>::max(), 0, "922경3372조368억5477만5807냥"},
      // The most negative amount is written from its digits, never negated.
      {std::numeric_limits<int64_t>::min(), 0, "-922경3372조368억5477만5808냥"},
      {std::numeric_limits<int64_t>::min(), 2, "-922경3372조냥"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp949(FormatMoney(c.amount, c.maxGroups)), Cp949(c.expected)) << c.amount;
  const struct { int64_t amount; const char* expected; } places[] = {
      {12345, "1만2천3백4십5냥"}, {20050, "2만5십냥"}, {1000, "1천냥"}, {100000001, "1억1냥"}, {0, "0냥"}, {-20, "-2십냥"},
      {10000, "1만냥"}, {std::numeric_limits<int64_t>::min(), "-9백2십2경3천3백7십2조3백6십8억5천4백7십7만5천8백8냥"},
  };
  for (const auto& c : places) EXPECT_EQ(Cp949(FormatMoneyPlaces(c.amount)), Cp949(c.expected)) << c.amount;
}

TEST(FormatString, ReadsI64AsSixtyFourAndLdAsThirtyTwoBitsCutsAt1024CharactersAndStampsRewriteOnlyAtFourteen) {
  EXPECT_EQ(FormatString("%I64i|%ld|", std::numeric_limits<int64_t>::min(), int32_t{-7}),
            "-9223372036854775808|-7|");
  EXPECT_EQ(FormatString("%ld냥", int32_t{5}), "5냥");
  const std::string long_text(3000, 'x');
  EXPECT_EQ(FormatString("%s!", long_text.c_str()), long_text.substr(0, kFormatStringMaxChars));
  EXPECT_EQ(FormatString("%s", std::string(1024, 'y').c_str()).size(), 1024u);
  EXPECT_EQ(FormatInt64(0), "0");
  EXPECT_EQ(FormatInt64(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(Cp949(FormatDateTime("20071225143005")), Cp949("12월25일14시30분"));
  for (const char* kept : {"2007122514300", "200712251430051", ""}) EXPECT_EQ(FormatDateTime(kept), kept);
}

TEST(CompareNoCase, FoldsAndLowersOnlyAsciiLetters) {
  // Bytes outside A-Z compare as unsigned bytes: a Korean lead byte sorts above 'a'.
  EXPECT_GT(CompareNoCase("\xB0", "a"), 0);
  EXPECT_LT(CompareNoCase("a", "\xB0"), 0);
  EXPECT_FALSE(LessNoCase("BETA", "beta"));
  // Lowering touches letters even inside double-byte characters.
  std::string s = "\x81\x41" "AbZ[@";
  EXPECT_EQ(ToLowerAscii(s), "\x81\x61" "abz[@");
  std::string korean = "냥ABC";
  ToLowerAscii(korean);
  EXPECT_EQ(Cp949(korean), Cp949("냥abc"));
}

TEST(SplitBarList, TakesOnlyItemsEndedByABar) {
  using List = std::vector<std::string>;
  EXPECT_EQ(SplitBarList("a|b|c"), (List{"a", "b"}));
  EXPECT_EQ(SplitBarList("a|b|c|"), (List{"a", "b", "c"}));
  EXPECT_EQ(SplitBarList(""), List{});
  EXPECT_EQ(SplitBarList("||x|"), (List{"", "", "x"}));
  EXPECT_EQ(SplitBarList("머리|얼굴|"), (List{"머리", "얼굴"}));
}

TEST(CodePageConversion, KoreanRoundTripsAndNullIsEmpty) {
  const std::string text = "자동치기 기능을 1234냥";
  const std::u16string wide = MultiByteToWide(text);
  EXPECT_EQ(wide, u"자동치기 기능을 1234냥");
  EXPECT_EQ(Cp949(WideToMultiByte(wide)), Cp949(text));
  EXPECT_EQ(WideToMultiByte(static_cast<const char16_t*>(nullptr)), "");
}

}  // namespace

TEST(LeadingInt32, ReadsTheSignedNumberAtTheStart) {
  struct Case { const char* text; int32_t value; };
  const Case cases[] = {{"0", 0}, {"-12abc", -12}, {"abc", 0}, {"", 0}, {"  +7", 7}, {"-", 0}, {"1 2", 1},
                        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"-2147483648", INT32_MIN},
                        {"-99999999999999999999", INT32_MIN}};
  for (const Case& c : cases) EXPECT_EQ(LeadingInt32(c.text), c.value) << c.text;
}
