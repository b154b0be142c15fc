// GetPrivateProfileStringA and friends: the file is read whole on every call.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "core/Faults.h"
#include "ini/IniDocument.h"
#include "plat/error.h"
#include "plat/files.h"
#include "plat/ini.h"

namespace {

// Larger files are cut here: no settings file comes near it.
constexpr size_t kMaxIniBytes = 16u << 20;

std::optional<std::string> ReadText(LPCSTR fileName) {
  if (!fileName || !*fileName) return std::nullopt;
  FILE* f = plat::OpenCFile(fileName, "rb");
  if (!f) return std::nullopt;
  std::string text;
  char buf[4096];
  size_t n;
  while (text.size() < kMaxIniBytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  if (text.size() > kMaxIniBytes) text.resize(kMaxIniBytes);
  return text;
}

std::optional<plat::detail::IniDocument> ReadDocument(LPCSTR fileName, const char* fault) {
  if (plat::detail::ShouldFail(fault)) return std::nullopt;
  auto text = ReadText(fileName);
  if (!text) return std::nullopt;
  return plat::detail::IniDocument::Parse(*text);
}

DWORD CopyValue(std::string_view value, LPSTR out, DWORD size) {
  size_t n = std::min<size_t>(value.size(), size - 1);
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

// Names one after another, each terminated, then one more terminator. A list that does
// not fit is cut so that it still ends with two terminators.
DWORD CopyList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
  std::string list;
  for (const auto& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(out, list.data(), list.size());
    out[list.size()] = '\0';
    if (list.empty() && size > 1) out[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, list.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName) {
  if (!out || size == 0) return 0;
  auto doc = ReadDocument(fileName, "GetPrivateProfileStringA");
  if (!section || !key) {
    std::vector<std::string> names;
    if (doc) names = section ? doc->KeyNames(section) : doc->SectionNames();
    return CopyList(names, out, size);
  }
  if (doc) {
    if (const std::string* value = doc->Find(section, key)) return CopyValue(*value, out, size);
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  std::string_view fallback = defaultValue ? defaultValue : "";
  while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t')) fallback.remove_suffix(1);
  return CopyValue(fallback, out, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  const std::string* value = nullptr;
  auto doc = ReadDocument(fileName, "GetPrivateProfileIntA");
  if (doc && section && key) value = doc->Find(section, key);
  if (!value || value->empty()) return static_cast<UINT>(defaultValue);
  std::string_view v = *value;
  bool negative = false;
  if (v.front() == '-' || v.front() == '+') {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  uint32_t base = 10;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  // Digits accumulate modulo 2^32, as the 32-bit conversion does.
  uint32_t result = 0;
  for (char c : v) {
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
    else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') digit = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
    else break;
    result = result * base + digit;
  }
  return negative ? 0u - result : result;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section || !fileName || !*fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (plat::detail::ShouldFail("WritePrivateProfileStringA")) {
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
  }
  auto text = ReadText(fileName);
  auto doc = plat::detail::IniDocument::Parse(text ? *text : std::string());
  if (!key) doc.RemoveSection(section);
  else if (!value) doc.RemoveKey(section, key);
  else doc.Set(section, key, value);
  FILE* f = plat::OpenCFile(fileName, "wb");
  if (!f) return FALSE;
  const std::string out = doc.Text();
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) SetLastError(ERROR_WRITE_FAULT);
  return ok ? TRUE : FALSE;
}
