// The player's stored settings under HKEY_CURRENT_USER "Software\<path>\<subkey>":
// one value read or written per call, the keys closed again at once. Every reader
// takes only a value of the expected type and size, so a value someone else wrote
// in another shape reads as missing.
#pragma once

#include <cstdint>
#include <string>

namespace registry_values {

// Longest text a string value may hold, terminator included.
constexpr uint32_t kMaxText = 8192;

// 1 with `out` set from a REG_SZ of at most kMaxText bytes; 0 otherwise.
int32_t ReadText(const std::string& path, const std::string& subKey, const char* name, std::string& out);
// 1 with `out` set from a 4-byte REG_DWORD; 0 otherwise.
int32_t ReadDword(const std::string& path, const std::string& subKey, const char* name, uint32_t& out);
// Create the keys as needed and write one value; 1, or 0 when any step fails.
int32_t WriteText(const std::string& path, const std::string& subKey, const char* name, const std::string& text);
int32_t WriteDword(const std::string& path, const std::string& subKey, const char* name, uint32_t value);

}  // namespace registry_values

// The settings readers' shared entry: 1 with the 4 bytes of a REG_DWORD in `out`.
int32_t ReadRegistryValue(const std::string& path, const std::string& subKey, const char* name, uint32_t* out);
