// The scene's side of the stored options: Init hands what was read to the parts that
// keep it, and the speed sets the card moves' step counts.
#include <algorithm>

#include "scene/CDorvik2VWS.h"

namespace scene_options {

constexpr const char* kMacroButton = "macro";

}  // namespace scene_options

void CDorvik2VWS::ReadOptions() {
  const CSceneOptions::Handed handed = options_.Read();
  SetEffectVolume(handed.volume);
  model_.cannedPhrase = options_.soundEffect;
  SetMacroButtonEnabled(model_.cannedPhrase);
  model_.myVoiceSet = handed.voiceSet;
}

void CDorvik2VWS::ApplySpeed() { cardTable_.SetSpeed(options_.speed); }

void CDorvik2VWS::SetMacroButtonEnabled(int32_t enabled) {
  SetButtonState(scene_options::kMacroButton, enabled ? kButtonEnabled : kButtonDisabled);
}
