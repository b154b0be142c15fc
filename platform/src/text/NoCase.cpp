#include "text/NoCase.h"

#include "plat/codepage.h"

namespace plat::detail {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

std::string FoldCp949(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t n = plat::Cp949CharLength(std::string_view(out).substr(i));
    if (n == 1) out[i] = FoldAscii(out[i]);
    i += n;
  }
  return out;
}

bool EqualNoCaseCp949(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldCp949(a) == FoldCp949(b);
}

}  // namespace plat::detail
