// The display helpers the message handlers share, the host's card list, the leave
// request and the scene's small accessors. Each does nothing on a widget the build did
// not make.
#include <algorithm>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "panels/CVTextShadowWnd.h"
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "scene/SceneWidgetOps.h"
#include "tables/SceneBuildTable.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_helpers {

constexpr int32_t kPromptEffect = scene_effects::kPulse;
constexpr int32_t kStartEffect = scene_effects::kGameStart;
constexpr int32_t kRevealEffect = scene_effects::kOpen;
constexpr uint32_t kRevealWaitMs = 1500;
constexpr int32_t kItemRoomState = 60;
constexpr int32_t kGoBanner = 7;
constexpr int32_t kLastGoFrame = 10;
constexpr int32_t kPlacedBanner = 8;
constexpr GPoint kPlacedBannerPoints[CDorvik2VWS::kSeats] = {{70, 302}, {70, 115}};
// The go shout by count (1, 2, 3, 4 or more) and voice: male, female, robot.
constexpr int32_t kShoutCounts = 4;
constexpr int32_t kShouts[kShoutCounts][3] = {{37, 38, 39}, {40, 41, 42}, {43, 44, 45}, {46, 47, 48}};
constexpr int32_t kMaleVoice = 0;
constexpr int32_t kFemaleVoice = 1;
constexpr int32_t kOtherVoice = 2;
constexpr int32_t kHideFloorEvents = 8;
constexpr int32_t kCornerFloorEvent = 7;
constexpr int32_t kPlayOnce = 1;
constexpr int32_t kHostEvent14 = 14;
constexpr int32_t kCardListReplace = 14;
constexpr int32_t kCardListAdd = 15;
constexpr int32_t kCardListRemove = 16;
constexpr int32_t kFirstGrade = 1;
constexpr int32_t kLastGrade = 20;
constexpr int32_t kPairLeft = 2;
constexpr const char* kStakeFormat = "점%s";
constexpr uint32_t kAllMoneyGroups = 0;
constexpr int32_t kGameStartEffect = scene_effects::kStartDefault;
constexpr int32_t kRobotAtRest = 0;  // the robot character's plain look

using scene_widgets::ShowWnd;

}  // namespace scene_helpers

// ---- The decision prompt and the result panel ----------------------------------------------
int32_t CDorvik2VWS::ShowResultWnd(const GameResultMsg& result) {
  StopEffect(scene_helpers::kPromptEffect);
  if (!WidgetsLive()) return 0;
  const SceneWidgets& w = built_.widgets;
  if (w.notifyPrompt) w.notifyPrompt->Close();
  const int32_t shown = w.resultPanel ? w.resultPanel->ShowResult(&result) : 0;
  if (shown) {
    const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
    ShowMoneyBellSign(seat != PITable::kNoSeat && model_.room.seats.Player(seat).moneyBellCount > 0 ? 1 : 0);
  }
  if (w.goBakAlert) w.goBakAlert->HideAll();
  MarkDirty();
  return shown;
}

void CDorvik2VWS::CloseResultWnd() {
  if (!WidgetsLive()) return;
  const SceneWidgets& w = built_.widgets;
  if (w.resultPanel) {
    w.resultPanel->Reset();
    w.resultPanel->Show(0);
  }
  if (w.rankingPointPanel) w.rankingPointPanel->Close();
  if (w.moneyBellAnim) w.moneyBellAnim->Stop();
  MarkDirty();
}

int32_t CDorvik2VWS::CloseItemPanel() {
  CVItemWnd* items = WidgetsLive() && built_.widgets.resultPanel ? built_.widgets.resultPanel->ItemPanel() : nullptr;
  if (!items) return 0;
  const int32_t closed = items->Close();
  MarkDirty();
  return closed;
}

void CDorvik2VWS::SetResultItemPanelShown(int32_t shown) {
  CVResultWnd* panel = WidgetsLive() ? built_.widgets.resultPanel : nullptr;
  if (!panel) return;
  panel->SetItemPanelShown(shown);
  MarkDirty();
}

