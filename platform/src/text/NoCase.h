// Name comparisons that ignore ASCII case only, as Windows does for file, section,
// key and module names in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace plat::detail {

char FoldAscii(char c);
// For ASCII and UTF-8 text, whose multi-byte sequences never contain ASCII bytes.
bool EqualNoCaseAscii(std::string_view a, std::string_view b);
// For CP949 text: a double-byte character's trail byte may be an ASCII letter and is
// compared exactly, so two different Korean characters never compare equal.
bool EqualNoCaseCp949(std::string_view a, std::string_view b);
// Folds the ASCII letters of CP949 text, leaving double-byte characters alone.
std::string FoldCp949(std::string_view s);

}  // namespace plat::detail
