// The option panel: the player's volume, speed, effects, voice set and table cloth, and the room's options.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVUserOptionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // 1 while the panel is open.
  int32_t IsOpen() const { return IsVisible(); }
  void SetVolume(int32_t volume) { volume_ = volume; }
  // The card-speed choice from the saved speed.
  void SetSpeed(int32_t savedSpeed) { speed_ = savedSpeed; }
  // The stored choices the scene read from the registry.
  void SetStoredChoices(int32_t soundEffect, int32_t voice, int32_t skin) {
    soundEffect_ = soundEffect;
    voice_ = voice;
    skin_ = skin;
  }

 private:
  int32_t volume_ = 0;
  int32_t speed_ = 0;
  int32_t soundEffect_ = 1;
  int32_t voice_ = 0;
  int32_t skin_ = 0;
};
