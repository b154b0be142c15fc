// The player's options in the registry, under HKEY_CURRENT_USER
// "Software\<company>\<domain>\14": read once at Init, and a value that cannot be read
// is written back with its default. Built and tested without a scene.
#pragma once

#include <cstdint>
#include <string>

class CSceneOptions {
 public:
  static constexpr const char* kSubKey = "14";

  // What the read hands to the parts that keep it: the effect volume as stored (the
  // sound cues clamp it) and this client's voice set.
  struct Handed {
    int32_t volume = 0;
    int32_t voiceSet = 0;
  };

  // The key "<company>\<domain>" the options live under.
  void SetRegistryBase(const std::string& company, const std::string& domain);
  const std::string& Company() const { return company_; }
  const std::string& RegistryBasePath() const { return registryBase_; }
  // The portal's domain: what follows the company in the base.
  std::string Domain() const {
    return registryBase_.size() > company_.size() ? registryBase_.substr(company_.size() + 1) : std::string();
  }

  // Under the base's `subKey`; 1 on success.
  int32_t ReadRegString(const std::string& subKey, const char* name, std::string& out) const;
  int32_t SaveRegString(const std::string& subKey, const char* name, const std::string& text) const;
  int32_t SaveRegDword(const std::string& subKey, const char* name, uint32_t value) const;

  // ---- The VIP helper popup's stored switch and the portal's web pages ----
  // A 4-byte REG_DWORD under the base's `subKey`; 1 when read.
  int32_t ReadRegDword(const std::string& subKey, const char* name, uint32_t* out) const;
  // "http://<domain>/<page>": the portal's pages live on the host the domain names.
  std::string PortalPageAddress(const std::string& page) const;

  // Reads the five options, writing back the default of any that cannot be read; a
  // failed write of the voice set draws it again. Keeps the speed, the skin (0 outside
  // 0..2) and the sound-effect switch.
  Handed Read();

  // Each writes one option back; 1 on success. On failure the caller keeps the value
  // in force, so what plays always matches what is stored.
  int32_t SaveVolume(int32_t volume) const;
  int32_t SaveSpeed(int32_t speedValue) const;
  int32_t SaveSoundEffect(int32_t on) const;
  int32_t SaveVoice(int32_t voiceSet) const;
  int32_t SaveSkin(int32_t skinValue) const;

  // The speed in words: "빠름n" (n >= 1), "보통", "느림n"; the levels are counted in
  // 64 bits so a stored extreme cannot wrap.
  static std::string SpeedText(int32_t speedValue);
  // The chat line of the options in force; `gender` picks the voice names' row.
  std::string SummaryText(int32_t gender, int32_t voiceSet) const;

  int32_t speed = 0;
  int32_t skin = 0;
  int32_t soundEffect = 1;  // 0 silences voice lines (effects keep playing)

 private:
  std::string company_;
  std::string registryBase_;
  std::string domain_;
};
