// CP949 through tables built once from glibc's iconv and completed where the system's
// code page has more, the system's best-fit look-alikes from a table generated on the
// real side, and UTF-8/UTF-16 by hand.
#include "plat/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#include "plat/error.h"

namespace {

constexpr char16_t kReplacement = u'?';
constexpr unsigned kUserRowFirst = 0xC9;
constexpr unsigned kUserRowSecond = 0xFE;
constexpr unsigned kUserTrailFirst = 0xA1;
constexpr unsigned kUserTrailLast = 0xFE;
constexpr char16_t kFirstPrivateUse = 0xE000;
// 0x80 stands for U+0080; 0xFF gives a private-use character but counts as invalid.
constexpr char16_t kByte80Unit = 0x0080;
constexpr char16_t kByteFFUnit = 0xF8F7;

bool IsLead(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

struct BestFit {
  char16_t unit;
  uint16_t code;  // one byte, or the lead byte high and the trail byte low
};
// What the system writes without WC_NO_BEST_FIT_CHARS for a character the code page
// lacks, in unit order: the file says how it was made.
constexpr BestFit kBestFit[] = {
#include "Cp949BestFit.inc"
};

uint16_t BestFitCode(char16_t unit) {
  const auto* end = std::end(kBestFit);
  const auto* at = std::lower_bound(std::begin(kBestFit), end, unit,
                                    [](const BestFit& e, char16_t u) { return e.unit < u; });
  return at != end && at->unit == unit ? at->code : 0;
}

struct Cp949Tables {
  // Double-byte character (lead << 8 | trail) → UTF-16 code unit; 0 = undefined.
  std::vector<char16_t> decode = std::vector<char16_t>(0x10000, 0);
  // UTF-16 code unit (BMP) → double-byte value; 0 = not representable.
  std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, 0);
};

const Cp949Tables& Tables() {
  static Cp949Tables* tables = [] {
    auto* t = new Cp949Tables;
    iconv_t cd = iconv_open("UTF-16LE", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1)) return t;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char out[8];
        char* ip = in;
        char* op = out;
        size_t il = 2, ol = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || ol != sizeof(out) - 2) continue;
        char16_t unit = static_cast<char16_t>(static_cast<uint8_t>(out[0]) | (static_cast<uint8_t>(out[1]) << 8));
        uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        t->decode[code] = unit;
        if (t->encode[unit] == 0) t->encode[unit] = code;
      }
    }
    iconv_close(cd);
    // The two user-defined rows, which iconv refuses, hold the private-use characters
    // from U+E000 in code order; the system maps them both ways.
    char16_t privateUse = kFirstPrivateUse;
    for (unsigned lead : {kUserRowFirst, kUserRowSecond}) {
      for (unsigned trail = kUserTrailFirst; trail <= kUserTrailLast; ++trail, ++privateUse) {
        const auto code = static_cast<uint16_t>(lead << 8 | trail);
        t->decode[code] = privateUse;
        t->encode[privateUse] = code;
      }
    }
    // The two single bytes above ASCII that no code begins with.
    t->encode[kByte80Unit] = 0x80;
    t->encode[kByteFFUnit] = 0xFF;
    return t;
  }();
  return *tables;
}

// Decodes CP949 into UTF-16, unit by unit; false when some byte or pair has no
// character. A lead byte takes the byte after it whatever it is, a pair without a
// character giving one '?', except at the end of the input or before a zero byte.
template <class Sink>
bool DecodeCp949(std::string_view s, Sink&& sink) {
  const auto& t = Tables();
  bool valid = true;
  for (size_t i = 0; i < s.size();) {
    const uint8_t b = static_cast<uint8_t>(s[i]);
    if (b < 0x80) {
      sink(static_cast<char16_t>(b));
      ++i;
    } else if (b == 0x80) {
      sink(kByte80Unit);
      ++i;
    } else if (b == 0xFF) {
      sink(kByteFFUnit);
      valid = false;
      ++i;
    } else if (i + 1 < s.size() && s[i + 1] != '\0') {
      const char16_t u = t.decode[(b << 8) | static_cast<uint8_t>(s[i + 1])];
      sink(u != 0 ? u : kReplacement);
      valid = valid && u != 0;
      i += 2;
    } else {
      sink(kReplacement);
      valid = false;
      ++i;
    }
  }
  return valid;
}

