// Turning a click or a key into a card play, the first-player pick, the hover and press
// highlighting of the hand, and the seats' avatars from the host.
#include <algorithm>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/SceneBuildTable.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_hand {

constexpr int32_t kPlayEffect = scene_effects::kClick;
constexpr int32_t kDummyOnlyKey = 11;
constexpr int32_t kHover = 1;
constexpr int32_t kPressed = 2;
constexpr int32_t kBombHint = 2;
// Hint icons per hand card, by the slot's eight (the build's order).
constexpr int32_t kCanTakeHint = 0;
constexpr int32_t kBonusHint = 1;
constexpr int32_t kShakeHint = 3;
constexpr int32_t kFourHint = 4;
constexpr int32_t kCardsOfMonth = 4;
constexpr int32_t kBombInHand = 3;

}  // namespace scene_hand

CVHTWnd* CDorvik2VWS::HandCardAt(GVWnd* wnd, int32_t floorFlag) {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (!wnd || seat == PITable::kNoSeat) return nullptr;
  const CardList& list = floorFlag ? model_.floor.floorCards : Seat(seat).hand;
  for (const int32_t w : list) {
    CVHTWnd* card = CardWndById(w);
    if (card && card == wnd) return card;
  }
  return nullptr;
}

int32_t CDorvik2VWS::PlayClickedCard(GVWnd* wnd) {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (!wnd || seat == PITable::kNoSeat || IsRobotSeat(seat)) return 0;
  const CVHTWnd* card = HandCardAt(wnd, 0);
  // A dummy turn plays the deck's first card, as it reports itself (50 face down).
  if (!card && Seat(seat).bombDummyCount > 0 && !model_.game.deck.empty() &&
      CardWndById(model_.game.deck.front()) == wnd) {
    card = CardWndById(model_.game.deck.front());
  }
  if (!card) return 0;
  SendPlayCard(card->cardId, 0);
  model_.handPick = 0;
  PlayEffect(scene_hand::kPlayEffect, 0);
  SetAutoPlay(0);
  // Hover states follow the pointer from where it is now.
  POINT cursor{};
  if (gameWnd_ && GetCursorPos(&cursor) && ScreenToClient(gameWnd_, &cursor)) {
    OnMouseMove(0, GPoint(cursor.x, cursor.y));
  }
  return 1;
}

int32_t CDorvik2VWS::PickHandCardByKey(int32_t n) {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (!model_.handPick || seat == PITable::kNoSeat || IsRobotSeat(seat)) return 0;
  const CardList& hand = Seat(seat).hand;
  const auto handSize = static_cast<int32_t>(hand.size());
  if (n >= 1 && n <= handSize) return PlayClickedCard(CardWndById(hand[static_cast<size_t>(n - 1)]));
  const int32_t dummies = Seat(seat).bombDummyCount;
  if (dummies <= 0 || model_.game.deck.empty()) return 0;
  GVWnd* deckCard = CardWndById(model_.game.deck.front());
  if (n == scene_hand::kDummyOnlyKey) return PlayClickedCard(deckCard);
  const int32_t rank = n - handSize - 1;
  // Only a rank that has a marker: the markers are six, the dummy turns may be fewer.
  if (n <= handSize || rank >= dummies || rank >= CCardTable::kBombDummies) return 0;
  if (GVWnd* marker = CardWidgets().bombDummies[static_cast<size_t>(rank)]) marker->Show(0);
  return PlayClickedCard(deckCard);
}

int32_t CDorvik2VWS::PickSunCard(GVWnd* wnd) {
  if (GetPhase() != kPhaseSunPick || !IsSeated(RCUser::kNoUser)) return 0;
  const CVHTWnd* card = HandCardAt(wnd, 1);
  if (!card || card->floorSlot < 0) return 0;
  if (!SendSunPick(card->floorSlot, 0)) return 0;
  // The sender leaves the countdown running: a later expiry would pick a second time.
  StopGameTimer(kTurnTimer);
  model_.handPick = 0;
  PlayEffect(scene_hand::kPlayEffect, 0);
  SetAutoPlay(0);
  return 1;
}

