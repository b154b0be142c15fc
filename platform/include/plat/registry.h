// The registry: a tree of keys with case-insensitive names and typed values, kept in
// one file per user and rewritten whole (temporary name, then rename) after every
// change. Results are Windows error codes; these calls leave the last error alone.
#pragma once

#include "plat/types.h"

using REGSAM = DWORD;

// The predefined roots. They are always open and closing them is a no-op.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0x0000;
constexpr DWORD REG_OPTION_VOLATILE = 0x0001;
constexpr DWORD REG_CREATED_NEW_KEY = 0x0001;
constexpr DWORD REG_OPENED_EXISTING_KEY = 0x0002;

// Sub-key paths are '\'-separated, relative to `key`; null or "" names `key` itself.
// While the registry file is corrupt or unreadable every call answers ERROR_BADDB and
// the file is left as it is.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Security attributes are not modelled: any pointer (normally null) is accepted.
// REG_OPTION_VOLATILE is accepted, but the key is kept like any other.
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     const void* securityAttributes, PHKEY result, LPDWORD disposition);
// Null `data` asks for the size only. A buffer too small answers ERROR_MORE_DATA with
// the size needed in *dataSize and leaves the buffer untouched.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
// A REG_SZ or REG_EXPAND_SZ value is stored with a terminating zero, added when the
// given bytes lack one. Values are limited to 1 MiB.
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED otherwise). Handles still
// open on it answer ERROR_KEY_DELETED.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegCloseKey(HKEY key);
