// Where every card lies: hand slots, floor slots spread by their card count, captured
// piles with their companions, pi rows with the counter, the deck, and the whole
// floor laid at once.
#include <algorithm>
#include <deque>

#include "scene/CCardTable.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVWS.h"

namespace table_layout {

constexpr int32_t kCardStep = 18;
constexpr int32_t kFloorSpan = 80;
constexpr int32_t kCardWidth = 36;
constexpr int32_t kHandColumns = 5;
constexpr int32_t kBottomHandX = 405;
constexpr int32_t kBottomHandStep = 43;
constexpr int32_t kBottomHandRows[2] = {388, 452};
constexpr int32_t kTopHandX = 472;
constexpr int32_t kTopHandStep = 27;
constexpr int32_t kTopHandRows[2] = {40, 78};
constexpr GPoint kAnchors[2][4] = {{{20, 458}, {118, 400}, {118, 458}, {260, 458}},
                                   {{20, 24}, {118, 24}, {118, 81}, {260, 81}}};
constexpr int32_t kSpans[2][4] = {{88, 132, 132, 136}, {88, 132, 132, 160}};
constexpr int32_t kPiRows = 4;
constexpr int32_t kPiRowValue = 10;
constexpr int32_t kPiRowDrop = 12;  // rows of the pi pile step down by this much
constexpr int32_t kPiCounterGap = 2;
constexpr int32_t kNineTenClipLeft = 6;
constexpr int32_t kDeckLayerCards = 4;
constexpr int32_t kBottomLook = 2;
constexpr int32_t kTopLook = 0;

bool IsSide(int32_t side) { return side == 0 || side == 1; }

}  // namespace table_layout

GPoint CCardTable::HandSlotPoint(int32_t side, int32_t slot) {
  using namespace table_layout;
  const int32_t column = slot % kHandColumns;
  const int32_t row = std::min(slot / kHandColumns, 1);
  if (side == 1) return {kTopHandX + column * kTopHandStep, kTopHandRows[row]};
  return {kBottomHandX + column * kBottomHandStep, kBottomHandRows[row]};
}

GPoint CCardTable::PileAnchor(int32_t side, int32_t kind) {
  return table_layout::kAnchors[side == 1 ? 1 : 0][std::clamp(kind, 0, 3)];
}

int32_t CCardTable::PileSpan(int32_t side, int32_t kind) {
  return table_layout::kSpans[side == 1 ? 1 : 0][std::clamp(kind, 0, 3)];
}

int32_t CCardTable::SpreadStep(int32_t n, int32_t span) {
  using namespace table_layout;
  if (n < 2 || (9 * n + 9) * 2 <= span) return kCardStep;
  return (span - kCardWidth) / (n - 1);
}