void CDorvik2VWS::RefreshObserverPanel(int32_t flag) {
  CVObserveSystemWnd* panel = ObservePanel();
  if (!panel) return;
  if (flag) panel->Refresh();
  panel->Show(flag ? 1 : 0);
  MarkDirty();
}

// ---- Seat displays --------------------------------------------------------------------------
void CDorvik2VWS::StopRefillAnimations() {
  if (!WidgetsLive()) return;
  for (int32_t side = 0; side < kSeats; ++side) {
    if (GVQLAniWnd* anim = built_.widgets.autoRefillAnims[static_cast<size_t>(side)]) anim->Stop();
    scene_helpers::ShowWnd(built_.widgets.autoRefillTexts[static_cast<size_t>(side)], 0);
  }
  MarkDirty();
}

void CDorvik2VWS::ShowMoneyBellSign(int32_t flag) {
  GVQLAniWnd* sign = WidgetsLive() ? built_.widgets.moneyBellAnim : nullptr;
  if (!sign) return;
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  const int32_t bells = seat == PITable::kNoSeat ? 0 : model_.room.seats.Player(seat).moneyBellCount;
  if (flag && bells > 0 && !HasRobotPlayer()) {
    sign->SelectAnimation(bells);
    sign->Play(-1, 0);
  } else {
    sign->Stop();
  }
  MarkDirty();
}

void CDorvik2VWS::SendHostEvent14() {
  HostLink().NotifyEvent(static_cast<uint32_t>(model_.myUser.userNo), scene_helpers::kHostEvent14, nullptr,
                                  nullptr);
}

void CDorvik2VWS::RefreshSeatPanels(int32_t seatOrBoth) {
  if (!WidgetsLive()) return;
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    if (seatOrBoth != seat && seatOrBoth != kSeats) continue;
    const int32_t side = SideOfSeat(seat);
    if (side < 0 || side >= kSeats) continue;
    const auto i = static_cast<size_t>(side);
    PlayerInfo shown = model_.room.seats.Player(seat);
    shown.gradeIndex = std::clamp(shown.gradeIndex, scene_helpers::kFirstGrade, scene_helpers::kLastGrade);
    if (CVUserInfoWnd* panel = built_.widgets.seatPanels[i]) panel->SetUser(shown);
    scene_helpers::ShowWnd(built_.widgets.voiceOffMarks[i], IsMutedUser(shown.userNo) ? 1 : 0);
    // A side's score and icon panels may have shown the other seat before a join, a
    // leave or an exchange of the seats.
    RefreshSeatScores(seat);
    if (IsRobotSeat(seat)) ShowSeatEvent(scene_helpers::kRobotAtRest, &scene_build::kAvatarPoints[i]);
  }
  MarkDirty();
}

void CDorvik2VWS::RevealResultCards(const std::vector<FlowerCard>& deckCards,
                                    const std::array<std::vector<FlowerCard>, kSeats>& hands) {
  bool revealed = false;
  if (!deckCards.empty() && !model_.game.deck.empty()) {
    if (CVHTWnd* top = CardWndById(model_.game.deck.front())) {
      top->SetCard(deckCards.front());
      if (GVQLAniWnd* marker = WidgetsLive() ? built_.widgets.remainCloseAnim : nullptr) {
        PlayAnimationAt(marker, top->GetPos(), -1, 0);
      }
      revealed = true;
    }
  }
  const int32_t mySeat = GetSeatOfUser(model_.myUser.userNo);
  const bool ownHandKnown = mySeat != PITable::kNoSeat && !IsRobotSeat(mySeat);
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    if ((ownHandKnown && seat == mySeat) || hands[static_cast<size_t>(seat)].empty()) continue;
    std::vector<FlowerCard> cards = hands[static_cast<size_t>(seat)];
    std::sort(cards.begin(), cards.end());
    const CardList& hand = Seat(seat).hand;
    for (size_t k = 0; k < cards.size() && k < hand.size(); ++k) {
      if (CVHTWnd* card = CardWndById(hand[k])) card->SetCard(cards[k]);
    }
    const int32_t side = SideOfSeat(seat);
    if (WidgetsLive() && side >= 0 && side < kSeats) {
      if (GVQLAniWnd* anim = built_.widgets.remainHoldAnims[static_cast<size_t>(side)]) anim->Play(1, 0);
    }
    revealed = true;
  }
  if (!revealed) return;
  MarkDirty();
  PlayEffect(scene_helpers::kRevealEffect, 0);
  WaitPumpingMessages(scene_helpers::kRevealWaitMs);
}

