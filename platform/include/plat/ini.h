// INI files ("private profiles"), read through the path mapping on every call so that a
// file changed on disk is seen at once. Section and key names ignore ASCII case; values
// are trimmed and a pair of enclosing quotes is dropped; all other bytes (CP949) pass
// through unchanged. A file name without a folder is relative to the current directory.
#pragma once

#include "plat/types.h"

// Copies the value (or `defaultValue`, without its trailing blanks, when the file,
// section or key is missing) and returns the bytes copied, at most size - 1, always
// terminated. A null `section` lists the section names, a null `key` the keys of the
// section: each name terminated, the list ending with an extra terminator; a list that
// does not fit is cut and the result is size - 2.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName);
// The value's leading decimal integer (or hexadecimal after "0x"), 0 when it has no
// digits; `defaultValue` when the key is missing or empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
// Sets a value, creating the file and section as needed. A null `value` removes the key,
// a null `key` the whole section. Other lines are kept as they were.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