void CCardTable::RestackFloorSlot(int32_t slot) {
  if (slot < 0 || slot >= COpenInfo::kSlots) return;
  const COpen& open = model_.floor.slots.at(static_cast<size_t>(slot));
  if (open.cardCount <= 0) return;
  const int32_t step = SpreadStep(open.cardCount, table_layout::kFloorSpan);
  int32_t k = 0;
  for (int32_t w : model_.floor.floorCards) {
    CVHTWnd* card = CardWndById(w);
    if (!card || card->floorSlot != slot) continue;
    card->SetPos({open.x + k * step, open.y});
    ++k;
  }
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::PlaceCaptured(CVHTWnd* card, GPoint at) {
  card->SetPos(at);
  const FlowerCard id = card->cardId;
  GVWnd* companion = CompanionOf(id);
  if (!companion) return;
  companion->SetPos(at);
  companion->Show(1);
  host_.CardWndList().InsertWndAfter(card, companion);
}

void CCardTable::RelayoutCapturedPile(int32_t seat, int32_t kind) {
  if (kind == kKindPi) {
    RelayoutPiPile(seat);
    return;
  }
  const int32_t side = host_.SideOfSeat(seat);
  if (!table_layout::IsSide(side) || kind < 0 || kind > kKindPi) return;
  const CardList& pile = Seat(seat).captured.at(static_cast<size_t>(kind));
  if (pile.empty()) return;
  const int32_t step = SpreadStep(static_cast<int32_t>(pile.size()), PileSpan(side, kind));
  const GPoint anchor = PileAnchor(side, kind);
  int32_t k = 0;
  for (int32_t w : pile) {
    CVHTWnd* card = CardWndById(w);
    if (!card) continue;
    PlaceCaptured(card, {anchor.x + k++ * step, anchor.y});
  }
  if (kind == kKindYeol) ShowNineTenClip(seat, model_.game.nineTenChoice == 0 ? 1 : 0);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

std::vector<CCardTable::CardList> CCardTable::PiRows(const CardList& pile) const {
  using namespace table_layout;
  std::vector<CardList> rows;
  std::deque<int32_t> rest(pile.begin(), pile.end());
  while (!rest.empty()) {
    CardList row;
    if (static_cast<int32_t>(rows.size()) == kPiRows - 1) {
      row.assign(rest.begin(), rest.end());
      rows.push_back(row);
      break;
    }
    int32_t value = 0;
    while (!rest.empty() && value < kPiRowValue) {
      value += PiValueOf(CardIdOfWidget(rest.front()));
      row.push_back(rest.front());
      rest.pop_front();
    }
    if (value > kPiRowValue) {
      // An over-full row hands its last double card on, so no row shows more than ten.
      auto it = std::find_if(row.rbegin(), row.rend(), [this](int32_t w) {
        const int32_t v = PiValueOf(CardIdOfWidget(w));
        return v == 2 || v == 3;
      });
      if (it != row.rend()) {
        rest.push_front(*it);
        row.erase(std::next(it).base());
      }
    }
    rows.push_back(row);
  }
  return rows;
}

void CCardTable::RelayoutPiPile(int32_t seat) {
  using namespace table_layout;
  const int32_t side = host_.SideOfSeat(seat);
  if (!IsSide(side)) return;
  CHTUser& user = Seat(seat);
  const CardList& pile = user.captured[kKindPi];
  user.piScore = PiValueOfPile(pile);
  const GPoint anchor = PileAnchor(side, kKindPi);
  const int32_t span = PileSpan(side, kKindPi);
  GPoint last{-1, -1};
  int32_t r = 0;
  for (const CardList& row : PiRows(pile)) {
    const int32_t step = SpreadStep(static_cast<int32_t>(row.size()), span);
    int32_t k = 0;
    for (int32_t w : row) {
      CVHTWnd* card = CardWndById(w);
      if (!card) continue;
      last = {anchor.x + k++ * step, anchor.y + r * kPiRowDrop};
      PlaceCaptured(card, last);
    }
    ++r;
  }
  GVWnd* counter = widgets_.piCounters[static_cast<size_t>(side)];
  if (counter && last.x >= 0) counter->SetPos({last.x + kCardWidth + kPiCounterGap, last.y});
  SetPiCountText(side, user.piScore);
  host_.MarkCardsDirty();
  host_.RedrawCards();
}

void CCardTable::SetPiCountText(int32_t side, int32_t n) {
  if (!table_layout::IsSide(side)) return;
  if (CVCountWnd* counter = widgets_.piCounters[static_cast<size_t>(side)]) counter->SetCount(n);
}

int32_t CCardTable::ShowNineTenClip(int32_t seat, int32_t show) {
  GVWnd* clip = widgets_.nineTenClip;
  if (!show) {
    if (clip) clip->Show(0);
    return 0;
  }
  if (!clip || seat < 0 || seat >= kSeats) return 0;
  const int32_t w = FindWidgetOfCard(Seat(seat).captured[kKindYeol], kSeptemberYeol);
  CVHTWnd* card = w < 0 ? nullptr : CardWndById(w);
  if (!card) return 0;
  clip->SetPos(card->GetPos() - GSize(table_layout::kNineTenClipLeft, 0));
  clip->Show(1);
  host_.CardWndList().InsertWndAfter(card, clip);
  host_.MarkCardsDirty();
  return 1;
}

void CCardTable::ShowMissionMarks(int32_t show, const std::function<bool(FlowerCard)>& isMissionCard) {
  // The marks are kept by card id, so a mark goes with the card and not its widget.
  for (GVQLAniWnd* mark : widgets_.missionIcons) {
    if (mark) mark->Show(0);
  }
  if (show) {
    for (const int32_t w : model_.floor.floorCards) {
      CVHTWnd* card = CardWndById(w);
      if (!card || !IsCardId(card->cardId) || !isMissionCard(card->cardId)) continue;
      GVQLAniWnd* mark = widgets_.missionIcons[static_cast<size_t>(card->cardId)];
      if (!mark) continue;
      mark->SetPos(card->GetPos());
      mark->Show(1);
      BringCardForward(mark);
    }
  }
  host_.MarkCardsDirty();
}

int32_t CCardTable::FloorSlotForMonth(CardMonth month) const {
  const int32_t match = FindCardOfMonth(model_.floor.floorCards, month);
  const CVHTWnd* card = match < 0 ? nullptr : CardWndById(match);
  if (card && card->floorSlot >= 0 && card->floorSlot < COpenInfo::kSlots) return card->floorSlot;
  for (int32_t slot = 0; slot < COpenInfo::kSlots; ++slot) {
    if (model_.floor.slots.at(static_cast<size_t>(slot)).cardCount == 0) return slot;
  }
  return 0;
}

CVHTWnd* CCardTable::TakeDeckCard(int32_t& widget) {
  widget = TakeDeckWidget();
  return widget < 0 ? nullptr : CardWndById(widget);
}

GVWnd* CCardTable::CompanionOf(FlowerCard id) const {
  return IsCardId(id) ? widgets_.companions[static_cast<size_t>(id)] : nullptr;
}

int32_t CCardTable::TakeDeckWidget() {
  CardList& deck = model_.game.deck;
  if (deck.empty()) return -1;
  const int32_t w = deck.front();
  deck.erase(deck.begin());
  return w;
}

int32_t CCardTable::PlaceFloorCards(const std::vector<FlowerCard>& ids,
                                     std::vector<std::array<int32_t, 2>>& bonusPairs, int32_t keep,
                                     FlowerCard lastId) {
  if (ids.empty()) {
    if (keep) return 0;
    model_.game.lastFloorSlot = 0;
    return 1;
  }
  std::vector<FlowerCard> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  // Two widgets must never show one card.
  if (sorted.front() < 0 || sorted.back() >= kCardCount ||
      std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end() || model_.game.deck.size() < sorted.size()) {
    return 0;
  }
  model_.floor.floorCards.clear();
  for (FlowerCard id : sorted) {
    int32_t slot = 0;
    if (IsBonusCard(id)) {
      auto pair = std::find_if(bonusPairs.begin(), bonusPairs.end(), [id](const auto& p) { return p[1] == id; });
      if (pair == bonusPairs.end()) return 0;
      const int32_t match = FindCardOfMonth(model_.floor.floorCards, (*pair)[0]);
      const int32_t host = match >= 0 ? match : FirstCard(model_.floor.floorCards);
      slot = host >= 0 && CardWndById(host) ? CardWndById(host)->floorSlot : FloorSlotForMonth(kBonusMonth);
    } else {
      slot = FloorSlotForMonth(CardInfoOf(id).month);
    }
    if (slot < 0 || slot >= COpenInfo::kSlots) return 0;
    int32_t w = -1;
    CVHTWnd* card = TakeDeckCard(w);
    if (!card) return 0;
    RevealCard(card, id);
    model_.floor.floorCards.push_back(w);
    ++model_.floor.slots.at(static_cast<size_t>(slot)).cardCount;
    card->floorSlot = slot;
    if (id == lastId) model_.game.lastFloorSlot = slot;
  }
  if (model_.game.lastFloorSlot < 0) model_.game.lastFloorSlot = 0;
  for (int32_t slot = 0; slot < COpenInfo::kSlots; ++slot) RestackFloorSlot(slot);
  bonusPairs.clear();
  return 1;
}

void CCardTable::StackDeck(int32_t all) {
  GPoint at = kDeckPoint;
  int32_t placed = 0;
  auto place = [&](int32_t w) {
    CVHTWnd* card = CardWndById(w);
    if (!card) return;
    card->SetPos(at);
    card->Show(1);
    if (++placed % table_layout::kDeckLayerCards == 0) at -= GSize(1, 1);
  };
  if (all) {
    for (int32_t w = kCardWidgets - 1; w >= 0; --w) place(w);
  } else {
    const CardList& deck = model_.game.deck;
    for (auto it = deck.rbegin(); it != deck.rend(); ++it) place(*it);
  }
  host_.MarkCardsDirty();
}

void CCardTable::PlaceHand(int32_t seat) {
  const int32_t side = host_.SideOfSeat(seat);
  if (!table_layout::IsSide(side)) return;
  const CardList& hand = Seat(seat).hand;
  const int32_t count = std::min(static_cast<int32_t>(hand.size()), kHandSlots);
  for (int32_t k = 0; k < count; ++k) {
    CVHTWnd* card = CardWndById(hand[static_cast<size_t>(k)]);
    if (!card) continue;
    card->SetPos(HandSlotPoint(side, k));
    SetCardSize(card, side == 0 ? table_layout::kBottomLook : table_layout::kTopLook);
    card->Show(1);
  }
}

void CCardTable::PlaceSeats() {
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    if (!table_layout::IsSide(host_.SideOfSeat(seat))) continue;
    PlaceHand(seat);
    PlaceBombDummies(seat);
    for (int32_t kind = kKindGwang; kind <= kKindPi; ++kind) RelayoutCapturedPile(seat, kind);
  }
}
