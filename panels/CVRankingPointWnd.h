// The ranking-point panel.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVRankingPointWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Close();
};
