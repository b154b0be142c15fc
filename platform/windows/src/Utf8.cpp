// UTF-8 through the system's own code page 65001.
#include "plat/codepage.h"

namespace plat {

std::string Utf16ToUtf8(std::u16string_view utf16) {
  if (utf16.empty() || utf16.size() > INT32_MAX / 4) return std::string();
  const int chars = static_cast<int>(utf16.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, AsWide(utf16.data()), chars, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, AsWide(utf16.data()), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT32_MAX) return std::u16string();
  const int bytes = static_cast<int>(utf8.size());
  const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
  if (chars <= 0) return std::u16string();
  std::u16string out(static_cast<size_t>(chars), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, AsWide(out.data()), chars);
  return out;
}

std::string Cp949ToUtf8(std::string_view cp949) { return Utf16ToUtf8(Cp949ToUtf16(cp949)); }
std::string Utf8ToCp949(std::string_view utf8) { return Utf16ToCp949(Utf8ToUtf16(utf8)); }

}  // namespace plat