// Encodes UTF-16 into CP949, with the look-alikes when `bestFit`; returns whether a
// default character was used (a look-alike is not one).
template <class Sink>
bool EncodeCp949(std::u16string_view s, char defaultChar, bool bestFit, Sink&& sink) {
  const auto& t = Tables();
  bool usedDefault = false;
  for (char16_t u : s) {
    if (u < 0x80) {
      sink(static_cast<char>(u));
      continue;
    }
    uint16_t code = t.encode[u];
    if (code == 0 && bestFit) code = BestFitCode(u);
    if (code != 0) {
      if (code > 0xFF) sink(static_cast<char>(code >> 8));
      sink(static_cast<char>(code & 0xFF));
    } else {
      sink(defaultChar);
      usedDefault = true;
    }
  }
  return usedDefault;
}

template <class Sink>
void DecodeUtf8(std::string_view s, Sink&& sink) {
  for (size_t i = 0; i < s.size();) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    uint32_t cp;
    size_t len;
    if (b < 0x80) {
      cp = b;
      len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      len = 4;
    } else {
      sink(kReplacement);
      ++i;
      continue;
    }
    bool ok = i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k) {
      uint8_t c = static_cast<uint8_t>(s[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      sink(kReplacement);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      sink(static_cast<char16_t>(0xD800 + (cp >> 10)));
      sink(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      sink(static_cast<char16_t>(cp));
    }
    i += len;
  }
}

template <class Sink>
void EncodeUtf8(std::u16string_view s, Sink&& sink) {
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = '?';
    }
    if (cp < 0x80) {
      sink(static_cast<char>(cp));
    } else if (cp < 0x800) {
      sink(static_cast<char>(0xC0 | (cp >> 6)));
      sink(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      sink(static_cast<char>(0xE0 | (cp >> 12)));
      sink(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      sink(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      sink(static_cast<char>(0xF0 | (cp >> 18)));
      sink(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      sink(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      sink(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
}

enum class Page { Korean, Utf8, Unsupported };

Page Resolve(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case CP_KOREAN:
      return Page::Korean;
    case CP_UTF8:
      return Page::Utf8;
    default:
      return Page::Unsupported;
  }
}

}  // namespace

UINT GetACP() { return CP_KOREAN; }
UINT GetOEMCP() { return CP_KOREAN; }
BOOL IsDBCSLeadByte(BYTE b) { return IsLead(b) ? TRUE : FALSE; }
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE b) {
  return Resolve(codePage) == Page::Korean && IsLead(b) ? TRUE : FALSE;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars) {
  Page page = Resolve(codePage);
  if (page == Page::Unsupported || !src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 ||
      (dstChars > 0 && !dst)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t n = srcBytes == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcBytes);
  std::u16string out;
  out.reserve(n);
  auto sink = [&](char16_t u) { out.push_back(u); };
  const bool valid = page == Page::Korean ? DecodeCp949(std::string_view(src, n), sink)
                                          : (DecodeUtf8(std::string_view(src, n), sink), true);
  if (!valid && (flags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (dstChars == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(dstChars)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, out.data(), out.size() * sizeof(char16_t));
  return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, LPBOOL usedDefault) {
  Page page = Resolve(codePage);
  if (page == Page::Unsupported || !src || srcChars == 0 || srcChars < -1 || dstBytes < 0 ||
      (dstBytes > 0 && !dst) || (page == Page::Utf8 && (defaultChar || usedDefault))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t n = static_cast<size_t>(srcChars);
  if (srcChars == -1) {
    n = 0;
    while (src[n] != 0) ++n;
    ++n;
  }
  std::string out;
  out.reserve(n * 2);
  auto sink = [&](char c) { out.push_back(c); };
  bool used = false;
  if (page == Page::Korean)
    used = EncodeCp949(std::u16string_view(src, n), defaultChar ? *defaultChar : '?',
                       (flags & WC_NO_BEST_FIT_CHARS) == 0, sink);
  else
    EncodeUtf8(std::u16string_view(src, n), sink);
  if (usedDefault) *usedDefault = used ? TRUE : FALSE;
  if (dstBytes == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(dstBytes)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, out.data(), out.size());
  return static_cast<int>(out.size());
}

namespace plat {

std::u16string Cp949ToUtf16(std::string_view cp949) {
  std::u16string out;
  out.reserve(cp949.size());
  DecodeCp949(cp949, [&](char16_t u) { out.push_back(u); });
  return out;
}

std::string Utf16ToCp949(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 2);
  // As the Windows side's conversion, which asks the system with flags 0.
  EncodeCp949(utf16, '?', true, [&](char c) { out.push_back(c); });
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  EncodeUtf8(utf16, [&](char c) { out.push_back(c); });
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  DecodeUtf8(utf8, [&](char16_t u) { out.push_back(u); });
  return out;
}

std::string Cp949ToUtf8(std::string_view cp949) { return Utf16ToUtf8(Cp949ToUtf16(cp949)); }
std::string Utf8ToCp949(std::string_view utf8) { return Utf16ToCp949(Utf8ToUtf16(utf8)); }

}  // namespace plat
