// The scene's side of the stored options: Init hands what was read to the parts that
// keep it, the speed sets the card moves' step counts, and the option panel's OK saves
// and applies the choices.
#include <algorithm>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/SceneBuildTable.h"

namespace scene_options {

constexpr const char* kMacroButton = "macro";
constexpr const char* kOptionButton = "option";
constexpr int32_t kConfirmEffect = scene_effects::kClick;
// The voice set travels to the server as option field 0.
constexpr int32_t kVoiceOptionField = 0;
constexpr int32_t kSpeedChoiceShift = 3;

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
  SetButtonState(scene_options::kMacroButton, 1, enabled ? 1 : 0);
}

void CDorvik2VWS::ApplyUserOptions() {
  namespace o = scene_options;
  CVUserOptionWnd* panel = WidgetsLive() ? built_.widgets.optionPanel : nullptr;
  if (!panel || !panel->Close()) return;
  bool changed = false;
  // Through the clamp, as the slider's release already applied it: what is stored is
  // what plays.
  if (options_.SaveVolume(panel->Volume())) SetEffectVolume(panel->Volume());
  panel->SetVolume(EffectVolume());

  const int32_t speed = panel->SpeedChoice() - o::kSpeedChoiceShift;
  if (speed != options_.speed) {
    if (options_.SaveSpeed(speed)) options_.speed = speed;
    panel->SetSpeed(options_.speed);
    ApplySpeed();
    changed = true;
  }

  const int32_t sound = panel->SoundEffect() ? 1 : 0;
  if (sound != (options_.soundEffect ? 1 : 0)) {
    if (options_.SaveSoundEffect(sound)) options_.soundEffect = sound;
    panel->SetSoundEffect(options_.soundEffect);
    changed = true;
    if (!options_.soundEffect) {
      model_.cannedPhrase = 0;
      SetMacroButtonEnabled(0);
    } else if (!HasMutedUsers()) {
      model_.cannedPhrase = options_.soundEffect;
      SetMacroButtonEnabled(options_.soundEffect);
    }
  }

  const int32_t voice = panel->Voice();
  if (voice != model_.myVoiceSet) {
    if (options_.SaveVoice(voice)) {
      model_.myVoiceSet = voice;
      SendOptionChange(o::kVoiceOptionField, voice);
    }
    panel->SetVoice(model_.myVoiceSet);
    changed = true;
  }

  const int32_t skin = panel->Skin();
  if (skin != options_.skin) {
    if (SetSkinBackground(skin, 1)) {
      if (options_.SaveSkin(skin))
        options_.skin = skin;
      else
        SetSkinBackground(options_.skin, 1);  // the cloth shown stays the one stored
    }
    panel->SetSkin(options_.skin);
    changed = true;
  }

  SetButtonState(o::kOptionButton, 1, 1);
  PlayEffect(o::kConfirmEffect, 0);
  if (changed) OptionsSummaryText();
  MarkDirty();
}

int32_t CDorvik2VWS::SetSkinBackground(int32_t skin, int32_t reload) {
  SceneWidgets& w = built_.widgets;
  if (reload) {
    GVDDSWnd* made = CreateDDSWnd(FormatString(scene_build::kBackgroundFormat, skin), scene_build::kOrigin, 0, 1, 1, 1);
    if (!made) return 0;
    if (w.background) DestroyWnd(w.background);
    w.background = made;
    AddWndAtBottom(made);
  }
  for (int32_t side = 0; side < kSeats; ++side) {
    const auto i = static_cast<size_t>(side);
    if (w.scorePanels[i]) w.scorePanels[i]->SetBackWnd(skin);
    if (w.cardIcons[i]) w.cardIcons[i]->SetBackWnd(skin);
  }
  if (w.optionPanel) w.optionPanel->SetSkin(skin);
  SetFullRedraw();
  MarkDirty();
  return 1;
}

void CDorvik2VWS::OptionsSummaryText() {
  HostLink().ShowMarkupText(options_.SummaryText(model_.myUser.gender, model_.myVoiceSet).c_str());
}
