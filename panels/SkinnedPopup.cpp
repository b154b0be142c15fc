// The pop-up's follow call without a pop-up: the arguments are kept.
#include "panels/SkinnedPopup.h"

namespace {
// Touched on the window thread only.
std::vector<skinned_popup::FollowCall>& PopupFollowCalls() {
  static auto* calls = new std::vector<skinned_popup::FollowCall>;
  return *calls;
}
}  // namespace

void FollowParentWindow(HWND parent, int32_t flag) { PopupFollowCalls().push_back({parent, flag}); }

const std::vector<skinned_popup::FollowCall>& skinned_popup::FollowCalls() { return PopupFollowCalls(); }
void skinned_popup::ClearFollowCalls() { PopupFollowCalls().clear(); }
// No pop-up is ever made yet, so there is nothing to close.
void DestroyPopupDialog() {}
