// The result panel: the headline, the money that moved and the score breakdown of a game.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVResultWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void Reset();
};
