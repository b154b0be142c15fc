// The Windows hosts' small text helpers: a command-line text in the ANSI code page as
// the UTF-16 the module's exports take, the command line itself as UTF-16 (a path in
// it may hold what the ANSI code page cannot: a Korean name on another system, an é on
// a Korean one), paths to and from UTF-8, and a whole file's bytes.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace winhost {

inline std::u16string Wide(const char* text) {
  const int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::u16string wide(count > 0 ? count - 1 : 0, u'\0');
  if (count > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(wide.data()), count);
  return wide;
}

// The program's arguments as the system holds them, before any code page: argv[0] first.
inline std::vector<std::u16string> WideArguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> out;
  for (int i = 0; words && i < count; ++i) out.emplace_back(reinterpret_cast<const char16_t*>(words[i]));
  if (words) LocalFree(words);
  return out;
}

// A path or text as UTF-8, the bytes a Unix reader of the host's lines takes.
inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string bytes = path.u8string();
  return std::string(bytes.begin(), bytes.end());
}
// A UTF-8 name (a checkpoint's, read from the script) as a path: a std::string would be
// read in the C library's code page.
inline std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// errno tells why a file could not be read.
inline bool ReadFileText(const std::filesystem::path& path, std::string& text) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

}  // namespace winhost
