// The C runtime as the module's original 32-bit compiler had it: its printf dialect
// (%I64d for 64-bit values; %ld, %lu and %lx read 32-bit values because `long` had
// 32 bits there), its rand() sequence, and its string and number helpers.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "plat/types.h"

namespace plat {

// printf-style formatting in that dialect, with no length limit:
//   flags - + space # 0; width and precision as digits or '*' (a negative '*' width
//   means '-' and its absolute value; a negative '*' precision means none);
//   sizes: hh h (char/short), l (32 bits), ll I64 (64 bits), I32 (32 bits),
//   I z t j (pointer-sized), L (long double); conversions d i u o x X c s p e E f F
//   g G a A and %%. %s with null prints "(null)"; %ls %ws %S print UTF-16 text (a
//   char16_t*) as CP949 and %lc %wc %C a char16_t likewise. %p prints the pointer in
//   upper-case hex, 16 digits, without "0x". %n is not supported: its pointer is
//   consumed and nothing is stored. An unknown conversion is copied to the output as
//   written. Floating point follows C99 (two-digit exponents). Width and precision
//   are capped at kFormatMaxWidth. (No printf format attribute: the compiler would
//   read this dialect as its own and warn about %I64d and %ld with 32-bit values.)
std::string FormatString(const char* format, ...);
std::string FormatStringV(const char* format, va_list args);

constexpr int kFormatMaxWidth = 1 << 20;

}  // namespace plat

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

namespace plat::crt {

// The compiler's generator: state = state * 214013 + 2531011, result bits 16..30.
// Each thread has its own state, starting as if srand(1) had been called.
constexpr int kRandMax = 32767;
int rand();
void srand(uint32_t seed);

// 32-bit atoi/atol: parsed like strtol (leading white space, optional sign, decimal
// digits, stop at the first other byte) and clamped to the int32_t range.
int32_t atoi(const char* text);
int32_t atol(const char* text);

}  // namespace plat::crt
