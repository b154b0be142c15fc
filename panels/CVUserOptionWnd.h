// The option panel: the player's volume, speed, effects, voice set and table cloth, and the room's options.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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
  // Fills the choices and the room's first two lines and shows the panel: 1; 0 while
  // it is already open. The row picks the voice names (0 male, 1 female, else 2).
  int32_t Open(int32_t voiceRow);
  // Hides an open panel: 1; 0 when it was hidden.
  int32_t Close();
  // The room's option lines from the scene's room record.
  void SetRoomOptions();
  // The number after '=' in the first '|'-piece holding `key` (atoi's reading, 0 when
  // no piece holds it).
  static int32_t FindRoomOption(std::string options, std::string key);
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
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
  // What the scene applies on OK, and writes back when a save fails.
  int32_t SoundEffect() const { return soundEffect_; }
  int32_t Voice() const { return voice_; }
  int32_t Skin() const { return skin_; }
  void SetSoundEffect(int32_t on) { soundEffect_ = on; }
  void SetVoice(int32_t voice) { voice_ = voice; }
  void SetSkin(int32_t skin) { skin_ = skin; }
  void SetSpeedChoice(int32_t choice) { speed_ = choice; }
  int32_t RoomLineCount() const { return roomLineCount_; }

  int32_t Volume() const { return volume_; }
  int32_t SpeedChoice() const { return speed_; }
  GVSlideWnd* VolumeSlider() const { return slider_; }
  GVQLSWnd* SoundOffMark() const { return soundOff_; }
  GVPSPWnd* SpeedChoiceWnd(int32_t i) const { return speedChoices_.at(size_t(i)); }
  GVPSPWnd* SoundCheck() const { return soundCheck_; }
  GVPSPWnd* VoiceChoiceWnd(int32_t i) const { return voiceChoices_.at(size_t(i)); }
  GVLightTextWnd* VoiceLabel(int32_t i) const { return voiceLabels_.at(size_t(i)); }
  GVPSPWnd* ClothChoiceWnd(int32_t i) const { return clothChoices_.at(size_t(i)); }
  GVLightTextWnd* RoomLine(int32_t i) const { return roomLines_.at(size_t(i)); }
  CVPSPPushBtn* OkButton() const { return okButton_; }
  GVWnd* TrackedChild() const { return tracked_; }

 protected:
  void InitMembers() override;

 private:
  // The chosen frames of every choice from the stored values.
  void ShowChosenFrames();
  // A voice choice and its label show while the effects are on and the set has a name.
  void ShowVoiceChoices();
  // The index of `child` in `list` (a choice or, when given, its label), else -1.
  template <size_t N, class L>
  static int32_t IndexOf(const std::array<GVPSPWnd*, N>& list, const std::array<L*, N>* labels, GVWnd* child);

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
