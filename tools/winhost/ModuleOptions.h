// The module's stored options as a host starts it: a fresh key, as the headless run's
// fresh registry file, then the options given.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace winhost {

// Where the module keeps the player's options for the synthetic data's company and
// domain.
constexpr const char* kModuleKey = "Software\\Varnet\\Quell";
constexpr const char* kOptionsKey = "Software\\Varnet\\Quell\\14";

using ModuleOptions = std::vector<std::pair<std::string, DWORD>>;

// Nothing the module stored before, then the options given (DWORD values); false when
// one could not be written.
inline bool StartWithOptions(const ModuleOptions& options) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kModuleKey);
  if (options.empty()) return true;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  bool ok = true;
  for (const auto& [name, value] : options)
    ok = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
             ERROR_SUCCESS && ok;
  RegCloseKey(key);
  return ok;
}

// Every value the module's options key holds, by name, as
// "Name=dword:0000000N" or "Name=\"text\"" (another type as "Name=type N"), separated
// by spaces; "(no key)" when there is none. Read as the module left them, so a value not
// stored or stored wrong shows in the whole text.
inline std::string StoredOptions() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
  std::vector<std::string> values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    BYTE data[256];
    DWORD nameLength = sizeof name, type = 0, size = sizeof data;
    if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    char value[320];
    if (type == REG_DWORD && size == sizeof(DWORD)) {
      DWORD v = 0;
      std::memcpy(&v, data, sizeof v);
      std::snprintf(value, sizeof value, "dword:%08lx", v);
    } else if (type == REG_SZ) {
      std::snprintf(value, sizeof value, "\"%.*s\"", int(size > 0 && data[size - 1] == 0 ? size - 1 : size), data);
    } else {
      std::snprintf(value, sizeof value, "type %lu", type);
    }
    values.push_back(std::string(name, nameLength) + "=" + value);
  }
  RegCloseKey(key);
  std::sort(values.begin(), values.end());
  std::string out;
  for (const std::string& v : values) out += (out.empty() ? "" : " ") + v;
  return out;
}

}  // namespace winhost
