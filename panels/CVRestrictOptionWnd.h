// The anti-leave panel: the anti-leave state of the room.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVRestrictOptionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void Close();
};
