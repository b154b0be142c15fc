// The per-seat panels of the table: the user-info panel, the score panel and the two
// icon strips. Until their own work they only note the calls the scene makes.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVUserInfoWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // One step of the seat's animation: 1 when something changed.
  int32_t TickAnimation();
  void ResetSeat();
};

class CVJumsuInfoWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // One blink step: 1 when something changed.
  int32_t TickBlink();
  void ResetScore();
};

class CVHTIconWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void ResetIcons();
};

class CVBakIconWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void ResetIcons();
};
