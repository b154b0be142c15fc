// The base of the panels that stand beside each seat: one instance per screen position
// (0 the lower side, 1 the upper), every child placed at the position's base point plus
// the child's offset for that position.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVSeatPanelWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kScreenPositions = 2;

  using CVPanelWnd::CVPanelWnd;
  int32_t ScreenPos() const { return screenPos_; }

 protected:
  void InitMembers() override {
    CVPanelWnd::InitMembers();
    screenPos_ = 0;
  }
  // The start of a Create: false for a position that has no row in the tables.
  bool BeginCreate(IPanelScene* scene, int32_t screenPos) {
    if (screenPos < 0 || screenPos >= kScreenPositions) return false;
    SetScene(scene);
    screenPos_ = screenPos;
    return true;
  }
  // The end of a Create: the seat panels take no input and start shown.
  void FinishCreate(GPoint base, GSize size) {
    SetRect(GRect(base, size));
    Show(1);
    Enable(0);
  }

 private:
  int32_t screenPos_ = 0;
};
