// The option panel: the player's volume, speed, effects, voice set and table cloth, and the room's options.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVUserOptionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // 1 while the panel is open.
  int32_t IsOpen() const { return IsVisible(); }
};
