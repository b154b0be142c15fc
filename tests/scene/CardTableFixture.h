// A table with the card widgets a scene build makes: fifty cards at the deck with their
// companions, the floor outlines and hand hints, the look cards, glow, shadow, deck
// shadow, September clip behind the auto-play notice, bomb markers and pi counters.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "plat/sim.h"
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

class CardTableTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    // The built table stays out of sight: the cards below are the tests' own.
    for (GVWnd* built : scene->GetWndList()) built->Show(0);
    auto& w = scene->EditCardWidgets();
    auto add = [this](auto* wnd, GSize size = {36, 55}) {
      wnd->SetRect(GRect(CDorvik2VWS::kDeckPoint, size));
      scene->AddWndAtBottom(wnd);
      return wnd;
    };
    for (int32_t i = 0; i < CDorvik2VWS::kCardWidgets; ++i) {
      w.cards[static_cast<size_t>(i)] = add(new CVHTWnd(scene));
      w.cards[static_cast<size_t>(i)]->home = CDorvik2VWS::kDeckPoint;
      w.companions[static_cast<size_t>(i)] = add(new GVWnd);
    }
    for (int32_t look = 0; look < 3; ++look) w.lookCards[static_cast<size_t>(look)] = add(new CVHTWnd(scene));
    for (auto& mark : w.floorOutlines) mark = add(new CountingWnd);
    for (auto& slot : w.handHints) {
      for (auto& mark : slot) mark = add(new CountingWnd);
    }
    for (auto& m : w.bombDummies) m = add(new GVWnd);
    for (auto& c : w.piCounters) c = add(new GVWnd);
    w.shadow = add(new GVDDSWnd);
    w.glow = add(new GVWnd, {56, 86});
    w.deckShadow = add(new GVWnd);
    w.autoPlayNotice = add(new GVWnd);
    w.nineTenClip = add(new GVWnd);
    scene->ResetTableState();
    scene->GetPlayer(0).screenPos = 0;
    scene->GetPlayer(1).screenPos = 1;
  }
  CVHTWnd* Card(int32_t widget) const { return scene->CardWndById(widget); }
  GPoint Pos(int32_t widget) const { return Card(widget)->GetPos(); }
  // Widget i shows card ids[i].
  void Show(const std::vector<int32_t>& ids) {
    for (size_t i = 0; i < ids.size(); ++i) Card(static_cast<int32_t>(i))->SetCard(ids[i]);
  }
  // Widget i shows card (i + 7) mod 50: no widget shows its own index.
  void Shuffle() {
    for (int32_t i = 0; i < CDorvik2VWS::kCardWidgets; ++i) Card(i)->SetCard((i + 7) % CDorvik2VWS::kCardWidgets);
  }
  static int32_t WidgetOf(int32_t card) { return (card + 43) % CDorvik2VWS::kCardWidgets; }
  // Position in the drawing order (0 the top).
  int32_t Z(GVWnd* wnd) {
    auto& list = scene->GetWndList();
    return static_cast<int32_t>(std::distance(list.begin(), std::find(list.begin(), list.end(), wnd)));
  }
  void FullDeck() {
    auto& deck = scene->Model().game.deck;
    deck.resize(CDorvik2VWS::kCardWidgets);
    std::iota(deck.begin(), deck.end(), 0);
  }
};

}  // namespace card_table
