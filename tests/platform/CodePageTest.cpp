#include <gtest/gtest.h>

#include "plat/codepage.h"
#include "plat/error.h"
#include "support/Cp949Printer.h"

using testing_support::Cp949;

namespace {

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

}  // namespace
