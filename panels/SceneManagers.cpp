#include "panels/SceneManagers.h"

void CDorvik2PromotionMgr::Clear() {
  if (scene_) scene_->RecordCall("CDorvik2PromotionMgr::Clear");
}
void CDorvik2PromotionMgr::ShowAniBanner(int32_t) {
  if (scene_) scene_->RecordCall("CDorvik2PromotionMgr::ShowAniBanner");
}

void CDorvik2VIPMgr::OnVipState(VipStateMsg&) { Note("CDorvik2VIPMgr::OnVipState"); }
// Runs every 50 ms: too frequent for the record.
void CDorvik2VIPMgr::Tick() {}
void CDorvik2VIPMgr::HideAlertIcons() { Note("CDorvik2VIPMgr::HideAlertIcons"); }
void CDorvik2VIPMgr::CloseHelpPopup() { Note("CDorvik2VIPMgr::CloseHelpPopup"); }
