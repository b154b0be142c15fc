// Fuzz target of the layer's INI reader: the input is a settings file as it stands on
// disk. The section list, each section's key list and each key's value are read the way
// the module reads its portal file, into buffers of exactly the size handed over, and
// again into every smaller size up to a bound. Whatever the bytes, a read stays inside
// its buffer and ends with its terminator (a list with two), a cut value is the whole
// value's prefix, every name and value is text of the file, and a key written into the
// file leaves every other value reading as before.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ScratchFolder.h"
#include "plat/ini.h"

namespace {

constexpr size_t kMaxInput = 1u << 12;
// Keys looked at per input, and the buffer sizes below a value's own that are tried.
constexpr size_t kMaxKeys = 64;
constexpr DWORD kMaxCutSize = 8;
constexpr const char* kFolder = "F:\\Settings\\";
constexpr const char* kFile = "F:\\Settings\\fuzz.ini";
constexpr const char* kWrittenSection = "fuzz written";
constexpr const char* kWrittenKey = "key";
constexpr const char* kWrittenValue = "value";
constexpr DWORD kWrittenBuffer = 16;
// Short enough for every buffer a value is read into.
constexpr const char* kMissing = "\x01";

struct Entry {
  std::string section;
  std::string key;
  std::string value;
};

// A read into a buffer of exactly `size` bytes, so the sanitizer sees any byte beyond.
std::string ReadValue(const char* section, const char* key, DWORD size, DWORD& returned) {
  std::vector<char> out(size);
  returned = GetPrivateProfileStringA(section, key, kMissing, out.data(), size, kFile);
  if (returned >= size || out[returned] != '\0') __builtin_trap();
  return std::string(out.data(), returned);
}

// The names a list read gives: the list must fit a buffer one byte longer than the file
// and end with two terminators.
std::vector<std::string> ReadList(const char* section, size_t textSize) {
  const auto size = static_cast<DWORD>(textSize + 2);
  std::vector<char> out(size);
  const DWORD n = GetPrivateProfileStringA(section, nullptr, nullptr, out.data(), size, kFile);
  if (n + 1 >= size || out[n] != '\0' || (n > 0 && out[n - 1] != '\0')) __builtin_trap();
  std::vector<std::string> names;
  for (size_t at = 0; at < n;) {
    const std::string name(out.data() + at);
    names.push_back(name);
    at += name.size() + 1;
  }
  // A buffer too small for the list still ends with two terminators.
  for (DWORD cut = 1; cut <= std::min<DWORD>(n, kMaxCutSize); ++cut) {
    std::vector<char> small(cut);
    const DWORD got = GetPrivateProfileStringA(section, nullptr, nullptr, small.data(), cut, kFile);
    if (cut >= 2 && (got != cut - 2 || small[cut - 1] != '\0' || small[cut - 2] != '\0')) __builtin_trap();
    if (cut == 1 && (got != 0 || small[0] != '\0')) __builtin_trap();
  }
  return names;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return (x | 0x20) == (y | 0x20) || x == y; });
}

std::vector<Entry> ReadAll(std::string_view text) {
  std::vector<Entry> entries;
  for (const std::string& section : ReadList(nullptr, text.size())) {
    if (text.find(section) == std::string_view::npos) __builtin_trap();
    for (const std::string& key : ReadList(section.c_str(), text.size())) {
      if (text.find(key) == std::string_view::npos) __builtin_trap();
      if (entries.size() == kMaxKeys) return entries;
      DWORD whole = 0;
      std::string value = ReadValue(section.c_str(), key.c_str(), static_cast<DWORD>(text.size() + 1), whole);
      // A name holding a zero byte finds a shorter name, which may be missing.
      if (value != kMissing && text.find(value) == std::string_view::npos) __builtin_trap();
      for (DWORD size = 1; size <= std::min<DWORD>(whole, kMaxCutSize); ++size) {
        DWORD got = 0;
        const std::string cut = ReadValue(section.c_str(), key.c_str(), size, got);
        if (got != size - 1 || value.compare(0, got, cut) != 0) __builtin_trap();
      }
      GetPrivateProfileIntA(section.c_str(), key.c_str(), 0, kFile);
      entries.push_back({section, key, std::move(value)});
    }
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  FuzzWriteInput("fuzz-ini", kFolder, "fuzz.ini", data, size);
  const std::vector<Entry> before = ReadAll(text);

  if (!WritePrivateProfileStringA(kWrittenSection, kWrittenKey, kWrittenValue, kFile)) __builtin_trap();
  DWORD got = 0;
  if (ReadValue(kWrittenSection, kWrittenKey, kWrittenBuffer, got) != kWrittenValue) __builtin_trap();
  for (const Entry& e : before) {
    // The written section may have been one of the file's own.
    if (EqualNoCase(e.section.c_str(), kWrittenSection)) continue;
    const std::string now = ReadValue(e.section.c_str(), e.key.c_str(), static_cast<DWORD>(size + 1), got);
    if (now != e.value) __builtin_trap();
  }
  return 0;
}
