// The formatter of the module's printf dialect. Directives are parsed here; each
// numeric conversion is handed to the C library with a rebuilt directive whose
// argument type is explicit, so the dialect's sizes never reach libc's parser.
#include "plat/format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "plat/utf16.h"

namespace plat {
namespace {

// The C types libc's directives name; the only place this file spells them.
using CLongLong = long long;                      // conventions: allow
using CULongLong = unsigned long long;            // conventions: allow
using CLongDouble = long double;                  // conventions: allow

enum class Size { None, Char, Short, Long, LongLong, I64, I32, Pointer, LongDouble, Wide };

struct Directive {
  std::string flags;
  int width = -1;
  int precision = -1;
  Size size = Size::None;
  char conversion = 0;

  bool Left() const { return flags.find('-') != std::string::npos; }
  bool WideText() const { return size == Size::Long || size == Size::Wide; }
  // The directive for libc: flags, width and precision as resolved numbers.
  std::string Rebuilt(std::string_view size, char conv) const {
    std::string f = "%" + flags;
    if (width >= 0) f += std::to_string(width);
    if (precision >= 0) f += "." + std::to_string(precision);
    f += size;
    f += conv;
    return f;
  }
};

template <class T>
void AppendC(std::string& out, const std::string& directive, T value) {
  const int n = std::snprintf(nullptr, 0, directive.c_str(), value);
  if (n <= 0) return;
  const size_t old = out.size();
  out.resize(old + static_cast<size_t>(n) + 1);
  std::snprintf(&out[old], static_cast<size_t>(n) + 1, directive.c_str(), value);
  out.resize(old + static_cast<size_t>(n));
}

// Reads digits, saturating at the width cap.
int Number(const char*& p) {
  int v = 0;
  while (*p >= '0' && *p <= '9') {
    v = v >= kFormatMaxWidth ? kFormatMaxWidth : v * 10 + (*p - '0');
    ++p;
  }
  return v < kFormatMaxWidth ? v : kFormatMaxWidth;
}

// Cuts CP949 text to at most `limit` bytes without splitting a character.
std::string_view CutCp949(std::string_view s, size_t limit) {
  size_t end = 0;
  while (end < s.size()) {
    const size_t n = Cp949CharLength(s.substr(end));
    if (end + n > limit) break;
    end += n;
  }
  return s.substr(0, end);
}

class Formatter {
 public:
  explicit Formatter(va_list args) { va_copy(args_, args); }
  ~Formatter() { va_end(args_); }
  Formatter(const Formatter&) = delete;
  Formatter& operator=(const Formatter&) = delete;

  std::string Run(const char* format) {
    std::string out;
    const char* p = format;
    while (*p) {
      if (*p != '%') {
        const char* next = std::strchr(p, '%');
        const size_t n = next ? static_cast<size_t>(next - p) : std::strlen(p);
        out.append(p, n);
        p += n;
        continue;
      }
      const char* start = p++;
      Directive d;
      if (!Parse(p, d)) {
        // Unknown or unfinished: shown as written, no argument taken.
        out.append(start, static_cast<size_t>(p - start));
        continue;
      }
      Convert(d, out);
    }
    return out;
  }

 private:
  // Reads flags, width, precision and size after the '%'; leaves p after the
  // conversion character. False for an unknown conversion or an early end.
  bool Parse(const char*& p, Directive& d) {
    while (*p && std::strchr("-+ #0", *p)) d.flags += *p++;
    if (*p == '*') {
      ++p;
      const int w = va_arg(args_, int);
      if (w < 0) {
        d.flags += '-';
        d.width = w < -kFormatMaxWidth ? kFormatMaxWidth : -w;
      } else {
        d.width = w > kFormatMaxWidth ? kFormatMaxWidth : w;
      }
    } else if (*p >= '0' && *p <= '9') {
      d.width = Number(p);
    }
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        ++p;
        const int prec = va_arg(args_, int);
        d.precision = prec < 0 ? -1 : (prec > kFormatMaxWidth ? kFormatMaxWidth : prec);
      } else {
        d.precision = Number(p);
      }
    }
    switch (*p) {
      case 'h': ++p; d.size = *p == 'h' ? (++p, Size::Char) : Size::Short; break;
      case 'l': ++p; d.size = *p == 'l' ? (++p, Size::LongLong) : Size::Long; break;
      case 'I':
        ++p;
        if (p[0] == '6' && p[1] == '4') p += 2, d.size = Size::I64;
        else if (p[0] == '3' && p[1] == '2') p += 2, d.size = Size::I32;
        else d.size = Size::Pointer;
        break;
      case 'z': case 't': ++p; d.size = Size::Pointer; break;
      case 'j': ++p; d.size = Size::LongLong; break;  // intmax_t: 64 bits on every target
      case 'L': ++p; d.size = Size::LongDouble; break;
      case 'w': ++p; d.size = Size::Wide; break;
      default: break;
    }
    if (!*p || !std::strchr("diuoxXcCsSpeEfFgGaAn%", *p)) return false;
    d.conversion = *p++;
    return true;
  }

