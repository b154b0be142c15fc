// The daily play-count panel: the games left as a number and a bar, the info button
// (set 1 with a membership) and the alert near the end of the allowance.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVPSPPushBtn;
class GVDDSWnd;
class GVQLAniWnd;
class GVTextWnd;

class CVGFPlayCountWnd : public CVPanelWnd {
 public:
  using CVPanelWnd::CVPanelWnd;
  int32_t Create(IPanelScene* scene);
  int32_t Tick();
  void Reset();

  CVPSPPushBtn* InfoButton() const { return infoButton_; }
  GVDDSWnd* Gauge() const { return gauge_; }
  GVTextWnd* CountText() const { return countText_; }
  GVQLAniWnd* Alert() const { return alert_; }

 protected:
  void InitMembers() override;

 private:
  GVWnd* tracked_ = nullptr;
  GVQLAniWnd* alert_ = nullptr;
  GVDDSWnd* gauge_ = nullptr;
  GVTextWnd* countText_ = nullptr;
  CVPSPPushBtn* infoButton_ = nullptr;
  int32_t limitNoticeSent_ = 0;
};
