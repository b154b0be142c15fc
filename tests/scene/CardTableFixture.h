// Card widgets as a scene build makes them: fifty cards at the deck with their
// companions, the floor outlines and hand hints, the look cards, glow, shadow, deck
// shadow, September clip behind the auto-play notice, bomb markers and pi counters.
// Handed to a card table in a real scene, or to one with a host of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "plat/sim.h"
#include "scene/CCardTable.h"
#include "scene/CDorvik2VWS.h"
#include "support/GameTable.h"

namespace card_table {

// A mark that counts how often it was moved.
class CountingWnd : public GVWnd {
 public:
  void SetPos(GPoint pt) override {
    ++moves;
    GVWnd::SetPos(pt);
  }
  int32_t moves = 0;
};

// Made at the bottom of `list`, which owns them; `owner` is the cards' owner.
inline CCardTable::Widgets MakeCardWidgets(GVWS& list, void* owner) {
  CCardTable::Widgets w;
  auto add = [&list](auto* wnd, GSize size = {36, 55}) {
    wnd->SetRect(GRect(CCardTable::kDeckPoint, size));
    list.AddWndAtBottom(wnd);
    return wnd;
  };
  for (int32_t i = 0; i < CCardTable::kCardWidgets; ++i) {
    w.cards[static_cast<size_t>(i)] = add(new CVHTWnd(owner));
    w.cards[static_cast<size_t>(i)]->home = CCardTable::kDeckPoint;
    w.companions[static_cast<size_t>(i)] = add(new GVWnd);
  }
  for (int32_t look = 0; look < 3; ++look) w.lookCards[static_cast<size_t>(look)] = add(new CVHTWnd(owner));
  for (auto& mark : w.floorOutlines) mark = add(new CountingWnd);
  for (auto& slot : w.handHints) {
    for (auto& mark : slot) mark = add(new CountingWnd);
  }
  for (auto& m : w.bombDummies) m = add(new GVWnd);
  for (auto& c : w.piCounters) c = add(new CVCountWnd);
  w.shadow = add(new GVDDSWnd);
  w.glow = add(new GVWnd, {56, 86});
  w.deckShadow = add(new GVWnd);
  w.autoPlayNotice = add(new GVWnd);
  w.nineTenClip = add(new GVWnd);
  return w;
}

// What the card tests read and arrange, over whichever table and list they run on.
class CardTableAccess {
 protected:
  CVHTWnd* Card(int32_t widget) const { return table_->CardWndById(widget); }
  GPoint Pos(int32_t widget) const { return Card(widget)->GetPos(); }
  // Widget i shows card ids[i].
  void Show(const std::vector<int32_t>& ids) {
    for (size_t i = 0; i < ids.size(); ++i) Card(static_cast<int32_t>(i))->SetCard(ids[i]);
  }
  // Widget i shows card (i + 7) mod 50: no widget shows its own index.
  void Shuffle() {
    for (int32_t i = 0; i < CCardTable::kCardWidgets; ++i) Card(i)->SetCard((i + 7) % CCardTable::kCardWidgets);
  }
  static int32_t WidgetOf(int32_t card) { return (card + 43) % CCardTable::kCardWidgets; }
  // Position in the drawing order (0 the top).
  int32_t Z(GVWnd* wnd) {
    auto& list = list_->GetWndList();
    return static_cast<int32_t>(std::distance(list.begin(), std::find(list.begin(), list.end(), wnd)));
  }
  void FullDeck() {
    auto& deck = model_->game.deck;
    deck.resize(CCardTable::kCardWidgets);
    std::iota(deck.begin(), deck.end(), 0);
  }
  CHTUser& User(int32_t seat) { return model_->game.seats[static_cast<size_t>(seat)]; }
  // Widget w shows `card` and lies on the floor in `slot`.
  void OnFloor(int32_t w, int32_t card, int32_t slot) {
    Card(w)->SetCard(card);
    Card(w)->floorSlot = slot;
    model_->floor.floorCards.push_back(w);
    ++model_->floor.slots.at(static_cast<size_t>(slot)).cardCount;
  }
  // The table's widgets changed by `edit`, handed back to it.
  template <class Edit>
  void EditCards(Edit edit) {
    CCardTable::Widgets w = table_->GetWidgets();
    edit(w);
    table_->SetWidgets(w);
  }
  CCardTable* table_ = nullptr;
  CGameModel* model_ = nullptr;
  GVWS* list_ = nullptr;
};

// The cards in a real scene built from generated data: the built table stays out of
// sight, the cards are the tests' own.
class CardTableTest : public testing_support::GameTableTest, protected CardTableAccess {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    for (GVWnd* built : scene->GetWndList()) built->Show(0);
    table_ = &scene->CardTable();
    model_ = &scene->Model();
    list_ = scene;
    CCardTable::Widgets cards = MakeCardWidgets(*scene, scene);
    cards.piCounters = table_->GetWidgets().piCounters;  // the built counters write their counts
    table_->SetWidgets(cards);
    scene->ResetTableState();
    scene->GetPlayer(0).screenPos = 0;
    scene->GetPlayer(1).screenPos = 1;
  }
};

}  // namespace card_table