int32_t CDorvik2VWS::HighlightHandCards(GVWnd* wnd, int32_t pressed, int32_t floorMode) {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (!model_.handPick || seat == PITable::kNoSeat) return 0;
  const CardList& list = floorMode ? model_.floor.floorCards : Seat(seat).hand;
  const int32_t state = pressed ? scene_hand::kPressed : scene_hand::kHover;
  int32_t changed = 0;
  int32_t pointed = -1;
  // In floor mode a card's marks are its floor slot's outline.
  auto markIndex = [&](const CVHTWnd* card, int32_t i) { return floorMode ? card->floorSlot : i; };
  for (int32_t i = 0; i < static_cast<int32_t>(list.size()); ++i) {
    CVHTWnd* card = CardWndById(list[static_cast<size_t>(i)]);
    if (!card) continue;
    if (card == wnd) {
      changed |= card->SetHighlight(state, this, markIndex(card, i), floorMode);
      pointed = i;
    } else if (card->highlightMode != 0) {
      changed |= card->SetHighlight(0, this, markIndex(card, i), floorMode);
    }
  }
  if (floorMode || pointed < 0 || pointed >= CVHTWnd::kHandMarks) return changed;
  GVWnd* bombHint = CardWidgets().handHints[static_cast<size_t>(pointed)][scene_hand::kBombHint];
  if (!bombHint || !bombHint->IsVisible()) return changed;
  // A bomb plays every card of the month at once: all of them take the state.
  const CardMonth month = CardWndById(list[static_cast<size_t>(pointed)])->month;
  for (int32_t i = 0; i < static_cast<int32_t>(list.size()); ++i) {
    CVHTWnd* card = CardWndById(list[static_cast<size_t>(i)]);
    if (card && card->month == month) changed |= card->SetHighlight(state, this, i, 0);
  }
  return changed;
}

void CDorvik2VWS::ResetHandCards(int32_t floorMode) {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (seat == PITable::kNoSeat) return;
  const CardList& list = floorMode ? model_.floor.floorCards : Seat(seat).hand;
  for (int32_t i = 0; i < static_cast<int32_t>(list.size()); ++i) {
    if (CVHTWnd* card = CardWndById(list[static_cast<size_t>(i)])) {
      card->ResetPlacement(this, floorMode ? card->floorSlot : i, floorMode);
    }
  }
}

// ---- Hint icons over my hand ---------------------------------------------------------------
void CDorvik2VWS::ShowHandCardHints(int32_t show) {
  using namespace scene_hand;
  const CardTableWidgets& w = CardWidgets();
  for (auto& slot : w.handHints) {
    for (size_t h = 0; h < slot.size(); ++h) {
      if (slot[h] && static_cast<int32_t>(h) != scene_build::kHoldAlertHint) slot[h]->Show(0);
    }
  }
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  // The hold-alert hints are the VIP alert's: it shows them with the others, or hides them.
  if (WidgetsLive()) vipMgr_.ShowHandComboWarnings(seat, show ? 1 : 0);
  if (!show || seat == PITable::kNoSeat || !WidgetsLive()) return;
  const CardList& hand = Seat(seat).hand;
  for (int32_t i = 0; i < static_cast<int32_t>(hand.size()) && i < CVHTWnd::kHandMarks; ++i) {
    CVHTWnd* card = CardWndById(hand[static_cast<size_t>(i)]);
    if (!card) continue;
    const int32_t onFloor = CountCardsOfMonth(model_.floor.floorCards, card->month);
    const int32_t inHand = CountCardsOfMonth(hand, card->month);
    int32_t hint = -1;
    if (IsBonusCard(card->cardId)) hint = kBonusHint;
    else if (inHand == kBombInHand && onFloor == 1) hint = kBombHint;
    else if (inHand == kCardsOfMonth) hint = kFourHint;
    else if (inHand == kBombInHand && onFloor == 0) hint = kShakeHint;
    else if (onFloor > 0) hint = kCanTakeHint;
    if (hint < 0) continue;
    if (GVWnd* icon = w.handHints[static_cast<size_t>(i)][static_cast<size_t>(hint)]) {
      icon->SetPos(card->GetPos());
      icon->Show(1);
    }
  }
  MarkDirty();
}

