// Dialog template 101, the plain form of the bitmap message box: the module registers
// it at load time under its own handle.
#pragma once

#include "plat/user.h"

namespace msgbox_template {

constexpr int kTemplateId = 101;
constexpr int kOkButtonId = IDOK;
constexpr int kNoButtonId = IDCANCEL;

// Registers the template under `module` (null: the program the code is linked into).
bool Register(HMODULE module);

}  // namespace msgbox_template
