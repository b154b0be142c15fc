// The decision prompt panel: the questions and notices of a turn with their texts, buttons and cards.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVNotifyWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Close();
};
