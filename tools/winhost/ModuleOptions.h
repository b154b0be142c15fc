// The module's stored options as a host starts it: a fresh key, as the headless run's
// fresh registry file, then the options given.
#pragma once

#include <windows.h>

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

}  // namespace winhost