// ---- Banners, floor events and the robot -----------------------------------------------------
void CDorvik2VWS::ShowEventBanner(int32_t kind, int32_t count) {
  using namespace scene_helpers;
  const auto& banners = built_.widgets.comboAnims;
  const bool live = WidgetsLive();
  if (live) {
    for (GVQLAniWnd* banner : banners) ShowWnd(banner, 0);
  }
  if (kind < 0 || kind >= static_cast<int32_t>(banners.size())) {
    StopGameTimer(kBannerTimer);
    ShowSeatEvent(kNoSeatEvent, nullptr);
    return;
  }
  const int32_t seat = GetSeatOfUser(model_.turnUserNo);
  const int32_t side = seat == PITable::kNoSeat ? -1 : SideOfSeat(seat);
  if (side < 0 || side >= kSeats) return;
  if (kind == kGoBanner && (count < 1 || count > kLastGoFrame)) return;
  GVQLAniWnd* banner = live ? banners[static_cast<size_t>(kind)] : nullptr;
  if (banner) {
    if (kind == kPlacedBanner) banner->SetPos(kPlacedBannerPoints[side]);
    banner->Play(kPlayOnce, 0);
    if (kind == kGoBanner) banner->SetFrame(count - 1);
    StartGameTimer(kBannerTimer, 0);
  }
  if (kind == kGoBanner && !options_.soundEffect) {
    const PlayerInfo& p = model_.room.seats.Player(seat);
    const int32_t voice = IsRobotSeat(seat)           ? kOtherVoice
                          : p.gender == kMaleVoice    ? kMaleVoice
                          : p.gender == kFemaleVoice ? kFemaleVoice
                                                      : kOtherVoice;
    PlayEffect(kShouts[std::min(count, kShoutCounts) - 1][voice], 0);
  }
  MarkDirty();
}

void CDorvik2VWS::PlayAnimationAt(GVQLAniWnd* anim, GPoint pt, int32_t count, int32_t hold) {
  if (!anim) return;
  anim->Play(count, hold);
  anim->SetPos(pt);
  anim->Show(1);
  MarkWidgetDirty(anim);
}

void CDorvik2VWS::ShowFloorEvent(int32_t kind) {
  using namespace scene_helpers;
  if (!WidgetsLive()) return;
  const auto& events = built_.widgets.eventAnims;
  if (kind == kHideFloorEvents) {
    for (GVQLAniWnd* anim : events) {
      if (anim && anim->IsVisible()) anim->Show(0);
    }
    MarkDirty();
    return;
  }
  if (kind < 0 || kind >= static_cast<int32_t>(events.size())) return;
  const int32_t slot = model_.game.lastFloorSlot;
  GPoint at = slot >= 0 && slot < COpenInfo::kSlots
                  ? GPoint(model_.floor.slots.at(static_cast<size_t>(slot)).x, model_.floor.slots.at(static_cast<size_t>(slot)).y)
                  : kDeckPoint;
  if (kind == kCornerFloorEvent) at = GPoint(0, 0);
  PlayAnimationAt(events[static_cast<size_t>(kind)], at, kPlayOnce, 0);
}

void CDorvik2VWS::ShowSeatEvent(int32_t kind, const GPoint* pt) {
  if (!HasRobotPlayer() || !WidgetsLive()) return;
  auto& robots = built_.widgets.robotAvatars;
  for (GVAnimWnd* r : robots) scene_helpers::ShowWnd(r, 0);
  if (kind == kNoSeatEvent || kind < 0 || kind >= static_cast<int32_t>(robots.size())) return;
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    if (!IsRobotSeat(seat)) continue;
    if (pt) {
      for (GVAnimWnd* r : robots) {
        if (r) r->SetPos(*pt);
      }
    }
    GVAnimWnd* shown = robots[static_cast<size_t>(kind)];
    scene_helpers::ShowWnd(shown, 1);
    built_.widgets.robotAvatar = shown;
    break;
  }
  MarkDirty();
}

