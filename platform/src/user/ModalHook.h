// The test's view into modal loops: a callback run each time a dialog's modal loop
// is about to wait for a message.
#pragma once

#include "plat/types.h"

namespace plat::detail::user {

// Runs the hook (if any) for `dialog`; the hook may open further modal dialogs.
void RunModalHook(HWND dialog);
void ClearModalHook();

}  // namespace plat::detail::user
