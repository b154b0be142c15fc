// The scene's side of the stored options: Init hands what was read to the parts that
// keep it, and the speed sets the card moves' step counts.
#include <algorithm>

#include "scene/CDorvik2VWS.h"

namespace scene_options {

constexpr int32_t kFastestSpeed = 3;
constexpr int32_t kSlowestSpeed = -3;
constexpr int32_t kStepsPerSpeedLevel = 2;
constexpr int32_t kFewestSteps = 1;
constexpr const char* kMacroButton = "macro";

}  // namespace scene_options

void CDorvik2VWS::ReadOptions() {
  const CSceneOptions::Handed handed = options_.Read();
  SetEffectVolume(handed.volume);
  model_.cannedPhrase = options_.soundEffect;
  SetMacroButtonEnabled(model_.cannedPhrase);
  model_.myVoiceSet = handed.voiceSet;
}

void CDorvik2VWS::ApplySpeed() {
  namespace o = scene_options;
  const int32_t s = std::clamp(SpeedValue(), o::kSlowestSpeed, o::kFastestSpeed);
  // Each level faster takes two steps off the normal three, each level slower adds two.
  const int32_t steps = std::max(kDefaultAnimSteps - o::kStepsPerSpeedLevel * s, o::kFewestSteps);
  animSteps_.fill(steps);
}

void CDorvik2VWS::SetMacroButtonEnabled(int32_t enabled) {
  SetButtonState(scene_options::kMacroButton, enabled ? kButtonEnabled : kButtonDisabled);
}
