// The table's shared panels: the decision prompt, mission, play-count, ranking-point,
// reward, result, go/bak alert, anti-leave caption and option panels. Until their own
// work they only note the calls the scene makes, and their per-tick steps report no
// change.
#pragma once

#include <cstdint>

#include "panels/PanelStub.h"

class CVNotifyWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Close();
};

class CVMissionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Reset();
};

class CVGFPlayCountWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Reset();
};

class CVRankingPointWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
  void Close();
};

class CVDorvik2BijouWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  int32_t Tick();
};

class CVResultWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void Reset();
};

class CVGoBakAlertUIWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void HideAll();
};

class CVRestrictOptionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  void Close();
};

class CVUserOptionWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // 1 while the panel is open.
  int32_t IsOpen() const { return IsVisible(); }
};
