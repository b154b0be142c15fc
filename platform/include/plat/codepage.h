// Code pages: CP949 (the ANSI code page of the module), UTF-16 and UTF-8. Module
// strings are CP949 bytes; file names on disk and test output are UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "plat/types.h"
#include "plat/utf16.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;
constexpr UINT CP_KOREAN = 949;
constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_COMPOSITECHECK = 0x00000200;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

// The system's ANSI code page: 949.
UINT GetACP();
UINT GetOEMCP();
BOOL IsDBCSLeadByte(BYTE b);
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE b);

// Windows contract: a length of -1 includes the terminator; an output size of 0
// returns the size needed; a too small output fails with ERROR_INSUFFICIENT_BUFFER;
// an undecodable byte or unmappable character becomes '?' (U+003F), or with
// MB_ERR_INVALID_CHARS fails the call with ERROR_NO_UNICODE_TRANSLATION. CP949 is the
// system's table: the user-defined rows C9 and FE hold U+E000-U+E0BB, the lone byte 0x80
// is U+0080 and 0xFF is U+F8F7 (invalid under the flag). Without WC_NO_BEST_FIT_CHARS a
// character outside the table takes the system's look-alike where it has one (U+00A2 as
// A1 CB; the table, src/text/Cp949BestFit.inc, is generated from the real system's
// answers), which does not count as the default; otherwise it takes the default.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, LPBOOL usedDefault);

namespace plat {

std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Cp949ToUtf8(std::string_view cp949);
std::string Utf8ToCp949(std::string_view utf8);

}  // namespace plat
