// The play-count panel's children.
#include "panels/CVGFPlayCountWnd.h"

#include <algorithm>
#include <string>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "host/RCUser.h"
#include "panels/CVPSPPushBtn.h"
#include "tables/NoticeTexts.h"
#include "tables/PanelPaths.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace play_count {

constexpr GPoint kBase(108, 0);
constexpr GSize kPanelSize(67, 21);
// Set 0 without a membership, set 1 with one.
constexpr int32_t kInfoButtonSets = 2;
constexpr GSize kGaugeOffset(4, 16);
constexpr GSize kCountOffset(5, 5);
constexpr GSize kCountSize(36, 14);
constexpr COLORREF kCountColour = 0x00FF00;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kRightAligned = 2;
constexpr int32_t kPcCafe = 1;
constexpr const char* kUnlimited = "무한";
constexpr int32_t kGaugeWidth = 38;
constexpr int32_t kGaugeHeight = 2;
constexpr int32_t kMemberButtonSet = 1;
constexpr uint32_t kNoticeBoxMs = 5000;
constexpr COLORREF kBoxHeadingColour = 0xCF7F00;

void SendLimitEvent(const CHostLink& link) {
  link.SetText(CVGFPlayCountWnd::kLimitEvent, std::to_string(CHostLink::kGameNumber),
               CVGFPlayCountWnd::kLimitNoticeCode);
}

}  // namespace play_count

void CVGFPlayCountWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  alert_ = nullptr;
  gauge_ = nullptr;
  countText_ = nullptr;
  infoButton_ = nullptr;
  limitNoticeSent_ = 0;
}

int32_t CVGFPlayCountWnd::Create(IPanelScene* scene) {
  using namespace play_count;
  SetScene(scene);
  if (!scene) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PlayCountInfoButtonPath, kBase, 1, kInfoButtonSets), infoButton_, 1)) return 0;
  // The gauge is one cell of its picture, keyed, and hidden until a count arrives.
  if (!Adopt(scene->CreateDDSWnd(PlayCountGaugePath, kBase + kGaugeOffset, 1, 0, 1, 1), gauge_, 0)) return 0;
  if (!Adopt(scene->CreateTextWnd(kBase + kCountOffset, kCountSize, "", kCountColour, kFontHeight, kFontWeight),
             countText_, 1))
    return 0;
  countText_->SetTextFormat(kRightAligned);
  if (!Adopt(scene->CreateQLAniWnd(PlayCountAlertAnimPath, kBase), alert_, 0)) return 0;
  SetRect(GRect(kBase, kPanelSize));
  Show(0);
  Enable(1);
  return 1;
}

void CVGFPlayCountWnd::SetPlayCount(int32_t played, int64_t membershipEnd) {
  using namespace play_count;
  if (played < 0 || !Scene() || !gauge_) return;
  played = std::min(played, kDailyGames);
  const bool unlimited = Scene()->MyUserRecord().pcCafeCode == kPcCafe || membershipEnd > 0;
  const int32_t left = unlimited ? kDailyGames : kDailyGames - played;
  gauge_->SetRect(GRect(gauge_->GetPos(), GSize(left * kGaugeWidth / kDailyGames, kGaugeHeight)));
  gauge_->Show(1);
  countText_->SetText(unlimited ? std::string(kUnlimited) : std::to_string(left));
  countText_->Show(1);
  infoButton_->SetImageSet(membershipEnd > 0 ? kMemberButtonSet : 0);
  infoButton_->Show(1);
  Show(1);
  SetDirty(1);
}

void CVGFPlayCountWnd::NotifyLimit(int32_t left) {
  using namespace play_count;
  if (!Scene() || !alert_) return;
  alert_->Play(1, 0);
  const RCUser& me = Scene()->MyUserRecord();
  if (me.pcCafeCode == kPcCafe || me.membershipEnd > 0) return;
  Scene()->HostLink().ShowMarkupText(
      FormatString(DailyCountNotice, left, kDailyGames, kDailyGames, kDailyGames).c_str());
  if (left == 0 && !limitNoticeSent_) {
    SendLimitEvent(Scene()->HostLink());
    limitNoticeSent_ = 1;
  }
}

void CVGFPlayCountWnd::Close() {
  CVPanelWnd::HideAll();
  limitNoticeSent_ = 0;
  Show(0);
  SetDirty(1);
}

int32_t CVGFPlayCountWnd::TickAnimation() {
  // The step answers 0 whatever it did: an advanced alert leaves the panel dirty.
  if (alert_ && alert_->IsVisible() && alert_->Update()) SetDirty(1);
  return 0;
}

BOOL CVGFPlayCountWnd::OnLButtonDown(UINT keyFlags, GPoint pt) { return PressTracked(tracked_, keyFlags, pt); }

BOOL CVGFPlayCountWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  if (!IsEnabled() || !Scene()) return 0;
  const Release r = RouteRelease(tracked_, keyFlags, pt);
  if (!r.child) {
    if (r.releasedOther) SetDirty(1);
    return 0;
  }
  const bool info = r.child == infoButton_;
  if (info && r.clicked) OnInfoClick();
  SetDirty(1);
  return r.clicked || info || r.releasedOther ? 1 : 0;
}

BOOL CVGFPlayCountWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  if (!((IsVisible() && IsEnabled()) || tracked_)) return 0;
  return TrackHover(tracked_, keyFlags, pt);
}

void CVGFPlayCountWnd::OnInfoClick() {
  using namespace play_count;
  IPanelScene* scene = Scene();
  const RCUser& me = scene->MyUserRecord();
  const int64_t royal = me.itemMoney.at(ITEM_MONEY_ROYAL);
  const int64_t gold = me.itemMoney.at(ITEM_MONEY_GOLD);
  const int64_t club = me.itemMoney.at(ITEM_MONEY_CLUB);
  if (infoButton_->ImageSet() != kMemberButtonSet) {
    if (me.pcCafeCode == kPcCafe) {
      scene->ShowMsgBox(FormatString(PcCafeNoticeText, kDailyGames), IPanelScene::kMsgBoxOk, kNoticeBoxMs,
                        PcCafeNoticeTitle, kBoxHeadingColour);
    } else {
      SendLimitEvent(scene->HostLink());
    }
  } else if (royal <= 0 && gold <= 0 && club <= 0 && me.membershipEnd <= 0) {
    SendLimitEvent(scene->HostLink());
  } else {
    const std::string line =
        royal > 0  ? MembershipRoyalLine
        : gold > 0 ? MembershipGoldLine
        : club > 0 ? MembershipClubLine
                   : FormatString(MembershipEndDateLine, FormatDateTime(FormatInt64(me.membershipEnd)).c_str());
    scene->ShowMsgBox(line + FormatString(MembershipNoticeText, kDailyGames), IPanelScene::kMsgBoxOk, kNoticeBoxMs,
                      MembershipNoticeTitle, kBoxHeadingColour);
  }
  scene->PlayPanelEffect(IPanelScene::kEffectClick);
}
