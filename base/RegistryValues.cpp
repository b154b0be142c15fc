#include "base/RegistryValues.h"

#include <vector>

#include "plat/registry.h"

namespace {

constexpr const char* kSoftwareRoot = "Software\\";

// Opens (or creates) Software\<path>, then the subkey below it, with all access.
class SettingsKey {
 public:
  SettingsKey(const std::string& path, const std::string& subKey, bool create) {
    const std::string outer = kSoftwareRoot + path;
    HKEY base = nullptr;
    const LONG opened = create ? RegCreateKeyExA(HKEY_CURRENT_USER, outer.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &base, nullptr)
                               : RegOpenKeyExA(HKEY_CURRENT_USER, outer.c_str(), 0, KEY_ALL_ACCESS, &base);
    if (opened != ERROR_SUCCESS) return;
    const LONG inner = create ? RegCreateKeyExA(base, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                &key_, nullptr)
                              : RegOpenKeyExA(base, subKey.c_str(), 0, KEY_ALL_ACCESS, &key_);
    if (inner != ERROR_SUCCESS) key_ = nullptr;
    RegCloseKey(base);
  }
  ~SettingsKey() {
    if (key_) RegCloseKey(key_);
  }
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

namespace registry_values {

int32_t ReadText(const std::string& path, const std::string& subKey, const char* name, std::string& out) {
  SettingsKey key(path, subKey, false);
  if (!key.get()) return 0;
  std::vector<BYTE> buffer(kMaxText);
  DWORD type = REG_NONE;
  DWORD size = kMaxText;
  // A longer text answers ERROR_MORE_DATA and counts as unreadable, like any other type.
  if (RegQueryValueExA(key.get(), name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return 0;
  if (type != REG_SZ || size > kMaxText) return 0;
  // The stored bytes need not end in a terminator: the text ends at the first zero
  // or at the bytes read, whichever comes first.
  const auto* text = reinterpret_cast<const char*>(buffer.data());
  size_t length = 0;
  while (length < size && text[length] != '\0') ++length;
  out.assign(text, length);
  return 1;
}

int32_t ReadDword(const std::string& path, const std::string& subKey, const char* name, uint32_t& out) {
  SettingsKey key(path, subKey, false);
  if (!key.get()) return 0;
  uint32_t value = 0;
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return 0;
  }
  if (type != REG_DWORD || size != sizeof value) return 0;
  out = value;
  return 1;
}

int32_t WriteText(const std::string& path, const std::string& subKey, const char* name, const std::string& text) {
  SettingsKey key(path, subKey, true);
  if (!key.get()) return 0;
  const auto size = static_cast<DWORD>(text.size() + 1);
  return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

int32_t WriteDword(const std::string& path, const std::string& subKey, const char* name, uint32_t value) {
  SettingsKey key(path, subKey, true);
  if (!key.get()) return 0;
  return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

}  // namespace registry_values

int32_t ReadRegistryValue(const std::string& path, const std::string& subKey, const char* name, uint32_t* out) {
  return out ? registry_values::ReadDword(path, subKey, name, *out) : 0;
}
