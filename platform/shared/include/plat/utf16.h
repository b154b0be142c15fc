// UTF-16 text of the module as char16_t on every side, and the CP949 conversions the
// module makes itself. The system's wide-character type may be another type of the
// same width: the two pointer casts are the one place that crosses between them.
#pragma once

#include <string>
#include <string_view>

#include "plat/types.h"

namespace plat {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the system's wide characters are UTF-16 code units");

inline const WCHAR* AsWide(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }
inline WCHAR* AsWide(char16_t* text) { return reinterpret_cast<WCHAR*>(text); }
inline const char16_t* AsUtf16(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* AsUtf16(WCHAR* text) { return reinterpret_cast<char16_t*>(text); }

// An undecodable byte or unmappable character becomes '?'.
std::u16string Cp949ToUtf16(std::string_view cp949);
std::string Utf16ToCp949(std::u16string_view utf16);

// Length in bytes of the CP949 character starting at s[0] (1 or 2); 1 for an orphan
// lead byte at the end of the range.
size_t Cp949CharLength(std::string_view s);

}  // namespace plat
