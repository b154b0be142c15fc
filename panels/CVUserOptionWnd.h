// The option panel: the player's volume, speed, effects, voice set and table cloth, and the room's options.
#pragma once

#include <array>
#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVPSPPushBtn;
class GVLightTextWnd;
class GVPSPWnd;
class GVQLAniWnd;
class GVQLSWnd;
class GVSlideWnd;

class CVUserOptionWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kSpeedChoices = 5;
  static constexpr int32_t kSpeedLabels = 2;
  static constexpr int32_t kVoiceChoices = 4;
  static constexpr int32_t kClothChoices = 3;
  static constexpr int32_t kRoomLines = 8;
  // The volume slider's range, in hundredths of a decibel; its bottom is silence.
  static constexpr int32_t kVolumeMin = -5000;
  static constexpr int32_t kVolumeMax = 0;

  using CVPanelWnd::CVPanelWnd;
  int32_t Create(IPanelScene* scene);
  // Only the visible children, and a child that fails does not stop the others.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // 1 while the panel is open.
  int32_t IsOpen() const { return IsVisible(); }
  // The slider follows the volume, and the sound-off mark shows at its bottom.
  void SetVolume(int32_t volume);
  // The card-speed choice from the saved speed (-3..1 give choices 0..4).
  void SetSpeed(int32_t savedSpeed);
  // The stored choices the scene read from the registry.
  void SetStoredChoices(int32_t soundEffect, int32_t voice, int32_t skin) {
    soundEffect_ = soundEffect;
    voice_ = voice;
    skin_ = skin;
  }
  void UpdateSoundOffMark();

  int32_t Volume() const { return volume_; }
  int32_t SpeedChoice() const { return speed_; }
  GVSlideWnd* VolumeSlider() const { return slider_; }
  GVQLSWnd* SoundOffMark() const { return soundOff_; }

 protected:
  void InitMembers() override;

 private:
  GVWnd* tracked_ = nullptr;
  GVQLSWnd* back_ = nullptr;
  GVQLSWnd* soundOff_ = nullptr;
  GVSlideWnd* slider_ = nullptr;
  std::array<GVPSPWnd*, kSpeedChoices> speedChoices_{};
  std::array<GVLightTextWnd*, kSpeedLabels> speedLabels_{};
  GVPSPWnd* soundCheck_ = nullptr;
  GVLightTextWnd* soundLabel_ = nullptr;
  std::array<GVPSPWnd*, kVoiceChoices> voiceChoices_{};
  std::array<GVLightTextWnd*, kVoiceChoices> voiceLabels_{};
  std::array<GVPSPWnd*, kClothChoices> clothChoices_{};
  std::array<GVLightTextWnd*, kClothChoices> clothLabels_{};
  GVQLAniWnd* roomAnimation_ = nullptr;
  std::array<GVLightTextWnd*, kRoomLines> roomLines_{};
  int32_t roomLineCount_ = 6;
  CVPSPPushBtn* okButton_ = nullptr;
  int32_t volume_ = 0;
  int32_t speed_ = 0;
  int32_t soundEffect_ = 1;
  int32_t voice_ = 0;
  int32_t skin_ = 0;
  int32_t voiceRow_ = 0;
};
