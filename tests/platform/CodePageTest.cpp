#include <gtest/gtest.h>

#include "plat/codepage.h"
#include "plat/error.h"
#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

const std::string kKorean = "\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF\xB3\xC9";  // 무렉로봇냥

TEST(CodePage, InvalidBytesBecomeQuestionMarksAsTheSystemCutsThem) {
  // 0x80 stands for U+0080 and 0xFF for U+F8F7; a lead byte at the end is orphaned.
  EXPECT_EQ(plat::Cp949ToUtf16("a\x80" "b\xFF" "c\xB3"), u"a\u0080b\uF8F7c?");
  // A lead byte takes the byte after it: a pair without a character is one '?', but a
  // zero byte ends the pair before it.
  EXPECT_EQ(plat::Cp949ToUtf16("\xB3\x20!"), u"?!");
  EXPECT_EQ(plat::Cp949ToUtf16(std::string("\xB3\0!", 3)), std::u16string(u"?\0!", 3));
  // A character outside CP949 cannot be encoded.
  EXPECT_EQ(plat::Utf16ToCp949(u"x\u0E01y"), "x?y");
  EXPECT_EQ(plat::Utf16ToCp949(u"\u0080\uF8F7"), "\x80\xFF");
  EXPECT_EQ(plat::Utf8ToUtf16("\xC3(\xE2\x82"), u"?(??");
}

// The strict flag refuses what the lenient call turns into '?' (and 0xFF, which it
// turns into a private-use character), sizing included; 0x80 passes.
TEST(CodePage, InvalidCharsFlagRefusesWhatHasNoCharacter) {
  WCHAR out[8];
  for (const std::string& bad : {std::string("\xB3"), std::string("\xB3\x20"), std::string("\xC9\x41"),
                                 std::string("\xFF"), std::string("\xB3\0", 2)}) {
    SCOPED_TRACE(testing::PrintToString(Cp949(bad)));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, bad.data(), static_cast<int>(bad.size()), out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, bad.data(), static_cast<int>(bad.size()), nullptr, 0), 0);
  }
  EXPECT_EQ(MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, "\x80\xC9\xA1", 3, out, 8), 2);
  EXPECT_EQ(std::u16string(out, out + 2), u"\u0080\uE000");
}

// The layer's own conversion writes what the system writes with flags 0, look-alikes
// included, for every code unit alone: U+00A2 has no CP949 character and is written as
// the full-width cent sign, U+00A6 as a bar.
TEST(CodePage, Utf16ToCp949WritesTheSystemsLookAlikes) {
  EXPECT_EQ(Cp949(plat::Utf16ToCp949(u"\u00A2\u00A6")), Cp949("\xA1\xCB|"));
  int lookAlikes = 0;
  for (uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char16_t wide = static_cast<char16_t>(unit);
    char system[4] = {};
    const int n = WideCharToMultiByte(949, 0, &wide, 1, system, sizeof system, nullptr, nullptr);
    ASSERT_GT(n, 0) << std::hex << unit;
    ASSERT_EQ(Cp949(plat::Utf16ToCp949(std::u16string_view(&wide, 1))), Cp949(std::string(system, n)))
        << std::hex << unit;
    char strict[4] = {};
    const int m = WideCharToMultiByte(949, WC_NO_BEST_FIT_CHARS, &wide, 1, strict, sizeof strict, nullptr, nullptr);
    if (std::string(system, n) != std::string(strict, m)) ++lookAlikes;
  }
  EXPECT_EQ(lookAlikes, 394) << "every look-alike of the table";
}

TEST(CodePage, EveryDoubleByteCharacterRoundTrips) {
  // Each decodable pair must encode back to itself (no two pairs share a code point).
  int decodable = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string wide = plat::Cp949ToUtf16(pair);
      if (wide.size() != 1 || wide[0] == u'?') continue;
      ++decodable;
      ASSERT_EQ(Cp949(plat::Utf16ToCp949(wide)), Cp949(pair));
    }
  }
  EXPECT_EQ(decodable, 17236);  // CP949's double-byte repertoire, the user-defined rows included
}

TEST(CodePage, MultiByteToWideCharFollowsTheWindowsContract) {
  const char* text = "\xB3\xC9!";  // 냥!
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 3);  // terminator counted
  EXPECT_EQ(MultiByteToWideChar(949, 0, text, 3, nullptr, 0), 2);
  char16_t out[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, out, 8), 3);
  EXPECT_EQ(std::u16string(out), u"냥!");
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, out, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, 0, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, text, -1, out, 8), 0);
}

TEST(CodePage, WideCharToMultiByteReportsDefaultUse) {
  BOOL used = FALSE;
  char out[16] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"냥\u0E01", -1, out, sizeof out, nullptr, &used), 4);
  EXPECT_EQ(Cp949(out), Cp949("\xB3\xC9?"));
  EXPECT_TRUE(used);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"냥", 1, nullptr, 0, nullptr, nullptr), 3);
  // UTF-8 refuses a default character, as Windows does.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 16, "?", nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
