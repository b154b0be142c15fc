// The C runtime as the module's original 32-bit compiler had it: its printf dialect
// (%I64d for 64-bit values; %ld, %lu and %lx read 32-bit values because `long` had
// 32 bits there), its rand() sequence (plat/format.h), and its string and number helpers.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "plat/format.h"
#include "plat/types.h"

// MSVC's _snprintf: writes at most `count` bytes. When the text fits with room to
// spare it is terminated and its length returned; when it fits exactly it is NOT
// terminated and its length is returned; when it is longer, `count` bytes are written,
// nothing terminates them, and the result is -1.
int _snprintf(char* buffer, size_t count, const char* format, ...);
int _vsnprintf(char* buffer, size_t count, const char* format, va_list args);

// wsprintfA writes at most 1024 bytes, terminator included, and returns the number
// of bytes stored before the terminator (the text is cut silently).
constexpr int kWsprintfMaxBytes = 1024;
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args);

// ASCII-only case-insensitive comparisons (bytes above 0x7F compare as they are):
// negative, zero or positive like strcmp.
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);

// Decimal text to a 64-bit value: leading white space, an optional sign, digits;
// out-of-range values saturate at the int64_t limits.
int64_t _atoi64(const char* text);
// Writes `value` in `radix` (2..36, lower-case digits; negative only in radix 10) and
// returns `buffer`, which must hold 66 bytes.
char* _i64toa(int64_t value, char* buffer, int radix);
