#include "panels/CVUserInfoWnd.h"

#include "base/TextUtil.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace user_info_wnd {

constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kCentred = 1;
// Money lines show the two largest ten-thousand groups.
constexpr uint32_t kMoneyGroups = 2;
constexpr const char* kNoChangeText = "변동머니";
constexpr const char* kExtraMark = "+";

// The change never overflows: the difference wraps as the 64-bit registers it comes
// from would.
int64_t Difference(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

}  // namespace user_info_wnd

void CVUserInfoWnd::InitMembers() {
  CVSeatPanelWnd::InitMembers();
  texts_.fill(nullptr);
  leaderMarks_.fill(nullptr);
  reservedMark_ = nullptr;
  moneyBaseline_ = 0;
  userNo_ = RCUser::kNoUser;
}

int32_t CVUserInfoWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!BeginCreate(scene, screenPos)) return 0;
  const GPoint base = kBases[screenPos];
  for (size_t i = 0; i < texts_.size(); ++i) {
    const TextRow& row = kTexts[i];
    GVTextWnd* text = scene->CreateTextWnd(base + row.offsets[screenPos], kTextSize, "", row.colour,
                                           user_info_wnd::kFontHeight, user_info_wnd::kFontWeight);
    // The change line belongs to the lower seat only.
    const BOOL shown = i != kChange || screenPos == 0;
    if (!Adopt(text, texts_[i], shown)) return 0;
    text->SetTextFormat(user_info_wnd::kCentred);
  }
  for (size_t i = 0; i < leaderMarks_.size(); ++i) {
    const MarkRow& row = kLeaderMarkRows[i];
    if (!Adopt(scene->CreatePSPWnd(*row.path, base + row.offsets[screenPos], 0), leaderMarks_[i], 0)) return 0;
    leaderMarks_[i]->SetFrame(row.frame);
  }
  if (!Adopt(scene->CreateQLAniWnd(UserInfoReservedMarkPath, base + kReservedOffsets[screenPos]), reservedMark_, 0))
    return 0;
  FinishCreate(base, kSize);
  return 1;
}

void CVUserInfoWnd::SetUser(const PlayerInfo& player) {
  if (player.userNo == RCUser::kNoUser) {
    ResetSeat();
    return;
  }
  userNo_ = player.userNo;
  moneyBaseline_ = player.moneyBaseline;
  SetTextOf(kName, player.nickname);
  SetMoney(player.money, player.extraAmount);
  if (IPanelScene* scene = Scene()) SetTextOf(kGrade, scene->GetGradeName(player.gradeIndex));
  if (player.exitReserved) {
    SetExitReservedMark(player.exitReserved);
  } else if (player.observeReserved) {
    SetObserveReservedMark(player.observeReserved);
  } else {
    StopReservedMark();
  }
  SetDirty(1);
}

void CVUserInfoWnd::SetMoney(int64_t money, int64_t extra) {
  std::string text = FormatMoney(money, user_info_wnd::kMoneyGroups);
  if (extra > 0) text += user_info_wnd::kExtraMark;
  SetTextOf(kMoney, text);
  const int64_t change = user_info_wnd::Difference(money, moneyBaseline_);
  SetTextOf(kChange, change == 0 ? std::string(user_info_wnd::kNoChangeText)
                                 : FormatMoney(change, user_info_wnd::kMoneyGroups));
  SetDirty(1);
}

void CVUserInfoWnd::SetNickname(const std::string& text) {
  SetTextOf(kName, text);
  SetDirty(1);
}

void CVUserInfoWnd::SetExitReservedMark(int32_t flag) { PlayReservedMark(kExitReserved, flag); }
void CVUserInfoWnd::SetObserveReservedMark(int32_t flag) { PlayReservedMark(kObserveReserved, flag); }

void CVUserInfoWnd::PlayReservedMark(ReservedKind kind, int32_t flag) {
  if (!flag) {
    StopReservedMark();
  } else if (reservedMark_) {
    reservedMark_->SelectAnimation(kind);
    reservedMark_->Play(1, 1);
  }
  SetDirty(1);
}

void CVUserInfoWnd::StopReservedMark() {
  if (reservedMark_) reservedMark_->Stop();
}

int32_t CVUserInfoWnd::TickAnimation() {
  if (!reservedMark_ || !reservedMark_->IsVisible()) return 0;
  const BOOL changed = reservedMark_->Update();
  if (changed) SetDirty(1);
  return changed ? 1 : 0;
}

int32_t CVUserInfoWnd::ResetSeat() {
  for (size_t i = 0; i < texts_.size(); ++i) SetTextOf(static_cast<Text>(i), std::string());
  StopReservedMark();
  userNo_ = RCUser::kNoUser;
  moneyBaseline_ = 0;
  SetDirty(1);
  return 1;
}

void CVUserInfoWnd::SetTextOf(Text t, const std::string& text) {
  if (GVTextWnd* w = texts_.at(static_cast<size_t>(t))) w->SetText(text);
}
