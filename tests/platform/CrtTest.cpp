#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "plat/crt.h"
#include "support/Cp949Printer.h"

using plat::FormatString;
using testing_support::Cp949;

namespace crt_test {

struct FormatRow { std::string got; std::string want; };

void ExpectRows(const std::vector<FormatRow>& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Cp949(rows[i].got), Cp949(rows[i].want));
  }
}

TEST(CrtFormat, SizesOfTheDialect) {
  const char unterminated[2] = {'a', 'b'};
  ExpectRows({
      {FormatString("%I64d", INT64_MIN), "-9223372036854775808"}, {FormatString("%I64i", int64_t{-5}), "-5"},
      {FormatString("%I64u", UINT64_MAX), "18446744073709551615"},
      {FormatString("%I64x|%I64X", uint64_t{0xDEADBEEFCAFE}, uint64_t{0xABC}), "deadbeefcafe|ABC"},
      // %ld is 32 bits: the 64-bit value after it must still be read correctly.
      {FormatString("%ld|%I64d|%ld", int32_t{-1}, int64_t{1} << 40, int32_t{3}), "-1|1099511627776|3"},
      {FormatString("%lu %lx %lX", uint32_t{0xFFFFFFFF}, uint32_t{0xFFFFFFFF}, uint32_t{0xAB}),
       "4294967295 ffffffff AB"},
      {FormatString("%lld %I32d", int64_t{-1} << 40, int32_t{-7}), "-1099511627776 -7"},
      {FormatString("%hd %hu %hhd", 65535, 65537, 255), "-1 1 -1"},
      // Pointer-sized: 32 bits on a 32-bit build.
      {FormatString("%Iu %zu|%d", SIZE_MAX, size_t{12}, 5), std::to_string(SIZE_MAX) + " 12|5"},
      {FormatString("%jd|%d", intmax_t{-1} << 40, 3), "-1099511627776|3"},  // intmax_t has 64 bits everywhere
      {FormatString("%.2s|", unterminated), "ab|"},
  });
}

TEST(CrtFormat, FlagsWidthsAndPrecision) {
  ExpectRows({
      {FormatString("%5d|%-5d|%05d", 42, 42, 42), "   42|42   |00042"},
      {FormatString("%+d|% d|%+d", 5, 5, -5), "+5| 5|-5"}, {FormatString("%#x|%#o|%#X", 255, 8, 255), "0xff|010|0XFF"},
      {FormatString("%.3d|%8.3d|%-8.3d|", 7, -7, 7), "007|    -007|007     |"},
      {FormatString("%*d|%-*d|%*d", 4, 7, 4, 7, -4, 7), "   7|7   |7   "},
      {FormatString("%.*d|%.*d", 3, 7, -1, 7), "007|7"},
      {FormatString("%8.3f|%-8.2f|%+.1e", 3.14159, 2.5, 12345.678), "   3.142|2.50    |+1.2e+04"},
      {FormatString("%g|%G|%e", 0.0001, 1e20, 0.0), "0.0001|1E+20|0.000000e+00"},
      {FormatString("%5s|%-5s|%.2s|%5.1s", "ab", "ab", "abc", "xyz"), "   ab|ab   |ab|    x"},
      {FormatString("%.*s|%.*s", 3, "abcdef", -1, "abc"), "abc|abc"}, {FormatString("%3c|%-3c|", 'x', 'y'), "  x|y  |"},
  });
}

TEST(CrtFormat, TextPointersAndOddDirectives) {
  ExpectRows({
      {FormatString("%s", static_cast<const char*>(nullptr)), "(null)"},
      {FormatString("%ls|%S", static_cast<const char16_t*>(nullptr), u"a"), "(null)|a"},
      {FormatString("%c%c", 'o', 'k'), "ok"}, {FormatString("100%%"), "100%"},
      {FormatString("\xB3\xC9 %ld\xC6\xD0", int32_t{300}), "\xB3\xC9 300\xC6\xD0"},
      {FormatString("%ls|%ws|%lc|%C", u"무렉", u"냥", u'냥', u'A'), "\xB9\xAB\xB7\xBA|\xB3\xC9|\xB3\xC9|A"},
      // A precision never cuts a double-byte character in two.
      {FormatString("%.3ls|%.1ls|", u"무렉", u"냥"), "\xB9\xAB|" "|"},
      // Two digits a pointer byte: 8 on a 32-bit build, as the original compiler printed.
      {FormatString("%p|%d", reinterpret_cast<void*>(0x1234), 7), sizeof(void*) == 8 ? "0000000000001234|7" : "00001234|7"},
      {FormatString("%q|%"), "%q|%"},
      {FormatString("%d%n|%d", 1, static_cast<int*>(nullptr), 2), "1|2"},
  });
  EXPECT_EQ(FormatString(nullptr), "");
  EXPECT_EQ(FormatString("%2000d", 1).size(), 2000u);
}

