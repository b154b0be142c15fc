// What the VIP helper popup asks of the scene beyond its forwarders.
#include "scene/CDorvik2VWS.h"

namespace scene_helper_popup {

constexpr const char* kVipButton = "vip";

}  // namespace scene_helper_popup

void CDorvik2VWS::ShowVipButton() {
  SetButtonState(scene_helper_popup::kVipButton, kButtonEnabled);
  PlayEffect(IPanelScene::kEffectClick, 0);
}
