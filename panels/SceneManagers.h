// The scene's two managers: the promotion manager (event and banner state) and the
// VIP manager (VIP state, combination alerts, the helper popup). Until their own
// work they only note the calls the scene makes.
#pragma once

#include <cstdint>

#include "host/RoomRecords.h"
#include "panels/IPanelScene.h"

class GVWnd;

class CDorvik2PromotionMgr {
 public:
  explicit CDorvik2PromotionMgr(IPanelScene* scene) : scene_(scene) {}
  void Clear();
  void ShowAniBanner(int32_t show);
  // The banners and event animations on the table; 0 at the first that cannot be made.
  int32_t LoadPromotionAnimations() { return 1; }

 private:
  IPanelScene* scene_;
};

class CDorvik2VIPMgr {
 public:
  explicit CDorvik2VIPMgr(IPanelScene* scene) : scene_(scene) {}
  // The handler of the VIP-state message.
  void OnVipState(VipStateMsg& msg);
  // The combination-alert widgets on the table; 0 when one cannot be made.
  int32_t CreateWidgets() { return 1; }
  // The alert icons go directly above `ref` in the drawing order.
  void PlaceWidgetsAfter(GVWnd* /*ref*/) {}
  // The per-tick step of the combination alert.
  void Tick();
  void HideAlertIcons();
  void CloseHelpPopup();

 private:
  void Note(const char* call) const {
    if (scene_) scene_->RecordCall(call);
  }
  IPanelScene* scene_;
};