void CDorvik2VWS::ShowBombCardHint(int32_t state) {
  const CardTableWidgets& w = CardWidgets();
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  const CardList* hand = seat == PITable::kNoSeat ? nullptr : &Seat(seat).hand;
  for (int32_t i = 0; i < CVHTWnd::kHandMarks; ++i) {
    GVPSPWnd* outline = w.handOutlines[static_cast<size_t>(i + 1)];
    if (!outline) continue;
    CVHTWnd* card = hand && i < static_cast<int32_t>(hand->size()) ? CardWndById((*hand)[size_t(i)]) : nullptr;
    const bool bomb = card && CountCardsOfMonth(*hand, card->month) == scene_hand::kBombInHand &&
                      CountCardsOfMonth(model_.floor.floorCards, card->month) == 1;
    if (bomb) outline->SetPos(card->GetPos() - GSize(3, 3));
    outline->Show(bomb && state ? 1 : 0);
  }
  MarkDirty();
}

// ---- Avatars ---------------------------------------------------------------------------------
int32_t CDorvik2VWS::LoadSeatAvatar(int32_t seat) {
  if (seat < 0 || seat >= kSeats || !WidgetsLive()) return 0;
  const PlayerInfo& p = model_.room.seats.Player(seat);
  const int32_t side = SideOfSeat(seat);
  if (p.userNo == RCUser::kNoUser || p.avatarKey.empty() || side < 0 || side >= kSeats) return 0;
  std::string answer;
  if (!HostLink().GetAvatar(p.userId, p.avatarKey, answer)) return 0;
  std::vector<std::string> parts = SplitBarList(answer);
  return PlaceAvatar(side, parts);
}

int32_t CDorvik2VWS::PlaceAvatar(int32_t side, std::vector<std::string>& parts) {
  GVAvatarWnd*& slot = built_.widgets.avatars[static_cast<size_t>(side)];
  if (slot) DestroyWnd(slot);
  slot = CreateAvatarWnd(parts, scene_build::kAvatarPoints[static_cast<size_t>(side)]);
  if (!slot) return 0;
  // Drawn just before the status label, which stays readable over it.
  if (!built_.widgets.statusText || !InsertWndAfter(built_.widgets.statusText, slot)) AddWnd(slot);
  MarkWidgetDirty(slot);
  return 1;
}

void CDorvik2VWS::LoadAvatars() {
  for (int32_t seat = 0; seat < kSeats; ++seat) LoadSeatAvatar(seat);
}

int32_t CDorvik2VWS::RemoveAvatar(int32_t seat) { return RemoveSideAvatar(SideOfSeat(seat)); }

int32_t CDorvik2VWS::RemoveSideAvatar(int32_t side) {
  if (side < 0 || side >= kSeats) return 1;
  GVAvatarWnd*& slot = built_.widgets.avatars[static_cast<size_t>(side)];
  if (slot) {
    DestroyWnd(slot);
    slot = nullptr;
    MarkDirty();
  }
  return 1;
}

void CDorvik2VWS::ExchangeSideAvatars() {
  auto& avatars = built_.widgets.avatars;
  std::swap(avatars[0], avatars[1]);
  for (size_t side = 0; side < avatars.size(); ++side) {
    if (GVAvatarWnd* avatar = avatars[side]) avatar->SetPos(scene_build::kAvatarPoints[side]);
  }
  SetFullRedraw();
  MarkDirty();
}

void CDorvik2VWS::SetPlayerAvatar(const std::string& userId, const std::vector<std::string>& parts) {
  const int32_t seat = GetSeatById(userId);
  const int32_t side = seat == PITable::kNoSeat ? -1 : SideOfSeat(seat);
  if (!WidgetsLive() || side < 0 || side >= kSeats) return;
  std::vector<std::string> files = parts;
  PlaceAvatar(side, files);
}

void CDorvik2VWS::SetPlayerDisplayName(const std::string& userId, const std::string& name) {
  const int32_t seat = GetSeatById(userId);
  if (seat == PITable::kNoSeat) return;
  model_.room.seats.Player(seat).nickname = name;
  const int32_t side = SideOfSeat(seat);
  if (!WidgetsLive() || side < 0 || side >= kSeats) return;
  if (CVUserInfoWnd* panel = built_.widgets.seatPanels[static_cast<size_t>(side)]) {
    panel->SetNickname(name);
    MarkWidgetDirty(panel);
  }
}
