// The skinned pop-up's link to the game window, as far as a screen rebuild needs it.
// The pop-up itself comes with the panels' own work; until then the calls are kept
// so that a rebuild can be checked for re-gluing it.
#pragma once

#include <cstdint>
#include <vector>

#include "plat/types.h"

// Keeps the pop-up at its offset from `parent` when flag is 1 (a windowed rebuild
// passes 0 and leaves it). No pop-up exists yet: only the call is kept.
void FollowParentWindow(HWND parent, int32_t flag);

// Closes and frees the pop-up at the scene's teardown; nothing while none is open.
void DestroyPopupDialog();

namespace skinned_popup {
struct FollowCall {
  HWND parent;
  int32_t flag;
};
// Every FollowParentWindow call so far, oldest first.
const std::vector<FollowCall>& FollowCalls();
void ClearFollowCalls();
}  // namespace skinned_popup