TEST(CrtFormat, SnprintfReturnsMinusOneAndLeavesTruncatedTextOpenWsprintfStopsAt1024) {
  auto snprintf8 = [](const char* format, auto value) {
    char buf[12];
    std::memset(buf, '#', sizeof buf);
    const int n = _snprintf(buf, 8, format, value);
    return std::pair(n, std::string(buf, 9));
  };
  EXPECT_EQ(snprintf8("%s", "abc"), std::pair(3, std::string("abc\0#####", 9)));
  EXPECT_EQ(snprintf8("%d", 12345678), std::pair(8, std::string("12345678#")));  // fits exactly: no terminator
  EXPECT_EQ(snprintf8("%s", "abcdefghij"), std::pair(-1, std::string("abcdefgh#")));
  EXPECT_EQ(_snprintf(nullptr, 0, "%I64d", int64_t{-12345}), 6);
  char small[8];
  EXPECT_EQ(_snprintf(small, 8, nullptr), -1);
  std::vector<char> buf(2000, '#');
  const std::string longText(1500, 'a');
  EXPECT_EQ(wsprintfA(buf.data(), "%s", longText.c_str()), 1023);
  EXPECT_EQ(buf[1022], 'a');
  EXPECT_EQ(buf[1023], '\0');
  EXPECT_EQ(buf[1024], '#');
  EXPECT_EQ(wsprintfA(buf.data(), "%ld-%s", int32_t{-3}, "x"), 4);
  EXPECT_STREQ(buf.data(), "-3-x");
}

TEST(CrtRand, MatchesTheCompilerSequenceAndIsPerThread) {
  plat::crt::srand(1);
  const int known[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int k : known) EXPECT_EQ(plat::crt::rand(), k);
  plat::crt::srand(12345);
  const int first = plat::crt::rand();
  plat::crt::srand(12345);
  EXPECT_EQ(plat::crt::rand(), first);
  // A new thread starts at seed 1, whatever this thread did.
  int fromThread = -1;
  std::thread([&] { fromThread = plat::crt::rand(); }).join();
  EXPECT_EQ(fromThread, 41);
  plat::crt::srand(0xFFFFFFFFu);
  for (int i = 0; i < 1000; ++i) {
    const int r = plat::crt::rand();
    ASSERT_TRUE(r >= 0 && r <= plat::crt::kRandMax);
  }
}

TEST(CrtConvert, AtoiParsesLikeStrtolAndClampsTo32Bits) {
  struct Row { const char* text; int32_t value; } rows[] = {
      {"42", 42}, {"  -17xyz", -17}, {"+8", 8}, {"\t\n\v\f\r 5", 5}, {"007", 7}, {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN},
      {"99999999999999999999999", INT32_MAX}, {"", 0}, {"abc", 0}, {"- 5", 0}, {"0x10", 0}, {"+-1", 0}, {nullptr, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    EXPECT_EQ(plat::crt::atoi(row.text), row.value);
    EXPECT_EQ(plat::crt::atol(row.text), row.value);
  }
  EXPECT_EQ(_atoi64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(_atoi64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(_atoi64("9223372036854775808"), INT64_MAX);
  EXPECT_EQ(_atoi64("-99999999999999999999999"), INT64_MIN);
  EXPECT_EQ(_atoi64(" 123456789012 "), int64_t{123456789012});
}

TEST(CrtConvert, I64toaWritesSignedDecimalAndUnsignedOtherRadixes) {
  char buf[66];
  EXPECT_STREQ(_i64toa(INT64_MIN, buf, 10), "-9223372036854775808");
  EXPECT_STREQ(_i64toa(0, buf, 10), "0");
  EXPECT_STREQ(_i64toa(-1, buf, 16), "ffffffffffffffff");
  EXPECT_STREQ(_i64toa(255, buf, 2), "11111111");
  EXPECT_STREQ(_i64toa(35, buf, 36), "z");
  EXPECT_STREQ(_i64toa(5, buf, 1), "");
}

TEST(CrtConvert, CaseInsensitiveCompareFoldsAsciiOnly) {
  EXPECT_EQ(_stricmp("Option_Voice", "OPTION_VOICE"), 0);
  EXPECT_LT(_stricmp("abc", "ABD"), 0);
  EXPECT_GT(_stricmp("abd", "ABC"), 0);
  EXPECT_LT(_stricmp("a", "ab"), 0);
  // Letters fold to lower case, so '_' (between the two cases) sorts before them.
  EXPECT_LT(_stricmp("_", "A"), 0);
  // Bytes above 0x7F are not letters: 0xC9 and 0xE9 differ by 0x20 but stay apart.
  EXPECT_NE(_stricmp("\xB3\xC9", "\xB3\xE9"), 0);
  EXPECT_EQ(_strnicmp("abcX", "ABCy", 3), 0);
  EXPECT_NE(_strnicmp("abcX", "ABCy", 4), 0);
  EXPECT_EQ(_strnicmp("a", "b", 0), 0);
}

}  // namespace crt_test
