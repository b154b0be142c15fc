// The mission panel: the game's mission with its cards, capture marks, multiplier and success.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVMissionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Reset();
};
