// The go-bak alert: how many goes the seat may still call before a go-bak.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVGoBakAlertUIWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void HideAll();
};
