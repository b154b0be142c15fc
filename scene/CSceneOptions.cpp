// The options' registry values and their defaults.
#include "scene/CSceneOptions.h"

#include "base/RegistryValues.h"
#include "base/TextUtil.h"
#include "plat/crt.h"
#include "tables/VocabularyTables.h"

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
// The speed value -1 is normal; below it slow levels, from 0 up fast levels.
constexpr int32_t kNormalSpeed = -1;

// The summary's fixed runs, with the chat's style tags between them.
constexpr const char* kSummaryHead = "게임옵션 : `1111`패속도(`0010`";
constexpr const char* kSummaryVoice = "`0011`), 목소리(`0010`";
constexpr const char* kSummarySkin = "`0011`), 배경화면(`0010`";
constexpr const char* kSummaryTail = "`0011`)`0010`";
constexpr const char* kClassicVoice = "클래식";
constexpr const char* kFastFormat = "빠름%I64i";
constexpr const char* kNormalText = "보통";
constexpr const char* kSlowFormat = "느림%I64i";

}  // namespace scene_options

void CSceneOptions::SetRegistryBase(const std::string& company, const std::string& domain) {
  company_ = company;
  domain_ = domain;
  registryBase_ = company + "\\" + domain;
}

int32_t CSceneOptions::ReadRegString(const std::string& subKey, const char* name, std::string& out) const {
  return registry_values::ReadText(registryBase_, subKey, name, out);
}

int32_t CSceneOptions::SaveRegString(const std::string& subKey, const char* name, const std::string& text) const {
  return registry_values::WriteText(registryBase_, subKey, name, text);
}

int32_t CSceneOptions::SaveRegDword(const std::string& subKey, const char* name, uint32_t value) const {
  return registry_values::WriteDword(registryBase_, subKey, name, value);
}

int32_t CSceneOptions::ReadRegDword(const std::string& subKey, const char* name, uint32_t* out) const {
  return ReadRegistryValue(registryBase_, subKey, name, out);
}

std::string CSceneOptions::PortalPageAddress(const std::string& page) const {
  return "http://" + domain_ + "/" + page;
}

CSceneOptions::Handed CSceneOptions::Read() {
  namespace o = scene_options;
  const std::string sub = kSubKey;
  Handed handed;
  std::string text;
  if (!ReadRegString(sub, o::kVolume, text)) {
    text = FormatString("%d", o::kDefaultVolume);
    SaveRegString(sub, o::kVolume, text);
  }
  handed.volume = plat::crt::atoi(text.c_str());
  if (!ReadRegString(sub, o::kSpeed, text)) {
    text = FormatString("%d", o::kDefaultSpeed);
    SaveRegString(sub, o::kSpeed, text);
  }
  speed = plat::crt::atoi(text.c_str());

  uint32_t value = 0;
  if (!ReadRegistryValue(registryBase_, sub, o::kSoundEffect, &value)) {
    value = o::kDefaultSoundEffect;
    SaveRegDword(sub, o::kSoundEffect, value);
  }
  soundEffect = static_cast<int32_t>(value);
  if (!ReadRegistryValue(registryBase_, sub, o::kVoice, &value)) {
    value = static_cast<uint32_t>(plat::crt::rand() % kVoiceSetCount);
    if (!SaveRegDword(sub, o::kVoice, value)) value = static_cast<uint32_t>(plat::crt::rand() % kVoiceSetCount);
  }
  handed.voiceSet = static_cast<int32_t>(value);
  if (!ReadRegistryValue(registryBase_, sub, o::kSkin, &value)) {
    value = o::kDefaultSkin;
    SaveRegDword(sub, o::kSkin, value);
  }
  skin = value <= o::kLastSkin ? static_cast<int32_t>(value) : 0;
  return handed;
}

int32_t CSceneOptions::SaveVolume(int32_t volume) const {
  return SaveRegString(kSubKey, scene_options::kVolume, FormatString("%ld", volume));
}

int32_t CSceneOptions::SaveSpeed(int32_t speedValue) const {
  return SaveRegString(kSubKey, scene_options::kSpeed, FormatString("%ld", speedValue));
}

int32_t CSceneOptions::SaveSoundEffect(int32_t on) const {
  return SaveRegDword(kSubKey, scene_options::kSoundEffect, on ? 1u : 0u);
}

int32_t CSceneOptions::SaveVoice(int32_t voiceSet) const {
  return SaveRegDword(kSubKey, scene_options::kVoice, static_cast<uint32_t>(voiceSet));
}

int32_t CSceneOptions::SaveSkin(int32_t skinValue) const {
  return SaveRegDword(kSubKey, scene_options::kSkin, static_cast<uint32_t>(skinValue));
}

std::string CSceneOptions::SpeedText(int32_t speedValue) {
  namespace o = scene_options;
  const int64_t n = speedValue;
  if (n > o::kNormalSpeed) return FormatString(o::kFastFormat, n + 1);
  if (n == o::kNormalSpeed) return o::kNormalText;
  return FormatString(o::kSlowFormat, -n - 1);
}

std::string CSceneOptions::SummaryText(int32_t gender, int32_t voiceSet) const {
  namespace o = scene_options;
  std::string text = o::kSummaryHead;
  text += SpeedText(speed);
  text += o::kSummaryVoice;
  text += soundEffect ? GetVoiceCharacterName(gender, voiceSet) : o::kClassicVoice;
  text += o::kSummarySkin;
  text += GetTableColourName(skin);
  text += o::kSummaryTail;
  return text;
}
