// Code page 949 both ways over every double-byte code, and what happens to bytes and
// characters the code page does not have: the module's texts, file names and typed
// answers all pass through these two calls.
#include <gtest/gtest.h>

#include <string>

#include "plat/codepage.h"
#include "plat/error.h"
#include "plat/utf16.h"

#include "Seam.h"

namespace {

constexpr UINT kKorean = 949;

// FNV-1a over the pairs a conversion gives, so two whole tables compare as one number.
struct TableSum {
  uint32_t value = 2166136261u;
  void Add(uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
      value ^= (word >> shift) & 0xFF;
      value *= 16777619u;
    }
  }
};

// One double-byte code decoded strictly: the unit, or 0 when the code page refuses it.
char16_t DecodeStrict(uint8_t lead, uint8_t trail) {
  const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  WCHAR out[4] = {};
  const int n = MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes, 2, out, 4);
  return n == 1 ? static_cast<char16_t>(out[0]) : 0;
}

std::u16string Decode(const std::string& bytes, DWORD flags = 0) {
  WCHAR out[16] = {};
  const int n = MultiByteToWideChar(kKorean, flags, bytes.data(), static_cast<int>(bytes.size()), out, 16);
  return std::u16string(plat::AsUtf16(out), n > 0 ? static_cast<size_t>(n) : 0);
}

struct Encoded {
  std::string bytes;
  BOOL usedDefault = -1;
};
Encoded Encode(const std::u16string& text, LPCSTR defaultChar = nullptr, DWORD flags = 0) {
  char out[16] = {};
  Encoded e;
  const int n = WideCharToMultiByte(kKorean, flags, plat::AsWide(text.data()), static_cast<int>(text.size()), out,
                                    16, defaultChar, &e.usedDefault);
  e.bytes.assign(out, n > 0 ? static_cast<size_t>(n) : 0);
  return e;
}

TEST(SeamCodePage, EveryDoubleByteCodeDecodesToTheSystemsTableAndEncodesBack) {
  int32_t mapped = 0;
  int32_t roundTrips = 0;
  int32_t privateUse = 0;
  TableSum sum;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const char16_t unit = DecodeStrict(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail));
      if (!unit) continue;
      ++mapped;
      sum.Add(static_cast<uint32_t>(lead << 24 | trail << 16 | unit));
      if (unit >= 0xE000 && unit <= 0xF8FF) ++privateUse;
      const Encoded back = Encode(std::u16string(1, unit));
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      if (back.bytes == code && !back.usedDefault) ++roundTrips;
    }
  }
  EXPECT_EQ(mapped, 17236);
  EXPECT_EQ(roundTrips, mapped) << "no two codes share a character";
  EXPECT_EQ(privateUse, 188);
  EXPECT_EQ(sum.value, 0xe666d34bu);
}

// The two user-defined rows hold the first 188 private-use characters in code order.
TEST(SeamCodePage, UserDefinedRowsMapToThePrivateUseAreaBothWays) {
  char16_t expected = 0xE000;
  for (int lead : {0xC9, 0xFE}) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail, ++expected) {
      SCOPED_TRACE(testing::Message() << std::hex << lead << trail);
      ASSERT_EQ(DecodeStrict(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)), expected);
      const Encoded back = Encode(std::u16string(1, expected));
      EXPECT_EQ(back.bytes, (std::string{static_cast<char>(lead), static_cast<char>(trail)}));
      EXPECT_FALSE(back.usedDefault);
    }
  }
  EXPECT_EQ(expected, 0xE0BC);
  EXPECT_EQ(DecodeStrict(0xC9, 0x41), 0) << "the rows have no extended trail bytes";
}

// Every character of the Basic Multilingual Plane encoded alone: those of the table come
// back as themselves; the system also gives some others the bytes of a look-alike.
TEST(SeamCodePage, EveryCharacterEncodesToTheSystemsTable) {
  int32_t roundTrips = 0;
  int32_t lookAlikes = 0;
  TableSum sum;
  TableSum lookAlikeSum;
  for (uint32_t u = 0x80; u <= 0xFFFF; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const Encoded e = Encode(std::u16string(1, static_cast<char16_t>(u)));
    if (e.usedDefault) continue;
    uint32_t bytes = 0;
    for (char c : e.bytes) bytes = bytes << 8 | static_cast<uint8_t>(c);
    if (Decode(e.bytes) == std::u16string(1, static_cast<char16_t>(u))) {
      ++roundTrips;
      sum.Add(u << 16 ^ bytes);
    } else {
      ++lookAlikes;
      lookAlikeSum.Add(u << 16 ^ bytes);
    }
  }
  EXPECT_EQ(roundTrips, 17236 + 2) << "the double-byte codes, 0x80 and 0xFF";
  EXPECT_EQ(sum.value, 0x720911dbu);
  EXPECT_EQ(lookAlikes, 394);
  EXPECT_EQ(lookAlikeSum.value, 0xe454c6f8u);
}