void CDorvik2VWS::ShowFloorSlotMarks(int32_t flag) {
  if (!IsSeated(RCUser::kNoUser)) return;
  const CardTableWidgets& w = CardWidgets();
  for (int32_t slot = 0; slot < COpenInfo::kSlots; ++slot) {
    const bool occupied = model_.floor.slots.at(static_cast<size_t>(slot)).cardCount > 0;
    scene_helpers::ShowWnd(w.floorOutlines[static_cast<size_t>(slot)], flag && occupied ? 1 : 0);
  }
  MarkDirty();
}

void CDorvik2VWS::HideTurnWidgets(int32_t flag) {
  if (!WidgetsLive()) return;
  const SceneWidgets& w = built_.widgets;
  scene_helpers::ShowWnd(w.bettingBack, 0);
  for (CVPSPPushBtn* b : w.betButtons) {
    if (!b) continue;
    b->Enable(0);
    b->Show(0);
  }
  scene_helpers::ShowWnd(w.bettingText, 0);
  scene_helpers::ShowWnd(w.dieWarning, 0);
  for (GVQLAniWnd* kind : w.bettingKindAnims) scene_helpers::ShowWnd(kind, 0);
  if (flag && w.turnMarker) w.turnMarker->Stop();
  MarkDirty();
}


// ---- The stake label, the invite pair and the start intro -------------------------------------
void CDorvik2VWS::ShowMoneyPerPoint() {
  CVTextShadowWnd* label = WidgetsLive() ? built_.widgets.pointMoneyText : nullptr;
  if (!label) return;
  label->SetText(FormatString(scene_helpers::kStakeFormat,
                              FormatMoney(model_.room.option.moneyPerPoint, scene_helpers::kAllMoneyGroups).c_str()));
  MarkWidgetDirty(label);
}

int32_t CDorvik2VWS::ShowWidgetPair(int32_t show) {
  if (IsRoomState60()) return 0;
  if (!WidgetsLive()) return 1;
  // The empty seat's invitation: its back and its button.
  scene_helpers::ShowWnd(built_.widgets.inviteBack, show);
  if (CVPSPPushBtn* invite = built_.widgets.inviteButton) {
    invite->Show(show);
    invite->Enable(show);
  }
  MarkDirty();
  return 1;
}

void CDorvik2VWS::PlayPromotionIntro(int32_t kind, int32_t flag) {
  using namespace scene_helpers;
  promotionMgr_.PlayPromotionStart(0, 0);
  GVQLAniWnd* intro = WidgetsLive() ? built_.widgets.startAnim : nullptr;
  if (intro) intro->Stop();
  StopEffect(kGameStartEffect);
  if (!kind || IsRoomState60()) return;
  // The promotion's own start answers 0 while it has none: the table's start plays.
  if (promotionMgr_.PlayPromotionStart(kind, flag)) return;
  if (intro) intro->Play(kPlayOnce, 0);
  PlayEffect(kGameStartEffect, 0);
  MarkDirty();
}

// ---- Buttons the host and the timers show ---------------------------------------------------
void CDorvik2VWS::ShowStartButton(int32_t show) {
  StopGameTimer(kLastKilledTimer);
  CVPSPPushBtn* button = WidgetsLive() ? built_.widgets.startButton : nullptr;
  if (!button) return;
  const int32_t me = model_.myUser.userNo;
  if (show && (me < 0 || model_.room.seats.Player(0).userNo != me)) {
    button->Show(0);
    MarkDirty();
    return;
  }
  if (show && !button->IsVisible()) PlayEffect(scene_helpers::kStartEffect, 0);
  // Image set 1 starts a game with an empty seat; a button without it keeps set 0.
  if (model_.room.roomState != scene_helpers::kItemRoomState) {
    if (!button->SetImageSet(HasSeatWithoutUser() ? 1 : 0)) button->SetImageSet(0);
  }
  button->Show(show ? 1 : 0);
  SetFullRedraw();
  MarkDirty();
}