  // Dialect sizes to argument types: plain and l are 32 bits, ll and I64 are 64.
  int64_t Signed(Size size) {
    switch (size) {
      case Size::Char: return static_cast<signed char>(va_arg(args_, int));
      case Size::Short: return static_cast<int16_t>(va_arg(args_, int));
      case Size::LongLong: case Size::I64: return va_arg(args_, int64_t);
      case Size::Pointer: return va_arg(args_, intptr_t);
      default: return va_arg(args_, int32_t);
    }
  }
  uint64_t Unsigned(Size size) {
    switch (size) {
      case Size::Char: return static_cast<unsigned char>(va_arg(args_, unsigned));
      case Size::Short: return static_cast<uint16_t>(va_arg(args_, unsigned));
      case Size::LongLong: case Size::I64: return va_arg(args_, uint64_t);
      case Size::Pointer: return va_arg(args_, uintptr_t);
      default: return va_arg(args_, uint32_t);
    }
  }

  void Pad(std::string& out, const Directive& d, std::string_view text) {
    const size_t width = d.width > 0 ? static_cast<size_t>(d.width) : 0;
    const size_t fill = width > text.size() ? width - text.size() : 0;
    if (!d.Left()) out.append(fill, ' ');
    out.append(text);
    if (d.Left()) out.append(fill, ' ');
  }

  void Convert(const Directive& d, std::string& out) {
    const char c = d.conversion;
    switch (c) {
      case '%':
        out += '%';
        return;
      case 'd': case 'i':
        AppendC(out, d.Rebuilt("ll", c), static_cast<CLongLong>(Signed(d.size)));
        return;
      case 'u': case 'o': case 'x': case 'X':
        AppendC(out, d.Rebuilt("ll", c), static_cast<CULongLong>(Unsigned(d.size)));
        return;
      case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
        if (d.size == Size::LongDouble)
          AppendC(out, d.Rebuilt("L", c), va_arg(args_, CLongDouble));
        else
          AppendC(out, d.Rebuilt("", c), va_arg(args_, double));
        return;
      case 'p': {
        Directive hex = d;
        hex.precision = 2 * static_cast<int>(sizeof(void*));
        hex.flags.erase(std::remove(hex.flags.begin(), hex.flags.end(), '#'), hex.flags.end());
        AppendC(out, hex.Rebuilt("ll", 'X'), static_cast<CULongLong>(reinterpret_cast<uintptr_t>(va_arg(args_, void*))));
        return;
      }
      case 'c': case 'C': {
        if (c == 'C' || d.WideText()) {
          const char16_t ch = static_cast<char16_t>(va_arg(args_, unsigned));
          Pad(out, d, Utf16ToCp949(std::u16string_view(&ch, 1)));
        } else {
          const char ch = static_cast<char>(va_arg(args_, int));
          Pad(out, d, std::string_view(&ch, 1));
        }
        return;
      }
      case 's': case 'S': {
        const size_t limit = d.precision >= 0 ? static_cast<size_t>(d.precision) : std::string_view::npos;
        if (c == 'S' || d.WideText()) {
          const char16_t* w = va_arg(args_, const char16_t*);
          const std::string text = w ? Utf16ToCp949(w) : std::string("(null)");
          Pad(out, d, CutCp949(text, limit));
        } else {
          const char* s = va_arg(args_, const char*);
          if (!s) s = "(null)";
          // strnlen: with a precision the text need not be terminated.
          Pad(out, d, std::string_view(s, limit == std::string_view::npos ? std::strlen(s) : strnlen(s, limit)));
        }
        return;
      }
      case 'n':
        (void)va_arg(args_, void*);
        return;
      default:
        return;
    }
  }

  va_list args_;
};

}  // namespace

std::string FormatStringV(const char* format, va_list args) {
  if (!format) return std::string();
  Formatter f(args);
  return f.Run(format);
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatStringV(format, args);
  va_end(args);
  return s;
}

}  // namespace plat