// Every UTF-16 code unit alone, surrogates included, with flags 0 and with
// WC_NO_BEST_FIT_CHARS: the bytes and whether the default was used, summed over the
// whole range. Without the flag a character the code page lacks may take a look-alike
// (U+00A2 as A1 CB, U+00C0 as 'A'), which is not the default; with it none does.
TEST(SeamCodePage, EveryCodeUnitEncodesAsTheSystemWithAndWithoutBestFit) {
  struct Count {
    int32_t defaults = 0;
    TableSum sum;
  };
  Count plain, strict;
  int32_t lookAlikes = 0;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) {
    const std::u16string unit(1, static_cast<char16_t>(u));
    const Encoded bestFit = Encode(unit), noBestFit = Encode(unit, nullptr, WC_NO_BEST_FIT_CHARS);
    for (auto [e, count] : {std::pair{&bestFit, &plain}, std::pair{&noBestFit, &strict}}) {
      uint32_t bytes = 0;
      for (char c : e->bytes) bytes = bytes << 8 | static_cast<uint8_t>(c);
      count->sum.Add(u << 16 ^ bytes);
      count->sum.Add(static_cast<uint32_t>(e->usedDefault));
      count->defaults += e->usedDefault ? 1 : 0;
    }
    lookAlikes += bestFit.bytes != noBestFit.bytes ? 1 : 0;
  }
  EXPECT_EQ(lookAlikes, 394);
  EXPECT_EQ(plain.defaults, 47776);
  EXPECT_EQ(strict.defaults, 47776 + 394);
  EXPECT_EQ(plain.sum.value, 0x7dd95074u);
  EXPECT_EQ(strict.sum.value, 0xa15844d3u);
}

TEST(SeamCodePage, InvalidBytesAndLoneLeadBytes) {
  // 0x80 stands for U+0080 and 0xFF for a private-use character.
  EXPECT_EQ(Decode("a\x80" "b"), u"a\x0080" u"b");
  EXPECT_EQ(Decode("a\xFF" "b"), u"a\xF8F7" u"b");
  // A lead byte takes the byte after it, whatever it is: a pair without a character is
  // one '?'. The end of the input or a zero byte leaves the lead byte alone.
  EXPECT_EQ(Decode("\xC9\x41" "b"), u"?b");
  EXPECT_EQ(Decode("\xB0\x20!"), u"?!");
  EXPECT_EQ(Decode("\xA2\xE8"), u"?");
  EXPECT_EQ(Decode("\xB0\xA1\xB0"), u"\xAC00?");
  EXPECT_EQ(Decode(std::string("\xB0\0!", 3)), std::u16string(u"?\0!", 3));

  // The strict flag refuses each of those but 0x80, sizing included.
  for (const std::string& bad : {std::string("a\xFF"), std::string("\xC9\x41"), std::string("\xB0\x20"),
                                 std::string("\xB0\xA1\xB0"), std::string("\xB0\0", 2)}) {
    SCOPED_TRACE(bad);
    SetLastError(0);
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bad.data(), static_cast<int>(bad.size()), out, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bad.data(), static_cast<int>(bad.size()), nullptr, 0),
              0);
  }
  EXPECT_EQ(Decode("\x80\xC9\xA1", MB_ERR_INVALID_CHARS), u"\x0080\xE000");
}

TEST(SeamCodePage, UnmappableCharactersTakeTheDefaultAndSayTheyDid) {
  const std::u16string thai = u"a\x0E01" u"b";
  Encoded e = Encode(thai);
  EXPECT_EQ(e.bytes, "a?b");
  EXPECT_TRUE(e.usedDefault);
  e = Encode(thai, "*");
  EXPECT_EQ(e.bytes, "a*b");
  EXPECT_TRUE(e.usedDefault);
  e = Encode(u"\xAC00" u"x");
  EXPECT_EQ(e.bytes, "\xB0\xA1x");
  EXPECT_FALSE(e.usedDefault);
  e = Encode(std::u16string(1, char16_t{0xD800}));
  EXPECT_EQ(e.bytes, "?") << "a lone surrogate";
  EXPECT_TRUE(e.usedDefault);

  // Sizing counts the bytes the default takes; a short buffer fails whole.
  EXPECT_EQ(WideCharToMultiByte(kKorean, 0, plat::AsWide(u"\xAC00\x0E01"), 2, nullptr, 0, nullptr, nullptr), 3);
  char two[2];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(kKorean, 0, plat::AsWide(u"\xAC00\x0E01"), 2, two, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

// The module's own conversions are code page 949's whatever the system's ANSI code
// page: its texts are written in 949, also on a host whose system is not Korean (the
// Wine run repeats these checks under a Western code page for that).
TEST(SeamCodePage, TheModulesConversionsAreCodePage949OnAnySystem) {
  const std::string korean = "\xC7\xD1\xB1\xB9\xBE\xEE \xB0\xA1";  // 한국어 가
  const std::u16string wide = u"\xD55C\xAD6D\xC5B4 \xAC00";
  EXPECT_EQ(plat::Cp949ToUtf16(korean), wide);
  EXPECT_EQ(plat::Cp949ToUtf16(korean), Decode(korean));
  EXPECT_EQ(plat::Utf16ToCp949(wide), korean);
  EXPECT_EQ(plat::Utf16ToCp949(u"\x00A2"), Encode(u"\x00A2").bytes) << "the system's look-alike";
  EXPECT_EQ(plat::Utf16ToCp949(u"\x00A2"), "\xA1\xCB");
}

}  // namespace
