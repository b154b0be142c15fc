// Text helpers: money, numbers, dates, bounded formatting, case folding, code pages.
#include "base/TextUtil.h"

#include <algorithm>
#include <array>

#include "plat/codepage.h"
#include "plat/crt.h"

namespace {

constexpr size_t kGroupDigits = 4;
// Unit word of the group k places from the right.
constexpr std::array<const char*, 5> kGroupUnits = {"냥", "만", "억", "조", "경"};
// Place words of the four digits of a group, from the left.
constexpr std::array<const char*, kGroupDigits> kPlaceWords = {"천", "백", "십", ""};
constexpr const char* kMoneyUnit = "냥";
// The conversion calls count in int; longer texts convert to nothing.
constexpr size_t kMaxConvertible = 0x3FFFFFFF;

// Sign and decimal digits of an amount. The digits come from the text, so the most
// negative amount is never negated.
struct Digits {
  bool negative = false;
  std::string digits;
};

Digits SplitSign(int64_t amount) {
  Digits d;
  d.digits = FormatInt64(amount);
  if (!d.digits.empty() && d.digits[0] == '-') {
    d.negative = true;
    d.digits.erase(0, 1);
  }
  return d;
}

// Groups of four digits from the right; the leftmost keeps the remaining one to four.
std::vector<std::string> CutGroups(const std::string& digits) {
  std::vector<std::string> groups;
  const size_t lead = (digits.size() - 1) % kGroupDigits + 1;
  groups.push_back(digits.substr(0, lead));
  for (size_t pos = lead; pos < digits.size(); pos += kGroupDigits) {
    groups.push_back(digits.substr(pos, kGroupDigits));
  }
  return groups;
}

std::string WithoutLeadingZeros(const std::string& group) {
  const size_t first = group.find_first_not_of('0');
  return first == std::string::npos ? "0" : group.substr(first);
}

}  // namespace

std::string FormatMoney(int64_t amount, uint32_t maxGroups) {
  if (amount == 0) return std::string("0") + kMoneyUnit;
  const Digits d = SplitSign(amount);
  const std::vector<std::string> groups = CutGroups(d.digits);
  const size_t n = groups.size() - 1;
  size_t budget = groups.size();
  if (maxGroups != 0 && n >= maxGroups) budget = maxGroups;

  std::string out;
  bool unitWritten = false;
  for (size_t i = 0; i < groups.size() && budget > 0; ++i) {
    // The leftmost group has no leading zeros by construction.
    const std::string text = WithoutLeadingZeros(groups[i]);
    if (text == "0") continue;
    const size_t place = n - i;
    out += text;
    out += kGroupUnits[place];
    unitWritten = unitWritten || place == 0;
    --budget;
  }
  if (!unitWritten) out += kMoneyUnit;
  return d.negative ? "-" + out : out;
}

std::string FormatMoneyPlaces(int64_t amount) {
  if (amount == 0) return std::string("0") + kMoneyUnit;
  const Digits d = SplitSign(amount);
  const std::vector<std::string> groups = CutGroups(d.digits);
  std::string out = d.negative ? "-" : "";
  for (size_t i = 0; i < groups.size(); ++i) {
    const std::string& group = groups[i];
    const size_t firstPlace = kGroupDigits - group.size();
    bool any = false;
    for (size_t k = 0; k < group.size(); ++k) {
      if (group[k] == '0') continue;
      out += group[k];
      out += kPlaceWords[firstPlace + k];
      any = true;
    }
    const size_t place = groups.size() - 1 - i;
    if (any && place != 0) out += kGroupUnits[place];
  }
  return out + kMoneyUnit;
}

std::string FormatInt64(int64_t value) { return plat::FormatString("%I64i", value); }

std::string FormatDateTime(const std::string& text) {
  constexpr size_t kStampLength = 14;
  if (text.size() != kStampLength) return text;
  return text.substr(4, 2) + "월" + text.substr(6, 2) + "일" + text.substr(8, 2) + "시" + text.substr(10, 2) +
         "분";
}

std::string FormatStringV(const char* format, va_list args) {
  std::string s = plat::FormatStringV(format, args);
  if (s.size() > kFormatStringMaxChars) s.resize(kFormatStringMaxChars);
  return s;
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatStringV(format, args);
  va_end(args);
  return s;
}

std::string& ToLowerAscii(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

int32_t CompareNoCase(const std::string& a, const std::string& b) {
  // Byte by byte, without copies: a map keyed by it is searched from destructors, which
  // must not allocate. Bytes compare as unsigned char, as std::string's do, so Korean
  // bytes sort above ASCII.
  const auto lower = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = lower(a[i]), y = lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool LessNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }

std::vector<std::string> SplitBarList(std::string_view text) {
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t bar = text.find('|'); bar != std::string_view::npos; bar = text.find('|', start)) {
    items.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return items;
}

std::string WideToMultiByte(std::u16string_view text) {
  if (text.empty() || text.size() > kMaxConvertible) return std::string();
  const int chars = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, plat::AsWide(text.data()), chars, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, plat::AsWide(text.data()), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string WideToMultiByte(const char16_t* text) {
  return text ? WideToMultiByte(std::u16string_view(text)) : std::string();
}

std::u16string MultiByteToWide(std::string_view text) {
  if (text.empty() || text.size() > kMaxConvertible) return std::u16string();
  const int bytes = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
  if (chars <= 0) return std::u16string();
  std::u16string out(static_cast<size_t>(chars), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, plat::AsWide(out.data()), chars);
  return out;
}

int32_t LeadingInt32(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Magnitudes are kept one past INT32_MAX so that the negative limit is reachable.
  constexpr int64_t kLimit = static_cast<int64_t>(INT32_MAX) + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), kLimit);
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return static_cast<int32_t>(std::min<int64_t>(magnitude, INT32_MAX));
}
