// The VIP manager's widgets and the cards its alert watches.
#include "panels/CDorvik2VIPMgr.h"

#include <algorithm>

#include "base/TextUtil.h"
#include "game/CGameModel.h"
#include "game/CardInfoTable.h"
#include "panels/HelperAlert.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/time.h"
#include "tables/PanelPaths.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace vip {

// By panel slot, then bright, five birds, ribbons; the icons sit this far below the points.
constexpr GPoint kIconPoints[CDorvik2VIPMgr::kAlertIcons] = {{20, 458}, {118, 400}, {118, 458},
                                                             {20, 24},  {118, 24},  {118, 81}};
constexpr GSize kIconDrop(0, 37);
constexpr GPoint kAlarmPoint(407, 493);
constexpr GSize kTextOffset(3, 5);
constexpr GSize kTextSize(206, 12);
constexpr int32_t kFontHeight = 12;
struct TextStyle {
  COLORREF colour;
  int32_t weight;
};
constexpr TextStyle kTextStyles[CDorvik2VIPMgr::kAlarmTexts] = {{0x68F4FF, 700}, {0xFFFFFF, 400}};
// The card set each list collects, by CDorvik2VIPMgr::ComboList.
constexpr int32_t kComboSets[CDorvik2VIPMgr::kComboLists] = {7, 6, 3, 4, 5};
// The bonus cards (48, 49) belong to no combination.
constexpr int32_t kMonthCards = 48;

// How each list near-completes for the opponent: the pile kind it is taken into, the
// count taken (exactly, or at least for the brights) and its flag.
struct ComboRule {
  int32_t kind;
  bool atLeast;
  int32_t flag;
};
constexpr int32_t kNearCount = 2;
constexpr ComboRule kComboRules[CDorvik2VIPMgr::kComboLists] = {
    {0, true, 0x100}, {1, false, 0x10}, {2, false, 2}, {2, false, 1}, {2, false, 4}};
constexpr int32_t kBirdFlag = 0x10;
constexpr int32_t kRibbonMask = 0x7;
constexpr int32_t kBirdAnimation = 4;
// Icon 0's animation by bright count 2..5, icon 2's by the ribbon flags.
constexpr int32_t kBrightAnimations[] = {0, 1, 2, 3};
constexpr int32_t kRibbonAnimations[kRibbonMask + 1] = {-1, 5, 6, 8, 7, 10, 9, 11};
enum Icon : int32_t { kBrightIcon, kBirdIcon, kRibbonIcon };

// A month is closed to the opponent when its other cards are all in view with me.
constexpr int32_t kMonthSize = 4;
constexpr int32_t kMarkerTwoTaken = 2;

constexpr int32_t kAlarmMinutesAnimation = 0;
constexpr int32_t kAlarmLongMinutesAnimation = 1;
constexpr int32_t kAlarmTargetAnimation = 2;
constexpr int32_t kHalfHourMinutes = 30;
constexpr uint64_t kMsPerMinute = 60000;
constexpr int32_t kIconLoop = -1;
constexpr const char* kGamesText = "%d판";
constexpr const char* kGamesTail = " 진행하셨습니다.화이팅!";
constexpr const char* kMoneyTail = " 획득하셨습니다.축하합니다.";

int32_t TextWidth(GVTextWnd* text) {
  SIZE extent{};
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, text->GetFont());
  const std::string s = text->GetText();
  GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &extent);
  SelectObject(dc, old);
  DeleteDC(dc);
  return extent.cx;
}

}  // namespace vip

void CDorvik2VIPMgr::OnVipState(VipStateMsg& msg) {
  roomValues_ = {msg.playSeconds, msg.wins, msg.losses, msg.firstAmount, msg.secondAmount};
  helperView_.FillUserInfoPopup(msg.playSeconds, msg.wins, msg.losses, msg.firstAmount, msg.secondAmount);
  vip_.service = {msg.vipValue1, msg.vipValue2, msg.vipServiceActive};
  helperView_.UpdatePopupControls(msg.vipValue1, msg.vipValue2, msg.vipServiceActive);
  RefreshComboAlert();
}

