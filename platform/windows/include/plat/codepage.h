// Code pages: the system's conversions, and the module's CP949 helpers over them.
#pragma once

#include "plat/utf16.h"
#include "plat/win32.h"

namespace plat {

// UTF-8 beside the module's code pages, as the headless side offers it for the tools;
// an undecodable byte or unmappable character becomes U+FFFD or '?'.
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Cp949ToUtf8(std::string_view cp949);
std::string Utf8ToCp949(std::string_view utf8);

}  // namespace plat
