// The module's CP949 conversions through the system's own code page 949.
#include "plat/codepage.h"

namespace plat {
namespace {

constexpr UINT kKoreanCodePage = 949;

}  // namespace

std::u16string Cp949ToUtf16(std::string_view cp949) {
  if (cp949.empty() || cp949.size() > INT32_MAX) return std::u16string();
  const int bytes = static_cast<int>(cp949.size());
  const int chars = MultiByteToWideChar(kKoreanCodePage, 0, cp949.data(), bytes, nullptr, 0);
  if (chars <= 0) return std::u16string();
  std::u16string out(static_cast<size_t>(chars), u'\0');
  MultiByteToWideChar(kKoreanCodePage, 0, cp949.data(), bytes, AsWide(out.data()), chars);
  return out;
}

std::string Utf16ToCp949(std::u16string_view utf16) {
  if (utf16.empty() || utf16.size() > INT32_MAX / 2) return std::string();
  const int chars = static_cast<int>(utf16.size());
  const int bytes = WideCharToMultiByte(kKoreanCodePage, 0, AsWide(utf16.data()), chars, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kKoreanCodePage, 0, AsWide(utf16.data()), chars, out.data(), bytes, "?", nullptr);
  return out;
}

}  // namespace plat
