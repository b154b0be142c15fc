// The ranking-point panel: the points won in the last game and the ranking level,
// shown for a moment after each game.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class GVPSPWnd;
class PlayerInfo;
class GVQLSWnd;
class GVTextWnd;

class CVRankingPointWnd : public CVPanelWnd {
 public:
  using CVPanelWnd::CVPanelWnd;
  static constexpr uint32_t kShownMs = 1500;

  int32_t Create(IPanelScene* scene);
  // The points a seat's player won and its ranking level; an empty seat or no points
  // closes the panel.
  void ShowPoints(const PlayerInfo* player, int32_t points);
  // Hides the panel once it has shown long enough; 1 while it shows (and on the tick
  // that hides it).
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