void CDorvik2VIPMgr::ForgetWidgets() {
  icons_ = {};
  alarm_ = nullptr;
  texts_ = {};
  displayStart_ = 0;
}

void CDorvik2VIPMgr::RefreshComboAlert() {
  if (!scene_) return;
  const int32_t mySeat = scene_->GetSeatOfUser(scene_->MyUserNo());
  if (mySeat < 0 || scene_->Model().sceneMode != CGameModel::kModePlaying) return;
  const int32_t enabled = vip_.AlertEnabled() ? 1 : 0;
  UpdateComboIcons(mySeat, enabled);
  ShowHandComboWarnings(mySeat, enabled);
}

bool CDorvik2VIPMgr::AlertApplies(int32_t mySeat) {
  return scene_ && vip_.AlertEnabled() && mySeat >= 0 && mySeat <= 1 &&
         scene_->Model().sceneMode == CGameModel::kModePlaying;
}

CDorvik2VIPMgr::Split CDorvik2VIPMgr::SplitComboCards(int32_t seat, int32_t kind, const std::vector<int32_t>& list) {
  Split split;
  const std::vector<int32_t>& mine = scene_->Seat(seat).captured.at(size_t(kind));
  const std::vector<int32_t>& others = scene_->Seat(1 - seat).captured.at(size_t(kind));
  for (int32_t card : list) {
    if (scene_->FindCardInPile(mine, card) >= 0) {
      split.mine.push_back(card);
    } else if (scene_->FindCardInPile(others, card) >= 0) {
      split.others.push_back(card);
    } else {
      split.open.push_back(card);
    }
  }
  return split;
}

bool CDorvik2VIPMgr::IsMonthClosed(int32_t mySeat, int32_t month) {
  using namespace vip;
  CGameModel& model = scene_->Model();
  const int32_t inHand = scene_->CountCardsOfMonth(scene_->Seat(mySeat).hand, month);
  if (inHand < 1) return false;
  const int32_t inView = inHand + scene_->CountCardsOfMonth(model.floor.floorCards, month);
  const int32_t marker = model.game.capturedPerMonth.at(size_t(month));
  return inView == kMonthSize || (marker == kMarkerTwoTaken && inView == kMarkerTwoTaken);
}

int32_t CDorvik2VIPMgr::CountLiveCards(int32_t mySeat, const std::vector<int32_t>& open) {
  int32_t live = 0;
  for (int32_t card : open)
    if (!IsMonthClosed(mySeat, CardInfoOf(card).month)) ++live;
  return live;
}

int32_t CDorvik2VIPMgr::ComboFlags(int32_t mySeat, std::vector<int32_t>* liveMonths) {
  using namespace vip;
  const int32_t opponent = 1 - mySeat;
  int32_t flags = 0;
  for (int32_t list = 0; list < kComboLists; ++list) {
    const ComboRule& rule = kComboRules[list];
    const Split split = SplitComboCards(opponent, rule.kind, comboCards_[size_t(list)]);
    const int32_t taken = static_cast<int32_t>(split.mine.size());
    const bool near = rule.atLeast ? taken >= kNearCount : taken == kNearCount;
    if (!near || CountLiveCards(mySeat, split.open) == 0) continue;
    flags |= rule.atLeast ? rule.flag << (taken - kNearCount) : rule.flag;
    if (!liveMonths) continue;
    for (int32_t card : split.open) {
      const int32_t month = CardInfoOf(card).month;
      if (!IsMonthClosed(mySeat, month)) liveMonths->push_back(month);
    }
  }
  return flags;
}

void CDorvik2VIPMgr::UpdateComboIcons(int32_t mySeat, int32_t enabled) {
  if (!enabled) {
    HideComboIcons();
    return;
  }
  if (!AlertApplies(mySeat)) return;
  const int32_t slot = scene_->SideOfSeat(1 - mySeat);
  if (slot < 0 || slot > 1) return;
  SetSeatComboIcons(slot, ComboFlags(mySeat, nullptr));
}