void CDorvik2VWS::ShowMemoButton(int32_t count) {
  if (!WidgetsLive()) return;
  scene_helpers::ShowWnd(built_.widgets.memoButton, count >= 1 ? 1 : 0);
  if (GVQLAniWnd* notice = built_.widgets.memoNotice) {
    if (count >= 1) notice->Play(-1, 0);
    else notice->Stop();
  }
  MarkDirty();
}

// ---- The host's card list, texts and the leave request ---------------------------------------
void CDorvik2VWS::ParseNumberList(const std::string& text, std::vector<int32_t>& list) {
  list.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) list.push_back(static_cast<int32_t>(plat::crt::atol(text.substr(start, end - start).c_str())));
    start = end + 1;
  }
}

void CDorvik2VWS::OnHostCardList(int32_t userNo, int32_t code, const std::string& text) {
  if (userNo != model_.myUser.userNo) return;
  std::vector<int32_t>& list = model_.game.cardNumbers;
  const auto number = static_cast<int32_t>(plat::crt::atol(text.c_str()));
  if (code == scene_helpers::kCardListReplace) {
    ParseNumberList(text, list);
  } else if (code == scene_helpers::kCardListAdd) {
    list.push_back(number);
  } else if (code == scene_helpers::kCardListRemove) {
    list.erase(std::remove(list.begin(), list.end(), number), list.end());
  } else {
    return;
  }
  RefreshSeatPanels(kSeats);
}

void CDorvik2VWS::SendHostTextEvent(uint32_t code, const std::string& text, const std::string& second) {
  HostLink().SetText(code, text, second);
}

bool CDorvik2VWS::SendPlayerList() { return HostLink().SetPlayerList(model_.game.kickReservations); }


// ---- Accessors ---------------------------------------------------------------------------------
int32_t CDorvik2VWS::ExchangePhase(int32_t phase) {
  const int32_t old = timers_.Phase();
  if (phase == 0) StopGameTimer(kTurnTimer);
  else timers_.SetPhase(phase);
  return old;
}

int32_t CDorvik2VWS::ExchangeSceneMode(int32_t mode) {
  const int32_t old = model_.sceneMode;
  model_.sceneMode = mode;
  return old;
}

int32_t CDorvik2VWS::IsRoomState60() const { return model_.room.roomState == scene_helpers::kItemRoomState ? 1 : 0; }


const CDorvik2VWS::CardList& CDorvik2VWS::GetCapturedList(int32_t seat, int32_t kind) const {
  return model_.game.seats.at(static_cast<size_t>(seat)).captured.at(static_cast<size_t>(kind));
}

int32_t CDorvik2VWS::GetBombDummyCount(int32_t seat) const {
  return model_.game.seats.at(static_cast<size_t>(seat)).bombDummyCount;
}

int32_t CDorvik2VWS::IsMonthPairLeft(CardMonth month) const {
  return month >= 0 && month < CGameInfo::kMonths &&
                 model_.game.capturedPerMonth[static_cast<size_t>(month)] == scene_helpers::kPairLeft
             ? 1
             : 0;
}

int32_t CDorvik2VWS::GetCardSlot(const GVWnd* wnd) const {
  const auto* card = dynamic_cast<const CVHTWnd*>(wnd);
  return card ? card->floorSlot : -1;
}

int32_t CDorvik2VWS::GetCardId(const GVWnd* wnd) const {
  const auto* card = dynamic_cast<const CVHTWnd*>(wnd);
  return card ? card->cardId : kNoCard;
}

int32_t CDorvik2VWS::GetCardMonth(const GVWnd* wnd) const {
  const auto* card = dynamic_cast<const CVHTWnd*>(wnd);
  return card ? card->month : kBonusMonth;
}
