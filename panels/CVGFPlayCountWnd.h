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
  static constexpr int32_t kDailyGames = 300;
  static constexpr int32_t kLimitEvent = 36;  // the host shows its own limit notice
  static constexpr const char* kLimitNoticeCode = "1030";

  int32_t Create(IPanelScene* scene);
  // The games left of today's allowance (played < 0 is ignored); `membershipEnd` is
  // the allowance record's membership value: above 0 plays without a limit and shows
  // the member's button.
  void SetPlayCount(int32_t played, int64_t membershipEnd);
  // The alert, and near the end of a limited allowance the chat notice; with none left
  // the host's notice once until Close.
  void NotifyLimit(int32_t left);
  void Close();
  // 1 when the alert advanced.
  int32_t TickAnimation();
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  BOOL LimitNoticeSent() const { return limitNoticeSent_; }

  CVPSPPushBtn* InfoButton() const { return infoButton_; }
  GVDDSWnd* Gauge() const { return gauge_; }
  GVTextWnd* CountText() const { return countText_; }
  GVQLAniWnd* Alert() const { return alert_; }

 protected:
  void InitMembers() override;

 private:
  void OnInfoClick();

  GVWnd* tracked_ = nullptr;
  GVQLAniWnd* alert_ = nullptr;
  GVDDSWnd* gauge_ = nullptr;
  GVTextWnd* countText_ = nullptr;
  CVPSPPushBtn* infoButton_ = nullptr;
  int32_t limitNoticeSent_ = 0;
};