void CDorvik2VIPMgr::SetSeatComboIcons(int32_t slot, int32_t flags) {
  using namespace vip;
  std::array<int32_t, kIconsPerSlot> animations{-1, -1, -1};
  for (int32_t count = static_cast<int32_t>(std::size(kBrightAnimations)) - 1; count >= 0; --count) {
    if (flags & (kComboRules[kBrightCards].flag << count)) {
      animations[kBrightIcon] = kBrightAnimations[count];
      break;
    }
  }
  if (flags & kBirdFlag) animations[kBirdIcon] = kBirdAnimation;
  animations[kRibbonIcon] = kRibbonAnimations[flags & kRibbonMask];
  bool started = false;
  for (int32_t i = 0; i < kIconsPerSlot; ++i) {
    GVQLAniWnd* icon = icons_[size_t(slot * kIconsPerSlot + i)];
    if (!icon) continue;
    const int32_t animation = animations[size_t(i)];
    if (animation < 0) {
      icon->Stop();
      continue;
    }
    if (icon->GetAnimationIndex() == animation && icon->IsPlaying() && icon->IsVisible()) continue;
    icon->SelectAnimation(animation);
    icon->Play(kIconLoop, 0);
    started = true;
  }
  if (started) scene_->PlaySceneEffect(kComboEffect);
}

void CDorvik2VIPMgr::HideHandMarks() {
  if (!scene_) return;
  for (int32_t i = 0; i < kHandMarks; ++i)
    if (GVWnd* mark = scene_->HoldAlertHint(i)) mark->Show(0);
}

void CDorvik2VIPMgr::ShowHandComboWarnings(int32_t mySeat, int32_t enabled) {
  if (!enabled || !AlertApplies(mySeat)) {
    HideHandMarks();
    return;
  }
  std::vector<int32_t> months;
  ComboFlags(mySeat, &months);
  const std::vector<int32_t>& hand = scene_->Seat(mySeat).hand;
  for (int32_t i = 0; i < kHandMarks; ++i) {
    GVWnd* mark = scene_->HoldAlertHint(i);
    if (!mark) continue;
    const int32_t card = size_t(i) < hand.size() ? scene_->CardIdOfWidget(hand[size_t(i)]) : kNoCard;
    const bool needed =
        IsCardId(card) && std::find(months.begin(), months.end(), CardInfoOf(card).month) != months.end();
    mark->Show(needed ? 1 : 0);
  }
}

void CDorvik2VIPMgr::HideComboIcons() {
  for (GVQLAniWnd* icon : icons_)
    if (icon) icon->Stop();
}

void CDorvik2VIPMgr::PlaceTexts() {
  using namespace vip;
  GVTextWnd* first = texts_[0];
  GVTextWnd* second = texts_[1];
  if (!alarm_ || !first || !second) return;
  const int32_t w1 = TextWidth(first);
  const int32_t w2 = TextWidth(second);
  const int32_t x = (kTextSize.cx - w1 - w2) / 2 + kTextOffset.cx;
  const GPoint at = alarm_->GetPos();
  first->SetPos(GPoint(at.x + x, at.y + kTextOffset.cy));
  second->SetPos(GPoint(at.x + x + w1, at.y + kTextOffset.cy));
}

