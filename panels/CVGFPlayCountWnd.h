// The daily play-count panel.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVGFPlayCountWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Reset();
};
