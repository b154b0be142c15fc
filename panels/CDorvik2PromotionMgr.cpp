// The promotion manager's pictures on the table.
#include "panels/CDorvik2PromotionMgr.h"

#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace promotion {

constexpr GPoint kStaticBannerPoint(1, 519);
constexpr GPoint kAniBannerPoint(0, 0);
constexpr GPoint kEventEffectPoint(0, 400);
constexpr GPoint kEventMissionPoint(0, 0);

}  // namespace promotion

void CDorvik2PromotionMgr::Clear() {
  if (scene_) TraceCall(scene_->Trace(), "CDorvik2PromotionMgr::Clear");
}
void CDorvik2PromotionMgr::ShowAniBanner(int32_t) {
  if (scene_) TraceCall(scene_->Trace(), "CDorvik2PromotionMgr::ShowAniBanner");
}

GVPSPWnd* CDorvik2PromotionMgr::MakeBanner(const char* path) {
  // Hidden until a room's event data lets ShowBanner pick one of the two.
  GVPSPWnd* banner = scene_->CreatePSPWnd(path, promotion::kStaticBannerPoint, 0);
  if (banner) scene_->AddSceneWnd(banner);
  return banner;
}

GVQLAniWnd* CDorvik2PromotionMgr::MakeAnimation(const char* path, GPoint at) {
  GVQLAniWnd* animation = scene_->CreateQLAniWnd(path, at);
  if (!animation) return nullptr;
  scene_->AddSceneWnd(animation);
  scene_->AddAnimation(animation);
  return animation;
}

int32_t CDorvik2PromotionMgr::LoadPromotionAnimations() {
  using namespace promotion;
  if (!scene_) return 0;
  const bool made = (bannerA_ = MakeBanner(PromotionStaticBannerAPath)) &&
                    (defaultAniBanner_ = MakeAnimation(PromotionDefaultAniBannerPath, kAniBannerPoint)) &&
                    (winMoneyLimitAniBanner_ = MakeAnimation(PromotionWinMoneyLimitAniBannerPath, kAniBannerPoint)) &&
                    (eventEffect_ = MakeAnimation(PromotionEventEffectAnimPath, kEventEffectPoint)) &&
                    (eventMission_ = MakeAnimation(PromotionEventMissionAnimPath, kEventMissionPoint)) &&
                    (bannerB_ = MakeBanner(PromotionStaticBannerBPath));
  return made ? 1 : 0;
}
