// The layer's own C-runtime additions, the same on every side: the formatter of the
// module's printf dialect and the original compiler's generator and number parsers.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace plat {

// printf-style formatting in that dialect, with no length limit:
//   flags - + space # 0; width and precision as digits or '*' (a negative '*' width
//   means '-' and its absolute value; a negative '*' precision means none);
//   sizes: hh h (char/short), l (32 bits), ll I64 (64 bits), I32 (32 bits),
//   I z t j (pointer-sized), L (long double); conversions d i u o x X c s p e E f F
//   g G a A and %%. %s with null prints "(null)"; %ls %ws %S print UTF-16 text (a
//   char16_t*) as CP949 and %lc %wc %C a char16_t likewise. %p prints the pointer in
//   upper-case hex, two digits per byte of a pointer (16 or 8), without "0x". %n is
//   not supported: its pointer is consumed and nothing is stored. An unknown
//   conversion is copied to the output as written. Floating point follows C99 (two-digit exponents). Width and precision
//   are capped at kFormatMaxWidth. (No printf format attribute: the compiler would
//   read this dialect as its own and warn about %I64d and %ld with 32-bit values.)
std::string FormatString(const char* format, ...);
std::string FormatStringV(const char* format, va_list args);

constexpr int kFormatMaxWidth = 1 << 20;

}  // namespace plat

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
