// The Windows hosts' small text helpers: a command-line text in the ANSI code page as
// the UTF-16 the module's exports take, and a whole file's bytes.
#pragma once

#include <windows.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

namespace winhost {

inline std::u16string Wide(const char* text) {
  const int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::u16string wide(count > 0 ? count - 1 : 0, u'\0');
  if (count > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(wide.data()), count);
  return wide;
}

// errno tells why a file could not be read.
inline bool ReadFileText(const std::string& path, std::string& text) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

}  // namespace winhost
