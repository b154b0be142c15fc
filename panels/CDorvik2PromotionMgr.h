// The promotion manager: the lottery event's state and the promotion pictures on the
// table (two static banners and four animations), which the scene's widget list owns.
#pragma once

#include <array>
#include <cstdint>

#include "panels/IPanelScene.h"

class GVPSPWnd;
class GVQLAniWnd;

class CDorvik2PromotionMgr {
 public:
  static constexpr int32_t kEventFlags = 3;

  explicit CDorvik2PromotionMgr(IPanelScene* scene) : scene_(scene) {}
  void Clear();
  void ShowAniBanner(int32_t show);
  // The banners and event animations on the table; 0 at the first that cannot be made
  // (the later ones are then not made).
  int32_t LoadPromotionAnimations();

  GVPSPWnd* StaticBannerA() const { return bannerA_; }
  GVPSPWnd* StaticBannerB() const { return bannerB_; }
  GVQLAniWnd* DefaultAniBanner() const { return defaultAniBanner_; }
  GVQLAniWnd* WinMoneyLimitAniBanner() const { return winMoneyLimitAniBanner_; }
  GVQLAniWnd* EventEffect() const { return eventEffect_; }
  GVQLAniWnd* EventMission() const { return eventMission_; }

 private:
  // Made, placed in the scene's drawing order (and its animation list), or null.
  GVPSPWnd* MakeBanner(const char* path);
  GVQLAniWnd* MakeAnimation(const char* path, GPoint at);

  IPanelScene* scene_;
  GVPSPWnd* bannerA_ = nullptr;
  GVQLAniWnd* defaultAniBanner_ = nullptr;
  int32_t bannerFlag_ = 0;
  GVQLAniWnd* winMoneyLimitAniBanner_ = nullptr;
  std::array<int32_t, kEventFlags> eventFlags_{};
  int32_t ticketLevel_ = 0;
  int32_t lastShownTicketLevel_ = 0;
  GVQLAniWnd* eventEffect_ = nullptr;
  GVQLAniWnd* eventMission_ = nullptr;
  GVPSPWnd* bannerB_ = nullptr;
};
