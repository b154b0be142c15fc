// The anti-leave panel: how many games remain before a player may leave the room.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class GVQLSWnd;
class GVTextWnd;

class CVRestrictOptionWnd : public CVPanelWnd {
 public:
  using CVPanelWnd::CVPanelWnd;
  static constexpr int32_t kFirstAntiLeaveState = 8;
  static constexpr int32_t kLastAntiLeaveState = 10;
  static constexpr int32_t kMaxAntiLeaveLevel = 3;

  int32_t Create(IPanelScene* scene);
  // The games left before a player may leave, or that the rule is lifted; 1 when the
  // caption was filled, 0 when outside an anti-leave room the panel closed.
  int32_t Update(BOOL show, BOOL countDown);
  void Close();

  GVQLSWnd* Back() const { return back_; }
  GVTextWnd* Caption() const { return caption_; }

 protected:
  void InitMembers() override;

 private:
  GVQLSWnd* back_ = nullptr;
  GVTextWnd* caption_ = nullptr;
};
