// Text helpers the whole module shares: money in Korean units, 64-bit numbers,
// compact date-times, bounded printf-style formatting, ASCII case folding and the
// conversions between the ANSI code page and UTF-16. Texts are CP949 bytes.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Money in units of ten thousand: "1억2345만냥". At most maxGroups non-zero groups
// are written when the amount has more than maxGroups groups (0 = all of them).
std::string FormatMoney(int64_t amount, uint32_t maxGroups);
// Every non-zero digit with its place word: "1만2천3백4십5냥".
std::string FormatMoneyPlaces(int64_t amount);
std::string FormatInt64(int64_t value);
// "20071225143005" -> "12월25일14시30분"; a text of any other length comes back as it is.
std::string FormatDateTime(const std::string& text);

// printf-style formatting in the layer's dialect (%I64i 64-bit, %ld 32-bit), cut to
// kFormatStringMaxChars bytes.
constexpr size_t kFormatStringMaxChars = 1024;
std::string FormatString(const char* format, ...);
std::string FormatStringV(const char* format, va_list args);

// Byte-wise comparison after lowering A-Z: negative, 0 or positive.
int32_t CompareNoCase(const std::string& a, const std::string& b);
// The ordering of name-keyed maps.
bool LessNoCase(const std::string& a, const std::string& b);
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return LessNoCase(a, b); }
};
// Lowers every byte 'A'..'Z' in place, trail bytes of double-byte characters included.
std::string& ToLowerAscii(std::string& text);

// The signed decimal at the start of a text, after blanks: "-12abc" gives -12, no
// digits give 0, and a number beyond 32 bits stops at the nearest limit.
int32_t LeadingInt32(std::string_view text);

// Items of a bar list, each ended by '|' ("a|b|"): text after the last bar is not an item.
std::vector<std::string> SplitBarList(std::string_view text);

// Conversions in the ANSI code page. A null pointer counts as empty.
std::string WideToMultiByte(std::u16string_view text);
std::string WideToMultiByte(const char16_t* text);
std::u16string MultiByteToWide(std::string_view text);
