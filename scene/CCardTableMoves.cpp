// Cards travelling between places: line and arc paths, the zoomed play with its glow
// and shadow, the deals, plays, flips, captures and steals. Every frame waits through
// the host's nested wait on the table's frame time, so the clock alone paces a move.
#include <algorithm>

#include "plat/crt.h"
#include "scene/CCardTable.h"
#include "scene/SceneEffects.h"
#include "widgets/GVWS.h"

namespace table_moves {

constexpr GSize kZoomSize{56, 86};
constexpr GSize kFlightEnd{36, 55};
constexpr int32_t kZoomLeft = 10;
constexpr int32_t kZoomRightFaceUp = 5;
constexpr int32_t kZoomUp = 15;
constexpr GSize kScreenLimit{800, 520};
constexpr GSize kShadowOffset{20, 15};
constexpr int32_t kShadowOpacity = 6;
constexpr uint32_t kZoomPauseMs = 250;
constexpr uint32_t kDealPauseMs = 200;
constexpr uint32_t kGatherPauseMs = 100;
constexpr uint32_t kQuietDealPauseMs = 500;
constexpr GSize kOntoCard{5, 0};
constexpr GSize kArcControl{100, -60};
constexpr int32_t kFloorDealCards = 4;
constexpr int32_t kHandDealCards = 5;
constexpr int32_t kGatherSlots = 8;
constexpr int32_t kMediumLook = 1;
constexpr int32_t kBottomLook = 2;
constexpr int32_t kTopLook = 0;
// Effects and voice cues.
constexpr int32_t kEffectDealDone = scene_effects::kDealDone;
constexpr int32_t kEffectDeal = scene_effects::kDeal;
constexpr int32_t kEffectSlide = scene_effects::kSlide;
constexpr int32_t kEffectLand = scene_effects::kLand;
constexpr int32_t kEffectHit = scene_effects::kHit;
constexpr int32_t kEffectHitGo3 = scene_effects::kHitGo3;
constexpr int32_t kEffectHitGo6 = scene_effects::kHitGo6;
constexpr int32_t kEffectStuck = scene_effects::kStuck;
constexpr int32_t kVoiceFirstAlone = 10035;
constexpr int32_t kVoiceFirstDouble = 10034;

GPoint Jitter(GPoint p) {
  p.x += plat::crt::rand() % 3 - 1;
  p.y += plat::crt::rand() % 3 - 1;
  return p;
}

int32_t HitEffect(int32_t goCount) {
  if (goCount >= 6) return kEffectHitGo6;
  return goCount >= 3 ? kEffectHitGo3 : kEffectHit;
}

bool IsFirstTurns(int32_t turnCount) { return turnCount == 1 || turnCount == 2; }

void Erase(std::vector<int32_t>& list, int32_t value) {
  auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

// A path's first point is where the card already stands.
void DropStart(CVHTWnd* card) {
  if (card && !card->path.empty()) card->path.pop_front();
}

}  // namespace table_moves

void CCardTable::BuildLinePath(std::list<GPoint>& path, GPoint start, GPoint target, int32_t n) {
  path.clear();
  if (n <= 0) n = 1;
  for (int32_t j = 0; j <= n; ++j) {
    path.push_back({((n - j) * start.x + j * target.x) / n, ((n - j) * start.y + j * target.y) / n});
  }
}

void CCardTable::BuildLinePath(CVHTWnd* card, GPoint target, int32_t n) {
  if (card) BuildLinePath(card->path, card->GetPos(), target, n);
}

GPoint CCardTable::BezierPoint(std::vector<GPoint> points, int32_t a, int32_t b, int32_t degree, int32_t n) {
  if (points.empty()) return {};
  if (n == 0) n = 1;
  degree = std::clamp(degree, 0, static_cast<int32_t>(points.size()) - 1);
  for (int32_t d = 0; d < degree; ++d) {
    for (size_t i = 0; i + 1 + static_cast<size_t>(d) < points.size(); ++i) {
      const GPoint p = points[i];
      const GPoint q = points[i + 1];
      points[i] = {(p.x * a + q.x * b) / n, (p.y * a + q.y * b) / n};
    }
  }
  return points.front();
}

int32_t CCardTable::BuildArcPath(CVHTWnd* card, GPoint target, int32_t n) {
  if (!card) return 0;
  if (n <= 0) n = 1;
  const GPoint start = card->GetPos();
  const std::vector<GPoint> controls{start, start + table_moves::kArcControl, target};
  for (int32_t k = 0; k <= n; ++k) card->path.push_back(BezierPoint(controls, n - k, k, 2, n));
  return n;
}

void CCardTable::WaitCardFrame() {
  if (skipNextWait_) {
    skipNextWait_ = 0;
    return;
  }
  frameWatch_.Start();
  host_.WaitWhileCardsMove(static_cast<uint32_t>(cardFrameMs_));
  if (frameWatch_.ElapsedMs() > 2 * cardFrameMs_ && speed_ > 0) skipNextWait_ = 1;
}

void CCardTable::RunCardPaths(int32_t frames) {
  for (CVHTWnd* card : widgets_.cards) table_moves::DropStart(card);
  for (int32_t f = 0; f < frames; ++f) {
    bool moved = false;
    for (CVHTWnd* card : widgets_.cards) {
      if (!card || card->path.empty()) continue;
      card->SetPos(card->path.front());
      card->path.pop_front();
      moved = true;
    }
    if (!moved) break;
    host_.MarkCardsDirty();
    WaitCardFrame();
  }
  for (CVHTWnd* card : widgets_.cards) {
    if (card) card->path.clear();
  }
}

void CCardTable::RevealCard(CVHTWnd* card, FlowerCard id) {
  if (!card) return;
  card->SetCard(id);
  UpdateCardBoard(card->cardId, 0);
}

void CCardTable::BringCardForward(GVWnd* card) {
  GVWS& list = host_.CardWndList();
  // A ceiling not (yet) in the list leaves the card the very top.
  if (GVWnd* ceiling = host_.CardCeiling(); ceiling && list.InsertWndAfter(ceiling, card)) return;
  if (list.GetTopWnd() != card) {
    list.RemoveWnd(card);
    list.AddWndAtTop(card);
  }
}

void CCardTable::MoveCardTo(int32_t widget, GPoint target, int32_t steps, int32_t face, int32_t zoom) {
  using namespace table_moves;
  CVHTWnd* card = CardWndById(widget);
  if (!card) return;
  if (steps <= 0) steps = 1;
  lastMoveSteps_ = steps;
  GVWS& list = host_.CardWndList();
  BringCardForward(card);
  GVDDSWnd* shadow = zoom ? widgets_.shadow : nullptr;
  GSize size = kZoomSize;
  if (zoom) {
    GPoint at = card->GetPos() + GSize(face ? kZoomRightFaceUp : -kZoomLeft, -kZoomUp);
    at.x = std::max(std::min(at.x, kScreenLimit.cx - size.cx), 0);
    at.y = std::max(std::min(at.y, kScreenLimit.cy - size.cy), 0);
    card->SetRect(GRect(at, size));
    card->ShowFrame(card->cardId);
    if (GVWnd* glow = widgets_.glow) {
      glow->SetPos(at);
      glow->Show(1);
      list.InsertWndBefore(card, glow);
    }
    if (shadow) {
      shadow->SetRect(GRect(at + kShadowOffset, size));
      shadow->SetOpacity(kShadowOpacity);
      shadow->Show(1);
      list.InsertWndAfter(card, shadow);
    }
    host_.MarkCardsDirty();
    host_.WaitWhileCardsMove(kZoomPauseMs);
  }
  BuildLinePath(card, target, steps);
  DropStart(card);
  std::list<GPoint> shadowPath;
  if (shadow) {
    BuildLinePath(shadowPath, shadow->GetPos(), target + kShadowOffset, steps);
    shadowPath.pop_front();
  }
  const GSize shrink((kZoomSize.cx - kFlightEnd.cx) / steps, (kZoomSize.cy - kFlightEnd.cy) / steps);
  for (int32_t step = 0; step < steps && !card->path.empty(); ++step) {
    const GPoint at = card->path.front();
    card->path.pop_front();
    if (zoom) {
      size = GSize(std::max(size.cx - shrink.cx, kFlightEnd.cx), std::max(size.cy - shrink.cy, kFlightEnd.cy));
      card->SetRect(GRect(at, size));
      if (shadow && !shadowPath.empty()) {
        shadow->SetRect(GRect(shadowPath.front(), size));
        shadowPath.pop_front();
      }
    } else {
      card->SetPos(at);
    }
    host_.MarkCardsDirty();
    WaitCardFrame();
  }
  if (shadow) shadow->Show(0);
  card->SetRect(GRect(card->GetPos(), kFlightEnd));
  host_.MarkCardsDirty();
}

void CCardTable::MoveCardSprites(int32_t first, int32_t count) {
  using namespace table_moves;
  host_.PlayCardEffect(kEffectDeal);
  CardList& floor = model_.floor.floorCards;
  first = std::clamp(first, 0, COpenInfo::kSlots);
  count = std::clamp(count, 0, std::min(COpenInfo::kSlots - first, static_cast<int32_t>(floor.size()) - first));
  for (int32_t k = 0; k < count; ++k) {
    const COpen& slot = model_.floor.slots.at(static_cast<size_t>(first + k));
    GPoint target{slot.x, slot.y};
    if (count < COpenInfo::kSlots) target = Jitter(target);
    BuildLinePath(CardWndById(floor[static_cast<size_t>(first + k)]), target, AnimSteps(kDealSteps));
  }
  RunCardPaths(AnimSteps(kDealSteps));
  for (int32_t k = 0; k < count && !model_.game.dealCards.empty(); ++k) {
    CVHTWnd* card = CardWndById(floor[static_cast<size_t>(first + k)]);
    if (!card) continue;
    RevealCard(card, model_.game.dealCards.front());
    model_.game.dealCards.erase(model_.game.dealCards.begin());
    card->floorSlot = first + k;
    ++model_.floor.slots.at(static_cast<size_t>(first + k)).cardCount;
  }
  host_.MarkCardsDirty();
  host_.WaitWhileCardsMove(kDealPauseMs);
}

void CCardTable::DealHandCards(int32_t seat, int32_t first, int32_t count) {
  using namespace table_moves;
  if (seat < 0 || seat >= kSeats) return;
  const int32_t side = host_.SideOfSeat(seat) == 1 ? 1 : 0;
  CardList& hand = Seat(seat).hand;
  std::vector<CVHTWnd*> dealt;
  for (int32_t k = 0; k < count && first + k < kHandSlots; ++k) {
    const int32_t w = TakeDeckWidget();
    if (w < 0) break;
    hand.push_back(w);
    CVHTWnd* card = CardWndById(w);
    BuildLinePath(card, HandSlotPoint(side, first + k), AnimSteps(kDealSteps));
    dealt.push_back(card);
  }
  RunCardPaths(AnimSteps(kDealSteps));
  const bool mine = host_.IsMyHumanSeat(seat);
  for (CVHTWnd* card : dealt) {
    if (!card) continue;
    if (mine && !model_.game.dealtHand.empty()) {
      RevealCard(card, model_.game.dealtHand.front());
      model_.game.dealtHand.erase(model_.game.dealtHand.begin());
    }
    SetCardSize(card, side == 0 ? kBottomLook : kTopLook);
  }
  host_.MarkCardsDirty();
}

void CCardTable::OpeningDeal() {
  using namespace table_moves;
  CardList& deck = model_.game.deck;
  deck.clear();
  for (int32_t w = 0; w < kCardWidgets; ++w) deck.push_back(w);
  auto dealFloor = [this](int32_t first) {
    for (int32_t k = 0; k < kFloorDealCards; ++k) {
      const int32_t w = TakeDeckWidget();
      if (w >= 0) model_.floor.floorCards.push_back(w);
    }
    MoveCardSprites(first, kFloorDealCards);
  };
  dealFloor(0);
  DealHandCards(1, 0, kHandDealCards);
  DealHandCards(0, 0, kHandDealCards);
  dealFloor(kFloorDealCards);
  DealHandCards(1, kHandDealCards, kHandDealCards);
  DealHandCards(0, kHandDealCards, kHandDealCards);
  host_.PlayCardEffect(kEffectDealDone);
  if (!GatherFloorMonths()) host_.WaitWhileCardsMove(kQuietDealPauseMs);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

int32_t CCardTable::GatherFloorMonths() {
  using namespace table_moves;
  int32_t moved = 0;
  CardList& floor = model_.floor.floorCards;
  for (int32_t slot = 0; slot < kGatherSlots; ++slot) {
    COpen& here = model_.floor.slots.at(static_cast<size_t>(slot));
    if (here.cardCount <= 0) continue;
    auto first = std::find_if(floor.begin(), floor.end(), [&](int32_t w) {
      return CardWndById(w) && CardWndById(w)->floorSlot == slot;
    });
    if (first == floor.end()) continue;
    const CardMonth month = CardWndById(*first)->month;
    for (int32_t w : CardList(floor)) {
      CVHTWnd* card = CardWndById(w);
      if (!card || card->month != month || card->floorSlot == slot) continue;
      if (card->floorSlot < 0 || card->floorSlot >= COpenInfo::kSlots) continue;
      COpen& old = model_.floor.slots.at(static_cast<size_t>(card->floorSlot));
      old.cardCount = std::max(old.cardCount - 1, 0);
      ++here.cardCount;
      card->floorSlot = slot;
      MoveCardTo(w, {here.x, here.y}, AnimSteps(kDealSteps), 0, 0);
      RestackFloorSlot(slot);
      host_.WaitWhileCardsMove(kGatherPauseMs);
      moved = 1;
    }
  }
  return moved;
}

CVHTWnd* CCardTable::TakeHandCard(FlowerCard cardId, int32_t seat, int32_t& w) {
  w = -1;
  if (seat < 0 || seat >= kSeats || !IsCardId(cardId)) return nullptr;
  CardList& hand = Seat(seat).hand;
  if (host_.SideOfSeat(seat) == 0 && host_.IsMyHumanSeat(seat)) {
    w = FindWidgetOfCard(hand, cardId);
  } else if (!hand.empty()) {
    // The other side's cards are face-down placeholders: the last one becomes the card.
    w = hand.back();
    RevealCard(CardWndById(w), cardId);
  }
  CVHTWnd* card = w < 0 ? nullptr : CardWndById(w);
  if (!card) {
    w = -1;
    return nullptr;
  }
  card->Show(1);
  SetCardSize(card, table_moves::kMediumLook);
  table_moves::Erase(hand, w);
  return card;
}

void CCardTable::PlayCardToFloor(FlowerCard cardId, int32_t seat, int32_t flag) {
  using namespace table_moves;
  int32_t w = -1;
  CVHTWnd* card = TakeHandCard(cardId, seat, w);
  if (!card) return;
  const int32_t side = host_.SideOfSeat(seat);
  const int32_t slot = FloorSlotForMonth(card->month);
  model_.game.lastFloorSlot = slot;
  model_.game.lastPlayedMonth = card->month;
  model_.floor.floorCards.push_back(w);
  COpen& open = model_.floor.slots.at(static_cast<size_t>(slot));
  ++open.cardCount;
  card->floorSlot = slot;
  GPoint target = GPoint(open.x, open.y) + kOntoCard;
  if (open.cardCount < 2) target = Jitter(target);
  MoveCardTo(w, target, AnimSteps(kDealSteps), side == 0 ? 1 : 0, 1);
  if (open.cardCount > 1) {
    host_.PlayCardEffect(HitEffect(Seat(seat).goCount));
    RestackFloorSlot(slot);
    if (flag != 0 || open.cardCount >= 4) ++model_.game.matchedCount;
  } else {
    host_.PlayCardEffect(kEffectLand);
    card->SetPos({open.x, open.y});
  }
  host_.MarkCardsDirty();
}

void CCardTable::FlipDeckCard(FlowerCard cardId, int32_t seat) {
  using namespace table_moves;
  const CardInfo info = CardInfoOf(cardId);
  if (!IsCardId(cardId)) return;
  const bool bonus = info.month == kBonusMonth;
  const int32_t slot = bonus && model_.game.lastFloorSlot >= 0 ? model_.game.lastFloorSlot : FloorSlotForMonth(info.month);
  if (model_.game.deck.empty() || slot >= COpenInfo::kSlots) return;
  const int32_t before = CountCardsOfMonth(model_.floor.floorCards, info.month);
  int32_t w = -1;
  CVHTWnd* card = TakeDeckCard(w);
  if (!card) return;
  RevealCard(card, cardId);
  model_.floor.floorCards.push_back(w);
  COpen& open = model_.floor.slots.at(static_cast<size_t>(slot));
  ++open.cardCount;
  card->floorSlot = slot;
  GPoint target = GPoint(open.x, open.y) + kOntoCard;
  if (open.cardCount < 2) target = Jitter(target);
  if (model_.game.deck.empty() && widgets_.deckShadow) widgets_.deckShadow->Show(0);
  MoveCardTo(w, target, AnimSteps(kDealSteps), 0, 1);
  const bool seated = seat >= 0 && seat < kSeats;
  const bool firstTurns = IsFirstTurns(model_.game.turnCount);
  if (open.cardCount <= 1) {
    host_.PlayCardEffect(kEffectLand);
    if (!bonus && seated && firstTurns && model_.game.matchedCount == 0) {
      const auto& piles = Seat(seat).captured;
      if (std::all_of(piles.begin(), piles.end(), [](const CardList& p) { return p.empty(); })) {
        host_.PlayCardVoice(kVoiceFirstAlone, seat);
      }
    }
  } else {
    const bool stuck = card->month == model_.game.lastPlayedMonth && before == 2;
    if (seated) {
      host_.PlayCardEffect(stuck ? kEffectHit : HitEffect(Seat(seat).goCount));
      if (stuck) host_.PlayCardEffect(kEffectStuck);
    }
    RestackFloorSlot(slot);
    if (!bonus) {
      ++model_.game.matchedCount;
      if (!stuck && seated && firstTurns && model_.game.matchedCount >= 2) host_.PlayCardVoice(kVoiceFirstDouble, seat);
    }
  }
  model_.game.lastPlayedMonth = -1;
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::TakeFloorCard(FlowerCard cardId, int32_t seat) {
  using namespace table_moves;
  if (seat < 0 || seat >= kSeats || !IsCardId(cardId)) return;
  const int32_t w = FindWidgetOfCard(model_.floor.floorCards, cardId);
  CVHTWnd* card = w < 0 ? nullptr : CardWndById(w);
  if (!card || card->floorSlot < 0 || card->floorSlot >= COpenInfo::kSlots || card->kind < 0) return;
  host_.NoteMissionCard(seat, cardId, 0);
  COpen& open = model_.floor.slots.at(static_cast<size_t>(card->floorSlot));
  card->floorSlot = -1;
  open.cardCount = std::max(open.cardCount - 1, 0);
  Erase(model_.floor.floorCards, w);
  host_.ShowMissionCardMarks(1);
  Seat(seat).captured.at(static_cast<size_t>(card->kind)).push_back(w);
  ++model_.game.capturedPerMonth.at(static_cast<size_t>(card->month));
  const int32_t side = host_.SideOfSeat(seat);
  const int32_t steps = AnimSteps(kCaptureSteps) + (side == 1 ? 1 : 0);
  MoveCardTo(w, PileAnchor(side, card->kind), steps, 0, 0);
  RelayoutCapturedPile(seat, card->kind);
  host_.PlayCardEffect(kEffectLand);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::StealPi(FlowerCard cardId, int32_t from, int32_t to) {
  using namespace table_moves;
  if (from < 0 || from >= kSeats || to < 0 || to >= kSeats || !IsCardId(cardId)) return;
  CardList& pile = Seat(from).captured[kKindPi];
  const int32_t w = FindWidgetOfCard(pile, cardId);
  CVHTWnd* card = w < 0 ? nullptr : CardWndById(w);
  if (!card) return;
  // The stolen card leaves the other seat's pile: the mission panel takes it from there.
  host_.NoteMissionCard(to, cardId, 1);
  if (GVWnd* companion = CompanionOf(card->cardId)) companion->Show(0);
  Erase(pile, w);
  Seat(to).captured[kKindPi].push_back(w);
  host_.PlayCardEffect(kEffectSlide);
  const int32_t steps = AnimSteps(kCaptureSteps) + (host_.SideOfSeat(from) != 0 && host_.SideOfSeat(to) != 0 ? 2 : 0);
  MoveCardTo(w, PileAnchor(host_.SideOfSeat(to), kKindPi), steps, 0, 0);
  RelayoutPiPile(from);
  RelayoutPiPile(to);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::MoveCapturedCard(FlowerCard cardId, int32_t seat, int32_t fromKind, int32_t toKind) {
  using namespace table_moves;
  if (seat < 0 || seat >= kSeats || fromKind < 0 || fromKind > kKindPi || toKind < 0 || toKind > kKindPi ||
      !IsCardId(cardId))
    return;
  CardList& pile = Seat(seat).captured.at(static_cast<size_t>(fromKind));
  const int32_t w = FindWidgetOfCard(pile, cardId);
  CVHTWnd* card = w < 0 ? nullptr : CardWndById(w);
  if (!card) return;
  host_.NoteMissionCard(seat, cardId, 0);
  if (GVWnd* companion = CompanionOf(card->cardId)) companion->Show(0);
  Erase(pile, w);
  Seat(seat).captured.at(static_cast<size_t>(toKind)).push_back(w);
  host_.PlayCardEffect(kEffectSlide);
  MoveCardTo(w, PileAnchor(host_.SideOfSeat(seat), toKind), AnimSteps(kCaptureSteps), 0, 0);
  RelayoutCapturedPile(seat, fromKind);
  RelayoutCapturedPile(seat, toKind);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::AddDeckCardsToPile(int32_t seat, int32_t kind, const std::vector<FlowerCard>& ids) {
  if (seat < 0 || seat >= kSeats || kind < 0 || kind > kKindPi) return;
  if (!std::all_of(ids.begin(), ids.end(), IsCardId)) return;
  for (FlowerCard id : ids) {
    host_.NoteMissionCard(seat, id, 0);
    int32_t w = -1;
    CVHTWnd* card = TakeDeckCard(w);
    if (!card) break;
    Seat(seat).captured.at(static_cast<size_t>(kind)).push_back(w);
    RevealCard(card, id);
    if (card->month >= 0 && card->month < CGameInfo::kMonths) {
      ++model_.game.capturedPerMonth.at(static_cast<size_t>(card->month));
    }
  }
  RelayoutCapturedPile(seat, kind);
}

void CCardTable::DrawCardToHand(int32_t seat, FlowerCard cardId) {
  using namespace table_moves;
  if (seat < 0 || seat >= kSeats) return;
  CardList& hand = Seat(seat).hand;
  if (static_cast<int32_t>(hand.size()) >= kHandSlots) return;
  const int32_t side = host_.SideOfSeat(seat) == 1 ? 1 : 0;
  const bool shown = side == 0 && host_.IsMyHumanSeat(seat);
  // A card already on the table would show twice: such a draw is not made.
  if (shown && IsCardId(cardId) &&
      std::any_of(widgets_.cards.begin(), widgets_.cards.end(),
                  [cardId](const CVHTWnd* w) { return w && w->cardId == cardId; }))
    return;
  int32_t w = -1;
  CVHTWnd* card = TakeDeckCard(w);
  if (!card) return;
  hand.push_back(w);
  host_.PlayCardEffect(kEffectSlide);
  if (shown && IsCardId(cardId)) RevealCard(card, cardId);
  MoveCardTo(w, HandSlotPoint(side, static_cast<int32_t>(hand.size()) - 1), AnimSteps(kDealSteps), 0, 0);
  SetCardSize(card, side == 0 ? kBottomLook : kTopLook);
}

void CCardTable::DealDummyCards(int32_t seat, int32_t count) {
  using namespace table_moves;
  if (seat < 0 || seat >= kSeats) return;
  CardList& hand = Seat(seat).hand;
  const int32_t side = host_.SideOfSeat(seat) == 1 ? 1 : 0;
  for (int32_t k = 0; k < count && static_cast<int32_t>(hand.size()) < kHandSlots; ++k) {
    int32_t w = -1;
    CVHTWnd* card = TakeDeckCard(w);
    if (!card) break;
    hand.push_back(w);
    card->SetPos(HandSlotPoint(side, static_cast<int32_t>(hand.size()) - 1));
    SetCardSize(card, side == 0 ? kBottomLook : kTopLook);
    card->Show(1);
  }
  host_.MarkCardsDirty();
}

void CCardTable::SortMyHand(int32_t seat, int32_t /*flag*/) {
  using namespace table_moves;
  if (!host_.IsMyHumanSeat(seat)) return;
  CardList& hand = Seat(seat).hand;
  std::vector<FlowerCard> ids;
  for (int32_t w : hand) ids.push_back(CardIdOfWidget(w));
  std::sort(ids.begin(), ids.end());
  const int32_t count = static_cast<int32_t>(hand.size());
  for (int32_t k = 0; k < count; ++k) {
    CVHTWnd* card = CardWndById(hand[static_cast<size_t>(k)]);
    if (!card) continue;
    card->SetCard(ids[static_cast<size_t>(k)]);
    if (k < kHandSlots) card->SetPos(HandSlotPoint(0, k));
  }
  PlaceBombDummies(seat);
  host_.MarkCardsDirty();
}

void CCardTable::PlaceBombDummies(int32_t seat) {
  using namespace table_moves;
  if (!host_.IsMyHumanSeat(seat)) return;
  const int32_t count = static_cast<int32_t>(Seat(seat).hand.size());
  const int32_t dummies = std::clamp(Seat(seat).bombDummyCount, 0, kBombDummies);
  for (int32_t m = 0; m < kBombDummies; ++m) {
    GVWnd* marker = widgets_.bombDummies[static_cast<size_t>(m)];
    if (!marker) continue;
    const int32_t slot = count + m;
    const bool shown = m < dummies && slot < kHandSlots;
    if (shown) marker->SetPos(HandSlotPoint(0, slot));
    marker->Show(shown ? 1 : 0);
  }
}

void CCardTable::PlayBonusCard(FlowerCard cardId, int32_t seat, int32_t sort) {
  using namespace table_moves;
  int32_t w = -1;
  CVHTWnd* card = TakeHandCard(cardId, seat, w);
  if (!card) return;
  const int32_t side = host_.SideOfSeat(seat);
  Seat(seat).captured[kKindPi].push_back(w);
  MoveCardTo(w, PileAnchor(side, kKindPi), AnimSteps(kCaptureSteps), 0, 0);
  host_.PlayCardEffect(kEffectLand);
  RelayoutPiPile(seat);
  if (sort) SortMyHand(seat, 0);
}
