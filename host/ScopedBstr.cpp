// BSTRs made from the module's CP949 texts.
#include "host/ScopedBstr.h"

#include <string>

#include "base/TextUtil.h"
#include "plat/codepage.h"

ScopedBstr ScopedBstr::FromMultiByte(std::string_view text) {
  const std::u16string wide = MultiByteToWide(text);
  return ScopedBstr(SysAllocStringLen(plat::AsWide(wide.data()), static_cast<UINT>(wide.size())));
}
