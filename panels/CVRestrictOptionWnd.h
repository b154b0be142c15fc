// The anti-leave panel: how many games remain before a player may leave the room.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class GVQLSWnd;
class GVTextWnd;

class CVRestrictOptionWnd : public CVPanelWnd {
 public:
  using CVPanelWnd::CVPanelWnd;
  int32_t Create(IPanelScene* scene);
  void Close();

  GVQLSWnd* Back() const { return back_; }
  GVTextWnd* Caption() const { return caption_; }

 protected:
  void InitMembers() override;

 private:
  GVQLSWnd* back_ = nullptr;
  GVTextWnd* caption_ = nullptr;
};
