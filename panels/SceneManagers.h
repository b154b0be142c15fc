// The scene's two managers: the promotion manager (event and banner state) and the
// VIP manager (VIP state, combination alerts, the helper popup). Until their own
// work they only note the calls the scene makes.
#pragma once

#include <cstdint>

#include "host/RoomRecords.h"
#include "panels/IPanelScene.h"

class CDorvik2PromotionMgr {
 public:
  explicit CDorvik2PromotionMgr(IPanelScene* scene) : scene_(scene) {}
  void Clear();
  void ShowAniBanner(int32_t show);

 private:
  IPanelScene* scene_;
};

class CDorvik2VIPMgr {
 public:
  explicit CDorvik2VIPMgr(IPanelScene* scene) : scene_(scene) {}
  // The handler of the VIP-state message.
  void OnVipState(VipStateMsg& msg);
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
