// The original compiler's bounded printf family and USER's wsprintfA, over the layer's
// formatter of the same dialect.
#include <cstring>
#include <string>

#include "plat/crt.h"

int _vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
  if (!format || (!buffer && count)) return -1;
  const std::string s = plat::FormatStringV(format, args);
  if (s.size() > static_cast<size_t>(INT32_MAX)) return -1;
  if (!buffer) return static_cast<int>(s.size());
  if (s.size() < count) {
    std::memcpy(buffer, s.data(), s.size() + 1);
    return static_cast<int>(s.size());
  }
  std::memcpy(buffer, s.data(), count);
  return s.size() == count ? static_cast<int>(count) : -1;
}

int _snprintf(char* buffer, size_t count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = _vsnprintf(buffer, count, format, args);
  va_end(args);
  return n;
}

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args) {
  if (!buffer || !format) return 0;
  const std::string s = plat::FormatStringV(format, args);
  const size_t n = s.size() < kWsprintfMaxBytes ? s.size() : kWsprintfMaxBytes - 1;
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  const int n = wvsprintfA(buffer, format, args);
  va_end(args);
  return n;
}
