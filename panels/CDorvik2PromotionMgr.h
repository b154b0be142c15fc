// The promotion manager: the lottery event's state and the promotion pictures on the
// table (two static banners and four animations), which the scene's widget list owns.
#pragma once

#include <array>
#include <cstdint>

#include "panels/IPanelScene.h"

class GVPSPWnd;
class GVQLAniWnd;
class RCUser;
struct RoomEnterMsg;
struct SettlementMsg;

class CDorvik2PromotionMgr {
 public:
  static constexpr int32_t kEventFlags = 3;
  static constexpr int32_t kTopTicketLevel = 4;

  explicit CDorvik2PromotionMgr(IPanelScene* scene) : scene_(scene) {}
  virtual ~CDorvik2PromotionMgr() = default;
  // Forgets every picture and all event state; the scene calls it when its widget
  // list has deleted the pictures.
  void Clear();
  // The banners and event animations on the table; 0 at the first that cannot be made
  // (the later ones are then not made).
  int32_t LoadPromotionAnimations();

  // Everything hidden, and the room's event flags and ticket level taken; the
  // room-entry handler then turns the banner flag on.
  void OnRoomEntry(const RoomEnterMsg& room);
  void SetBannerFlag(int32_t flag) { bannerFlag_ = flag; }
  // The join notice while the event runs, else the move-to-channel notice.
  void ShowEventNotice(int32_t unused);
  // Hides both static banners; shows one at random when asked and the flag is on.
  void ShowBanner(int32_t show);
  // Stops the animated banners; shows the win-money-limit banner (half the time in
  // room states 5..10) or the mission banner when asked.
  void ShowAniBanner(int32_t show);
  int32_t IsBannerVisible() const;
  int32_t IsBannerOn() const { return bannerFlag_ > 0 ? 1 : 0; }
  void SetTicketLevel(const RCUser& player);
  // After a game of mine against a person: the ticket-won effect and notice when the
  // event runs and the level rose to 1..3.
  void OnGameResult(const SettlementMsg& settlement, const RCUser& user, int32_t seat);
  void HideAll();
  // Stops the promotion start sound; 0, so the caller plays its default start.
  int32_t PlayPromotionStart(int32_t unused1, int32_t unused2);

  GVPSPWnd* StaticBannerA() const { return bannerA_; }
  GVPSPWnd* StaticBannerB() const { return bannerB_; }
  GVQLAniWnd* DefaultAniBanner() const { return defaultAniBanner_; }
  GVQLAniWnd* WinMoneyLimitAniBanner() const { return winMoneyLimitAniBanner_; }
  GVQLAniWnd* EventEffect() const { return eventEffect_; }
  GVQLAniWnd* EventMission() const { return eventMission_; }
  int32_t TicketLevel() const { return ticketLevel_; }
  int32_t LastShownTicketLevel() const { return lastShownTicketLevel_; }
  bool EventRuns() const;

 private:
  // Made, placed in the scene's drawing order (and its animation list), or null.
  GVPSPWnd* MakeBanner(const char* path);
  GVQLAniWnd* MakeAnimation(const char* path, GPoint at);
  void HideBanners();
  void StopAnimations();

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