void CDorvik2VIPMgr::OnGameResult(int64_t won) {
  using namespace vip;
  HelperAlert& a = alert_;
  const uint32_t now = GetTickCount();
  if (a.gamesTarget) ++a.gamesPlayed;
  if (a.moneyTarget) a.moneyWon += won;
  int32_t animation = kAlarmTargetAnimation;
  if (a.minutes >= 1) {
    // In 64 bits: minutes x 60000 passes 32 bits above 35,791 minutes.
    if (uint64_t(uint32_t(now - a.minuteStart)) < uint64_t(a.minutes) * kMsPerMinute) return;
    animation = a.minutes == kHalfHourMinutes ? kAlarmMinutesAnimation : kAlarmLongMinutesAnimation;
  } else {
    std::string head, tail;
    if (a.moneyTarget > 0 && a.moneyWon >= a.moneyTarget) {
      head = FormatMoney(a.moneyTarget, 0);
      tail = kMoneyTail;
    } else if (a.gamesTarget > 0 && a.gamesPlayed >= a.gamesTarget) {
      head = FormatString(kGamesText, a.gamesTarget);
      tail = kGamesTail;
    } else {
      return;
    }
    if (texts_[0] && texts_[1]) {
      texts_[0]->SetText(head);
      texts_[1]->SetText(tail);
      PlaceTexts();
    }
  }
  if (alarm_) {
    alarm_->SelectAnimation(animation);
    alarm_->Play(1, 0);
  }
  // 0 stands for "none": a display started at tick 0 would never end.
  displayStart_ = now ? now : 1;
  a.minuteStart = now;
  a.moneyWon = 0;
  a.gamesPlayed = 0;
}

void CDorvik2VIPMgr::Tick() {
  if (!displayStart_) return;
  HelperAlert& a = alert_;
  const uint32_t now = GetTickCount();
  const uint32_t shown = now - displayStart_;
  GVTextWnd* first = texts_[0];
  if (shown >= kTextsAfterMs && first && !first->GetText().empty() && !first->IsVisible()) {
    for (GVTextWnd* text : texts_)
      if (text) text->Show(1);
  }
  if (shown < kDisplayMs) return;
  displayStart_ = 0;
  if (alarm_) alarm_->Stop();
  for (GVTextWnd* text : texts_) {
    if (!text) continue;
    text->Show(0);
    text->SetText("");
  }
  // The minutes stay: that reminder repeats.
  a.minuteStart = now;
  a.gamesPlayed = a.gamesTarget = 0;
  a.moneyWon = a.moneyTarget = 0;
  helperView_.ClearRememberedSettings();
}

int32_t CDorvik2VIPMgr::CreateWidgets() {
  using namespace vip;
  if (!scene_) return 0;
  // Each widget joins the scene's list as soon as it is made, so a later failure
  // leaves nothing unowned.
  auto animation = [&](const char* path, GPoint at) {
    GVQLAniWnd* made = scene_->CreateQLAniWnd(path, at);
    if (made) {
      scene_->AddSceneWnd(made);
      scene_->AddAnimation(made);
    }
    return made;
  };
  for (int32_t i = 0; i < kAlertIcons; ++i) {
    if (!(icons_[size_t(i)] = animation(VipComboAlertAnimPath, kIconPoints[i] + kIconDrop))) return 0;
  }
  if (!(alarm_ = animation(VipAlarmAnimPath, kAlarmPoint))) return 0;
  for (int32_t i = 0; i < kAlarmTexts; ++i) {
    const TextStyle& style = kTextStyles[i];
    GVTextWnd* text = scene_->CreateTextWnd(kAlarmPoint + kTextOffset, kTextSize, "", style.colour, kFontHeight,
                                            style.weight);
    if (!(texts_[size_t(i)] = text)) return 0;
    scene_->AddSceneWnd(text);
    // The reminder shows its texts half a second after the alarm starts.
    text->Show(0);
  }
  for (std::vector<int32_t>& list : comboCards_) list.clear();
  for (int32_t card = 0; card < kMonthCards; ++card) {
    for (int32_t list = 0; list < kComboLists; ++list) {
      if (scene_->CardSetOf(card) == kComboSets[list]) comboCards_[size_t(list)].push_back(card);
    }
  }
  return 1;
}

void CDorvik2VIPMgr::PlaceWidgetsAfter(GVWnd* ref) {
  if (!scene_ || !ref) return;
  GVWnd* previous = ref;
  for (GVQLAniWnd* icon : icons_) {
    if (!icon) continue;
    scene_->InsertSceneWndAfter(previous, icon);
    previous = icon;
  }
}
