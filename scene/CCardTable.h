// The card table: the fifty card widgets with their companions and marks, where each
// card lies and how it travels there (deals, plays, flips, captures, steals), over the
// game model's hands, piles, deck and floor. The scene build hands it the widgets.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <vector>

#include "base/GGeometry.h"
#include "game/CGameModel.h"
#include "game/ClientRules.h"
#include "panels/CVCountWnd.h"
#include "tables/SceneBuildTable.h"
#include "scene/CTimeMgr.h"
#include "scene/CVHTWnd.h"
#include "scene/ICardTableHost.h"

class GVPSPWnd;
class GVQLAniWnd;

class CCardTable {
 public:
  // Card lists hold widget indices 0..49, never card ids: the opening deal hands out
  // widgets 0..27 in index order and names them as they land, and the deck and the
  // opponent's hand are face-down widgets (card 50). A card's identity lives in its
  // widget, so every query reads it through CardWndById; only ListContains compares
  // the elements themselves, and an operation given a server card id first finds the
  // widget showing it in the list it names (FindWidgetOfCard).
  using CardList = std::vector<int32_t>;
  static constexpr int32_t kSeats = CGameInfo::kSeats;
  static constexpr int32_t kCardWidgets = 50;
  static constexpr int32_t kBombDummies = 6;
  static constexpr GPoint kDeckPoint = scene_build::kDeckPoint;
  // A hand holds at most this many cards, one per hand slot and its marks.
  static constexpr int32_t kHandSlots = CVHTWnd::kHandMarks;
  static constexpr GPoint kFloorSlotPoints[COpenInfo::kSlots] = {
      {285, 161}, {364, 311}, {242, 235}, {397, 238}, {272, 312}, {369, 164},
      {198, 158}, {457, 315}, {181, 311}, {458, 158}, {153, 238}, {487, 233},
  };
  static constexpr int32_t kCardFrameMs = 8;  // the card moves' frame time
  static constexpr int32_t kDefaultAnimSteps = 3;
  static constexpr int32_t kDealSteps = 0;  // which of the step counts
  static constexpr int32_t kCaptureSteps = 1;

  // The widgets the card moves use; the widget list owns them.
  struct Widgets {
    std::array<CVHTWnd*, kCardWidgets> cards{};
    std::array<GVWnd*, kCardWidgets> companions{};  // lie beneath a captured card
    std::array<GVQLAniWnd*, kCardWidgets> missionIcons{};
    std::array<CVHTWnd*, 3> lookCards{};             // each look's picture, by look
    GVDDSWnd* shadow = nullptr;                      // under a card in flight
    GVWnd* glow = nullptr;                           // the big card over it
    GVWnd* deckShadow = nullptr;
    GVWnd* nineTenClip = nullptr;
    GVWnd* autoPlayNotice = nullptr;  // the September clip lies directly behind it
    GVDDSWnd* cardStrip = nullptr;    // the remaining-cards board's 49-cell picture
    GVWnd* cardBoard = nullptr;       // the remaining-cards board, shown by F12
    std::array<GVWnd*, kBombDummies> bombDummies{};  // the bomb-card buttons
    // The pick markers and floor-slot marks.
    std::array<GVWnd*, CVHTWnd::kFloorMarks> floorOutlines{};
    // Outline 0 marks the selected card; 1..10 are the bomb-card outlines of the hand.
    std::array<GVPSPWnd*, CVHTWnd::kHandMarks + 1> handOutlines{};
    std::array<std::array<GVWnd*, CVHTWnd::kHintsPerHandSlot>, CVHTWnd::kHandMarks> handHints{};
    std::array<CVCountWnd*, kSeats> piCounters{};
  };

  CCardTable(CGameModel& model, ICardTableHost& host) : model_(model), host_(host) {}
  CCardTable(const CCardTable&) = delete;
  CCardTable& operator=(const CCardTable&) = delete;

