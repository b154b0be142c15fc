// The card widgets by index, the pile queries that read identities through them, the
// remaining-cards board, the card looks, the widgets' table reset, the speed's step
// counts and the view the client's rules read.
#include "scene/CCardTable.h"

#include <algorithm>

#include "base/DDSurfaceUtil.h"
#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVWS.h"

namespace table_cards {

// The board picture: 48 month cards and the back, stacked; the board a card of each
// month's four per row, a pixel between cells.
constexpr int32_t kBoardStripCells = scene_build::kCardBoardCells;
constexpr int32_t kBoardBackCell = kBoardStripCells - 1;
constexpr int32_t kBoardColumns = 4;
constexpr int32_t kBoardRows = kBoardBackCell / kBoardColumns;
constexpr int32_t kBoardGap = 1;
constexpr int32_t kFastestSpeed = 3;
constexpr int32_t kSlowestSpeed = -3;
constexpr int32_t kStepsPerSpeedLevel = 2;
constexpr int32_t kFewestSteps = 1;

template <class Match>
int32_t FindLast(const CCardTable& table, const CCardTable::CardList& list, Match match) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (match(CardInfoOf(table.CardIdOfWidget(*it)), table.CardIdOfWidget(*it))) return *it;
  }
  return -1;
}

template <class Match>
int32_t CountIf(const CCardTable& table, const CCardTable::CardList& list, Match match) {
  return static_cast<int32_t>(std::count_if(list.begin(), list.end(), [&](int32_t w) {
    return match(CardInfoOf(table.CardIdOfWidget(w)));
  }));
}

RECT BoardCell(int32_t id, GSize cell) {
  const int32_t x = id % kBoardColumns * (cell.cx + kBoardGap);
  const int32_t y = id / kBoardColumns * (cell.cy + kBoardGap);
  return RECT{x, y, x + cell.cx, y + cell.cy};
}

RECT StripCell(int32_t n, GSize cell) { return RECT{0, n * cell.cy, cell.cx, (n + 1) * cell.cy}; }

}  // namespace table_cards

GSize CCardTable::CardBoardSize(GSize cell) {
  using namespace table_cards;
  return GSize(kBoardColumns * (cell.cx + kBoardGap) - kBoardGap, kBoardRows * (cell.cy + kBoardGap) - kBoardGap);
}

CVHTWnd* CCardTable::CardWndById(int32_t index) const {
  if (index < 0 || index >= kCardWidgets) index = kCardWidgets - 1;
  return widgets_.cards[static_cast<size_t>(index)];
}

FlowerCard CCardTable::CardIdOfWidget(int32_t index) const {
  const CVHTWnd* card = CardWndById(index);
  return card ? card->cardId : kNoCard;
}

int32_t CCardTable::CountCardsOfMonth(const CardList& list, CardMonth month) const {
  return table_cards::CountIf(*this, list, [month](const CardInfo& c) { return c.month == month; });
}

int32_t CCardTable::CountCardsOfSet(const CardList& list, CardSet set) const {
  return table_cards::CountIf(*this, list, [set](const CardInfo& c) { return c.set == set; });
}

int32_t CCardTable::FindCardInPile(const CardList& list, FlowerCard id) const {
  return table_cards::FindLast(*this, list, [id](const CardInfo&, FlowerCard c) { return c == id; });
}

int32_t CCardTable::FindCardOfMonth(const CardList& list, CardMonth month) const {
  return table_cards::FindLast(*this, list, [month](const CardInfo& c, FlowerCard) { return c.month == month; });
}

int32_t CCardTable::FindCardOfSet(const CardList& list, CardSet set) const {
  return table_cards::FindLast(*this, list, [set](const CardInfo& c, FlowerCard) { return c.set == set; });
}

int32_t CCardTable::ListContains(const CardList& list, int32_t value) {
  return std::find(list.begin(), list.end(), value) != list.end() ? 1 : 0;
}

int32_t CCardTable::PileHasCard(const CardList& list, FlowerCard id) const {
  return FindCardInPile(list, id) >= 0 ? 1 : 0;
}

int32_t CCardTable::PiValueOfPile(const CardList& list) const {
  int32_t total = 0;
  for (int32_t w : list) total += PiValueOf(CardIdOfWidget(w));
  return total;
}

