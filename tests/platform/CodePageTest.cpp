#include <gtest/gtest.h>

#include "plat/codepage.h"
#include "plat/error.h"
#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

const std::string kKorean = "\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF\xB3\xC9";  // 무렉로봇냥

TEST(CodePage, InvalidBytesBecomeQuestionMarks) {
  // 0x80 is never a lead byte, 0xFF never valid, and a lead byte at the end is orphaned.
  EXPECT_EQ(plat::Cp949ToUtf16("a\x80" "b\xFF" "c\xB3"), u"a?b?c?");
  // A lead byte followed by an invalid trail keeps the trail as its own character.
  EXPECT_EQ(plat::Cp949ToUtf16("\xB3\x20"), u"? ");
  // A character outside CP949 cannot be encoded.
  EXPECT_EQ(plat::Utf16ToCp949(u"x\u0E01y"), "x?y");
  EXPECT_EQ(plat::Utf8ToUtf16("\xC3(\xE2\x82"), u"?(??");
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
  EXPECT_EQ(decodable, 17048);  // CP949's double-byte repertoire
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
