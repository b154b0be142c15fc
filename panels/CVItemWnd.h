// The item panel: items reserved from the result panel with their prices.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVItemWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
};
