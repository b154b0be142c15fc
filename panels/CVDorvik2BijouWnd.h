// The bijou reward panel: the reward counter with its cap and countdown.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVDorvik2BijouWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
};