void CCardTable::UpdateCardBoard(FlowerCard id, int32_t reset) {
  using namespace table_cards;
  GVWnd* board = host_.RemainingCardsBoard();
  GVDDSWnd* strip = widgets_.cardStrip;
  if (!board || !strip) return;
  const DDSurface target = board->GetSurface();
  const DDSurface source = strip->GetSurface();
  SIZE size{};
  if (!target || !source || FAILED(QuerySurfaceSize(source, &size))) return;
  const GSize cell(size.cx, size.cy / kBoardStripCells);
  if (reset) {
    ClearSurface(target, 0);
    for (int32_t n = 0; n < kBoardBackCell; ++n) {
      RECT d = BoardCell(n, cell);
      RECT s = StripCell(n, cell);
      BltWithColorKey(target, &d, source, &s, DDBLT_WAIT);
    }
  } else if (id >= 0 && id < kBoardBackCell) {
    RECT d = BoardCell(id, cell);
    RECT s = StripCell(kBoardBackCell, cell);
    BltSurface(target, &d, source, &s, DDBLT_WAIT, nullptr);
  }
  board->SetDirty(1);
  host_.MarkCardsDirty();
}

void CCardTable::SetCardSize(GVWnd* wnd, int32_t size) {
  auto* card = dynamic_cast<CVHTWnd*>(wnd);
  if (!card || size < 0 || size > 2) return;
  const GPoint topLeft = card->GetRect().TopLeft();
  const GSize look = CVHTWnd::kLookSizes[size];
  CVHTWnd* reference = widgets_.lookCards[static_cast<size_t>(size)];
  std::string file;
  if (reference && reference != card) {
    XResEntryLock hold;
    const XBaseEntry* entry = reference->GetEntry();
    if (entry && entry->FileName()) file = *entry->FileName();
  }
  // Loading the same file shares the manager's entry with a reference of its own, so
  // the two widgets release it independently.
  if (!file.empty()) card->LoadImage(file);
  card->SetCellSize(look);
  card->SetRect(GRect(topLeft, look));
  card->ShowFrame(card->cardId);
}

void CCardTable::ResetWidgets() {
  Widgets& w = widgets_;
  GVWS& list = host_.CardWndList();
  if (!w.cards[0]) return;
  for (CVHTWnd* card : w.cards) {
    if (!card) continue;
    card->Reset();
    card->ShowFrame(CVHTWnd::kBackFrame);
    card->SetPos(card->home);
    card->Show(1);
    // The medium look also without its picture: a hand card must not keep its size.
    SetCardSize(card, CVHTWnd::kMediumLook);
    card->ShowFrame(CVHTWnd::kBackFrame);
  }
  // A captured card's companion darkens its pile place, the pi counter counts the pile
  // and a mission mark sits on a floor card: with the cards gathered none may stay.
  for (GVWnd* companion : w.companions) {
    if (companion) companion->Show(0);
  }
  for (GVWnd* counter : w.piCounters) {
    if (counter) counter->Show(0);
  }
  for (GVWnd* mark : w.missionIcons) {
    if (mark) mark->Show(0);
  }
  for (GVWnd* button : w.bombDummies) {
    if (button) button->Show(0);
  }
  if (w.deckShadow) w.deckShadow->Show(1);
  if (w.glow) w.glow->Show(0);
  if (w.shadow) w.shadow->Show(0);
  for (int32_t i = kCardWidgets - 1; i >= 1; --i) {
    GVWnd* lower = w.cards[static_cast<size_t>(i)];
    GVWnd* upper = w.cards[static_cast<size_t>(i - 1)];
    if (lower && upper) list.InsertWndBefore(lower, upper);
  }
  if (w.autoPlayNotice && w.nineTenClip) list.InsertWndAfter(w.autoPlayNotice, w.nineTenClip);
}

void CCardTable::SetSpeed(int32_t speed) {
  using namespace table_cards;
  speed_ = speed;
  const int32_t s = std::clamp(speed, kSlowestSpeed, kFastestSpeed);
  animSteps_.fill(std::max(kDefaultAnimSteps - kStepsPerSpeedLevel * s, kFewestSteps));
}

RulesView CCardTable::ViewForRules() {
  CGameInfo& game = model_.game;
  return RulesView{
      .seats = game.seats,
      .mySeat = model_.room.seats.SeatOfUser(model_.myUser.userNo),
      .floor = model_.floor.floorCards,
      .deck = game.deck,
      .capturedPerMonth = game.capturedPerMonth,
      .cardOfWidget = [this](int32_t widget) { return CardIdOfWidget(widget); },
      .multiplierExponent = game.multiplierExponent,
      .missionMode = game.missionMode,
      .missionCount = game.missionCount,
      .missionMultiplier = game.missionMultiplier,
      .gwangBakOn = model_.room.option.gwangBakOn,
  };
}
