// The promotion manager's pictures on the table and the lottery event's notices.
#include "panels/CDorvik2PromotionMgr.h"

#include "game/CGameModel.h"
#include "host/CHostLink.h"
#include "host/EntryRecords.h"
#include "host/RCUser.h"
#include "host/ResultRecords.h"
#include "plat/crt.h"
#include "tables/NoticeTexts.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace promotion {

constexpr GPoint kStaticBannerPoint(1, 519);
constexpr GPoint kAniBannerPoint(0, 0);
constexpr GPoint kEventEffectPoint(0, 400);
constexpr GPoint kEventMissionPoint(0, 0);
// The room states in which the win-money-limit banner may replace the mission banner.
constexpr int32_t kMoneyLimitStateFirst = 5;
constexpr int32_t kMoneyLimitStateLast = 10;
constexpr int32_t kPlayForever = -1;
constexpr int32_t kPromotionStartEffect = 6;
constexpr int32_t kSeats = 2;

void Hide(GVPSPWnd* banner) {
  if (banner) banner->Show(0);
}
void StopAni(GVQLAniWnd* animation) {
  if (animation) animation->Stop();
}
void PlayAni(GVQLAniWnd* animation) {
  if (animation) animation->Play(kPlayForever, 0);
}
bool IsOdd(int value) { return value % 2 != 0; }

}  // namespace promotion

void CDorvik2PromotionMgr::Clear() {
  bannerA_ = bannerB_ = nullptr;
  defaultAniBanner_ = winMoneyLimitAniBanner_ = eventEffect_ = eventMission_ = nullptr;
  bannerFlag_ = 0;
  eventFlags_ = {};
  ticketLevel_ = lastShownTicketLevel_ = 0;
}

bool CDorvik2PromotionMgr::EventRuns() const {
  for (int32_t flag : eventFlags_)
    if (flag == 0) return false;
  return true;
}

void CDorvik2PromotionMgr::HideBanners() {
  promotion::Hide(bannerA_);
  promotion::Hide(bannerB_);
}

void CDorvik2PromotionMgr::StopAnimations() {
  for (GVQLAniWnd* animation : {defaultAniBanner_, winMoneyLimitAniBanner_, eventEffect_, eventMission_})
    promotion::StopAni(animation);
}

void CDorvik2PromotionMgr::OnRoomEntry(const RoomEnterMsg& room) {
  // Banner B may be the one ShowBanner left up.
  HideBanners();
  StopAnimations();
  for (size_t i = 0; i < eventFlags_.size(); ++i) eventFlags_[i] = room.promoFlags.at(i);
  ticketLevel_ = lastShownTicketLevel_ = room.promoTicketLevel;
}

void CDorvik2PromotionMgr::ShowEventNotice(int32_t) {
  if (scene_) scene_->HostLink().ShowMarkupText(EventRuns() ? PromotionJoinNotice : PromotionMoveToChannelNotice);
}

void CDorvik2PromotionMgr::ShowBanner(int32_t show) {
  HideBanners();
  if (!show || !bannerFlag_) return;
  GVPSPWnd* banner = promotion::IsOdd(plat::crt::rand()) ? bannerB_ : bannerA_;
  if (banner) banner->Show(1);
}

void CDorvik2PromotionMgr::ShowAniBanner(int32_t show) {
  using namespace promotion;
  // The win-money-limit banner too: left looping it would run on across games over
  // the mission banner's place.
  StopAni(defaultAniBanner_);
  StopAni(eventMission_);
  StopAni(winMoneyLimitAniBanner_);
  if (!show || !scene_) return;
  const int32_t state = scene_->Model().room.roomState;
  const bool moneyLimitRoom = state >= kMoneyLimitStateFirst && state <= kMoneyLimitStateLast;
  PlayAni(moneyLimitRoom && IsOdd(plat::crt::rand()) ? winMoneyLimitAniBanner_ : eventMission_);
}

int32_t CDorvik2PromotionMgr::IsBannerVisible() const {
  return (bannerA_ && bannerA_->IsVisible()) || (bannerB_ && bannerB_->IsVisible()) ? 1 : 0;
}

void CDorvik2PromotionMgr::SetTicketLevel(const RCUser& player) {
  ticketLevel_ = lastShownTicketLevel_ = player.promoTicketLevel;
}

void CDorvik2PromotionMgr::OnGameResult(const SettlementMsg& settlement, const RCUser& user, int32_t seat) {
  if (!scene_ || seat < 0 || seat >= promotion::kSeats) return;
  for (int32_t s = 0; s < promotion::kSeats; ++s)
    if (scene_->IsRobotSeat(s)) return;
  if (user.userNo != scene_->MyUserNo()) return;
  for (size_t i = 0; i < eventFlags_.size(); ++i) eventFlags_[i] = settlement.promoFlags.at(i);
  ticketLevel_ = settlement.ticketLevel.at(size_t(seat));
  if (ticketLevel_ == kTopTicketLevel) lastShownTicketLevel_ = kTopTicketLevel;
  if (!EventRuns() || ticketLevel_ < 1 || ticketLevel_ >= kTopTicketLevel || ticketLevel_ == lastShownTicketLevel_)
    return;
  if (eventEffect_ && !eventEffect_->IsPlaying()) promotion::PlayAni(eventEffect_);
  scene_->HostLink().ShowMarkupText(PromotionTicketWonNotice);
  lastShownTicketLevel_ = ticketLevel_;
}

void CDorvik2PromotionMgr::HideAll() {
  HideBanners();
  StopAnimations();
}

int32_t CDorvik2PromotionMgr::PlayPromotionStart(int32_t, int32_t) {
  if (scene_) scene_->StopSceneEffect(promotion::kPromotionStartEffect);
  return 0;
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