  // ---- Widgets, speed and the frame clock ----
  const Widgets& GetWidgets() const { return widgets_; }
  // The build hands over what it made; a teardown hands over none.
  void SetWidgets(const Widgets& widgets) { widgets_ = widgets; }
  // Faster speeds take two steps off the normal three per level, slower ones add two.
  void SetSpeed(int32_t speed);
  int32_t AnimSteps(int32_t which) const { return animSteps_.at(static_cast<size_t>(which)); }
  int32_t CardFrameMs() const { return cardFrameMs_; }
  void ResetFrameTime() { cardFrameMs_ = kCardFrameMs; }
  void ReadClockFrequency() { frameWatch_.ReadFrequency(); }
  // Steps of the last MoveCardTo.
  int32_t LastMoveSteps() const { return lastMoveSteps_; }

  // ---- Cards and piles (CCardTable.cpp) ----
  // Widget i for 0..49, widget 49 for any other index; null before the widgets exist.
  CVHTWnd* CardWndById(int32_t index) const;
  // The card widget i shows (50 face down or missing).
  FlowerCard CardIdOfWidget(int32_t index) const;
  int32_t CountCardsOfMonth(const CardList& list, CardMonth month) const;
  int32_t CountCardsOfSet(const CardList& list, CardSet set) const;
  // The element nearest the end whose widget shows the card, month or set, or -1.
  int32_t FindCardInPile(const CardList& list, FlowerCard id) const;
  int32_t FindCardOfMonth(const CardList& list, CardMonth month) const;
  int32_t FindCardOfSet(const CardList& list, CardSet set) const;
  int32_t FindWidgetOfCard(const CardList& list, FlowerCard id) const { return FindCardInPile(list, id); }
  static int32_t FirstCard(const CardList& list) { return list.empty() ? -1 : list.front(); }
  static int32_t LastCard(const CardList& list) { return list.empty() ? -1 : list.back(); }
  static int32_t ListContains(const CardList& list, int32_t value);
  int32_t PileHasCard(const CardList& list, FlowerCard id) const;
  int32_t PiValueOfPile(const CardList& list) const;
  // Reset 1 draws every month card on the board; else id 0..47 is covered.
  void UpdateCardBoard(FlowerCard id, int32_t reset);
  // The board that holds every month card of a picture cell this size.
  static GSize CardBoardSize(GSize cell);
  // A card widget takes picture set and size 0 tiny, 1 medium, 2 large.
  void SetCardSize(GVWnd* card, int32_t size);
  // Every card face down at its home, medium, in index order, with the marks hidden.
  void ResetWidgets();
  // The client's rules see the game model and the cards the widgets show; the view
  // lives no longer than this table and the model.
  RulesView ViewForRules();

  // ---- Layout (CCardTableLayout.cpp) ----
  // Hand slot 0..9 of a side; slot 10 and on lie past the second row.
  static GPoint HandSlotPoint(int32_t side, int32_t slot);
  static GPoint PileAnchor(int32_t side, int32_t kind);
  static int32_t PileSpan(int32_t side, int32_t kind);
  // Step between the cards of a pile of n in a span.
  static int32_t SpreadStep(int32_t n, int32_t span);
  void RestackFloorSlot(int32_t slot);
  void RelayoutCapturedPile(int32_t seat, int32_t kind);
  void RelayoutPiPile(int32_t seat);
  // Splits a pi pile into its rows (the fourth takes the rest).
  std::vector<CardList> PiRows(const CardList& pile) const;
  // {month, bonus id} pairs say where a bonus card lies.
  int32_t PlaceFloorCards(const std::vector<FlowerCard>& ids, std::vector<std::array<int32_t, 2>>& bonusPairs,
                          int32_t keep, FlowerCard lastId);
  void StackDeck(int32_t all);
  void SetPiCountText(int32_t side, int32_t n);
  // Hides the September marker (show 0), or puts it beside card 32 of the seat's
  // animal pile: 1 when it is shown.
  int32_t ShowNineTenClip(int32_t seat, int32_t show);
  // Every mission mark hidden; with `show`, each floor card the predicate names a mission
  // card wears its mark, above the cards.
  void ShowMissionMarks(int32_t show, const std::function<bool(FlowerCard)>& isMissionCard);
  // Every seated side's hand and piles in their places.
  void PlaceSeats();

