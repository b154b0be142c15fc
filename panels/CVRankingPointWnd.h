// The ranking-point panel: the points won in the last game and the ranking level,
// shown for a moment after each game.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class GVPSPWnd;
class GVQLSWnd;
class GVTextWnd;

class CVRankingPointWnd : public CVPanelWnd {
 public:
  using CVPanelWnd::CVPanelWnd;
  int32_t Create(IPanelScene* scene);
  int32_t Tick();
  void Close();

  GVQLSWnd* Back() const { return back_; }
  GVPSPWnd* Level() const { return level_; }
  GVTextWnd* PointsText() const { return pointsText_; }

 protected:
  void InitMembers() override;

 private:
  GVPSPWnd* level_ = nullptr;
  GVQLSWnd* back_ = nullptr;
  GVTextWnd* pointsText_ = nullptr;
  uint32_t shownSince_ = 0;
};
