// The player's options as Init reads them from the registry: a value that cannot be
// read is written back with its default, and a failed write keeps the default in use.
#include <algorithm>

#include "base/RegistryValues.h"
#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"

namespace scene_options {

constexpr const char* kVolume = "Option_Volume";
constexpr const char* kSpeed = "Option_Speed";
constexpr const char* kSoundEffect = "Option_SoundEffect";
constexpr const char* kVoice = "Option_Voice";
constexpr const char* kSkin = "Option_Skin";
constexpr int32_t kDefaultVolume = 0;
constexpr int32_t kDefaultSpeed = 1;
constexpr uint32_t kDefaultSoundEffect = 1;
constexpr uint32_t kDefaultSkin = 0;
constexpr uint32_t kLastSkin = 2;
constexpr int32_t kVoiceSets = 4;
constexpr const char* kMacroButton = "macro";

}  // namespace scene_options

int32_t CDorvik2VWS::ReadRegString(const std::string& subKey, const char* name, std::string& out) const {
  return registry_values::ReadText(registryBase_, subKey, name, out);
}

int32_t CDorvik2VWS::SaveRegString(const std::string& subKey, const char* name, const std::string& text) const {
  return registry_values::WriteText(registryBase_, subKey, name, text);
}

int32_t CDorvik2VWS::SaveRegDword(const std::string& subKey, const char* name, uint32_t value) const {
  return registry_values::WriteDword(registryBase_, subKey, name, value);
}

void CDorvik2VWS::ReadOptions() {
  namespace o = scene_options;
  const std::string sub = kOptionsSubKey;
  std::string text;
  if (!ReadRegString(sub, o::kVolume, text)) {
    text = FormatString("%d", o::kDefaultVolume);
    SaveRegString(sub, o::kVolume, text);
  }
  SetEffectVolume(plat::crt::atoi(text.c_str()));
  if (!ReadRegString(sub, o::kSpeed, text)) {
    text = FormatString("%d", o::kDefaultSpeed);
    SaveRegString(sub, o::kSpeed, text);
  }
  Option_Speed = plat::crt::atoi(text.c_str());

  uint32_t value = 0;
  if (!ReadRegistryValue(registryBase_, sub, o::kSoundEffect, &value)) {
    value = o::kDefaultSoundEffect;
    SaveRegDword(sub, o::kSoundEffect, value);
  }
  Option_SoundEffect = static_cast<int32_t>(value);
  model_.cannedPhrase = Option_SoundEffect;
  SetMacroButtonEnabled(model_.cannedPhrase);
  if (!ReadRegistryValue(registryBase_, sub, o::kVoice, &value)) {
    value = static_cast<uint32_t>(plat::crt::rand() % o::kVoiceSets);
    if (!SaveRegDword(sub, o::kVoice, value)) value = static_cast<uint32_t>(plat::crt::rand() % o::kVoiceSets);
  }
  model_.myVoiceSet = static_cast<int32_t>(value);
  if (!ReadRegistryValue(registryBase_, sub, o::kSkin, &value)) {
    value = o::kDefaultSkin;
    SaveRegDword(sub, o::kSkin, value);
  }
  Option_Skin = value <= o::kLastSkin ? static_cast<int32_t>(value) : 0;
}

void CDorvik2VWS::ApplySpeed() { cardTable_.SetSpeed(Option_Speed); }

void CDorvik2VWS::SetMacroButtonEnabled(int32_t enabled) {
  SetButtonState(scene_options::kMacroButton, enabled ? kButtonEnabled : kButtonDisabled);
}