  // ---- Moves (CCardTableMoves.cpp) ----
  static void BuildLinePath(CVHTWnd* card, GPoint target, int32_t n);
  static void BuildLinePath(std::list<GPoint>& path, GPoint start, GPoint target, int32_t n);
  static int32_t BuildArcPath(CVHTWnd* card, GPoint target, int32_t n);
  static GPoint BezierPoint(std::vector<GPoint> points, int32_t a, int32_t b, int32_t degree, int32_t n);
  void MoveCardTo(int32_t widget, GPoint target, int32_t steps, int32_t face, int32_t zoom);
  void MoveCardSprites(int32_t first, int32_t count);
  void DealHandCards(int32_t seat, int32_t first, int32_t count);
  void OpeningDeal();
  void PlayCardToFloor(FlowerCard card, int32_t seat, int32_t flag);
  void FlipDeckCard(FlowerCard card, int32_t seat);
  void TakeFloorCard(FlowerCard card, int32_t seat);
  void StealPi(FlowerCard card, int32_t from, int32_t to);
  void MoveCapturedCard(FlowerCard card, int32_t seat, int32_t fromKind, int32_t toKind);
  void AddDeckCardsToPile(int32_t seat, int32_t kind, const std::vector<FlowerCard>& ids);
  // The deck's first widget joins the seat's hand; on my own side it shows `card`.
  void DrawCardToHand(int32_t seat, FlowerCard card = kNoCard);
  void DealDummyCards(int32_t seat, int32_t count);
  void SortMyHand(int32_t seat, int32_t flag);
  // The bomb-dummy markers after my own hand (only my human seat has them shown).
  void PlaceBombDummies(int32_t seat);
  int32_t GatherFloorMonths();
  void PlayBonusCard(FlowerCard card, int32_t seat, int32_t sort = 1);

 private:
  CHTUser& Seat(int32_t seat) { return model_.game.seats.at(static_cast<size_t>(seat)); }
  // A card on its way somewhere (or a mark over the cards) lies above every other card
  // and table widget, but beneath the panels over the table.
  void BringCardForward(GVWnd* card);
  // One frame of a move: the wait, skipped after an overrun at a positive speed.
  void WaitCardFrame();
  // Every card with a path takes its next point until none has one.
  void RunCardPaths(int32_t frames);
  // A face-down widget takes a card: identity, picture and its board cover.
  void RevealCard(CVHTWnd* card, FlowerCard id);
  // Floor slot for a month: one holding the month (newest first), else the first empty
  // one, else 0.
  int32_t FloorSlotForMonth(CardMonth month) const;
  // Takes the deck's first widget out of the deck; -1 when it is empty.
  int32_t TakeDeckWidget();
  // The deck's first card, taken out of the deck with its widget index; null and -1
  // when the deck is empty, so an empty deck never hands out the clamped last widget.
  CVHTWnd* TakeDeckCard(int32_t& widget);
  // The companion of a card that shows an id; null for any other id.
  GVWnd* CompanionOf(FlowerCard id) const;
  void PlaceHand(int32_t seat);
  // A captured card and its companion, which lies directly beneath it.
  void PlaceCaptured(CVHTWnd* card, GPoint at);
  // Steps 1-2 of a play from the hand: the card's widget (its index in `w`), shown at
  // the medium look and out of the hand; null for no seat, no card, or a hand without it.
  CVHTWnd* TakeHandCard(FlowerCard cardId, int32_t seat, int32_t& w);

  CGameModel& model_;
  ICardTableHost& host_;
  Widgets widgets_;
  int32_t speed_ = 0;
  int32_t cardFrameMs_ = kCardFrameMs;
  std::array<int32_t, 3> animSteps_{kDefaultAnimSteps, kDefaultAnimSteps, kDefaultAnimSteps};
  CTimeMgr frameWatch_;
  int32_t lastMoveSteps_ = 0;
  int32_t skipNextWait_ = 0;
};
