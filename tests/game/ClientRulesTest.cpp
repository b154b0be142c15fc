// The multiplier and the two automatic card choices on views filled by hand. Widget w
// shows card (w + 17) mod 50, so a rule that takes a widget index for a card fails.
#include "game/ClientRules.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "plat/crt.h"

namespace client_rules_test {

constexpr int32_t kShown = 17;
constexpr int32_t kFaceDown = kNoCard;  // in a card list below: a face-down widget
// Shows no card in every test, so card 46 never appears in one.
constexpr int32_t kFaceDownWidget = (46 + kCardCount - kShown) % kCardCount;
constexpr int32_t kUnset = -9;

// What the multiplier reads besides the seats, and whom it scores.
struct Game {
  int32_t seat = 0, september = 0, exponent = 0, gwangBakOn = 1, missionMode = 0, missionCount = 0, mission = 0;
};

struct Table {
  std::array<CHTUser, CGameInfo::kSeats> seats{};
  int32_t mySeat = 0;
  std::vector<int32_t> floor, deck;
  std::array<int32_t, CGameInfo::kMonths> captured{};
  Game game{};

  RulesView View() {
    return {seats, mySeat, floor, deck, captured,
            [](int32_t w) { return w == kFaceDownWidget ? kNoCard : (w + kShown) % kCardCount; },
            game.exponent, game.missionMode, game.missionCount, game.mission, game.gwangBakOn};
  }
  static int32_t WidgetOf(int32_t card) {
    return card == kFaceDown ? kFaceDownWidget : (card + kCardCount - kShown) % kCardCount;
  }
  static std::vector<int32_t> Widgets(std::vector<int32_t> cards) {
    for (int32_t& card : cards) card = WidgetOf(card);
    return cards;
  }
};

// Piles of `gwang` gwang and `yeol` yeol cards and one pi card; `pile` puts card 32
// among the yeol (1) or the pi (2), widget 32 among the yeol (3), or empties all (4).
struct SeatIn {
  int32_t points = 0, go = 0, shake = 0, gwang = 0, yeol = 0, piScore = 0, mission = 0, pile = 0;
};
// Multiplier, score and the flags as digits: gwang-bak 100, yeol-bak 10, pi-bak 1.
using SeatOut = std::tuple<int32_t, int32_t, int32_t>;
constexpr int32_t kKept = kUnset * 111;  // flags left as they were

void Fill(CHTUser& user, const SeatIn& in) {
  user.shakeCount = in.shake;
  user.goCount = in.go;
  user.points = in.points;
  user.piScore = in.piScore;
  user.missionAchieved = in.mission;
  user.gwangBak = user.yeolBak = user.piBak = user.multiplier = user.score = kUnset;
  auto& yeol = user.captured[kKindYeol];
  user.captured[kKindGwang].assign(static_cast<size_t>(in.gwang), Table::WidgetOf(0));
  yeol.assign(static_cast<size_t>(in.yeol), Table::WidgetOf(4));
  if (in.pile == 1 || in.pile == 3) yeol.at(0) = in.pile == 1 ? Table::WidgetOf(kSeptemberYeol) : kSeptemberYeol;
  if (in.pile != 4) user.captured[kKindPi].push_back(Table::WidgetOf(in.pile == 2 ? kSeptemberYeol : 2));
}

SeatOut Result(const CHTUser& u) { return {u.multiplier, u.score, u.gwangBak * 100 + u.yeolBak * 10 + u.piBak}; }

TEST(ClientRulesTest, MultiplierScoreAndBakFlagsFollowEachRule) {
  struct Case { const char* name; Game game; SeatIn in0, in1; SeatOut out0, out1; };
  constexpr int32_t kMin = INT32_MIN;
  const SeatIn three{3}, tenPi{.points = 3, .piScore = 10}, achieved{.points = 3, .mission = 1},
      sevenWith32{.yeol = 1, .piScore = 7, .pile = 1};
  auto mission = [](int32_t mode, int32_t count, int32_t m) {
    return Game{.missionMode = mode, .missionCount = count, .mission = m};
  };
  const SeatOut none{kUnset, kUnset, 0}, yeolBak{kUnset, kUnset, 10}, gwangBak{kUnset, kUnset, 100},
      piBak{kUnset, kUnset, 1};
  const Case cases[] = {
      {"go 1 adds a point", {}, {3, 1}, {}, {1, 4, kKept}, none},
      {"go 3 doubles", {}, {3, 3}, {}, {2, 12, kKept}, none},
      {"go 5 gives x8 before the shake", {}, {3, 5, 1}, {}, {16, 128, kKept}, none},
      {"exponent 2 gives x4", {.exponent = 2}, three, {}, {4, 12, kKept}, none},
      {"shake 2 gives x4", {}, {3, 0, 2}, {}, {4, 12, kKept}, none},
      {"seven yeol: yeol-bak", {}, {.points = 3, .yeol = 7}, {}, {2, 6, kKept}, yeolBak},
      {"mission x10", mission(1, 1, 10), achieved, {}, {10, 30, kKept}, none},
      {"mission 11 is ignored", mission(1, 1, 11), achieved, {}, {1, 3, kKept}, none},
      {"mission needs the flag", mission(1, 1, 3), three, {}, {1, 3, kKept}, none},
      {"mission needs mode 1", mission(2, 1, 3), achieved, {}, {1, 3, kKept}, none},
      {"mission needs a count", mission(1, 0, 3), achieved, {}, {1, 3, kKept}, none},
      {"gwang-bak", {}, {.points = 3, .gwang = 3}, {}, {2, 6, kKept}, gwangBak},
      {"the opponent's gwang", {}, {.points = 3, .gwang = 5}, {.gwang = 1}, {1, 3, kKept}, none},
      {"gwang-bak switched off", {.gwangBakOn = 0}, {.points = 3, .gwang = 5}, {}, {1, 3, kKept}, none},
      {"pi-bak against 1", {}, tenPi, {.piScore = 1}, {2, 6, kKept}, piBak},
      {"pi-bak against 7", {}, tenPi, {.piScore = 7}, {2, 6, kKept}, piBak},
      {"no pi-bak against 0", {}, tenPi, {}, {1, 3, kKept}, none},
      {"no pi-bak against 8", {}, tenPi, {.piScore = 8}, {1, 3, kKept}, none},
      {"7 with card 32 in September", {.september = 1}, tenPi, sevenWith32, {1, 3, kKept}, none},
      {"7 with card 32 otherwise", {}, tenPi, sevenWith32, {2, 6, kKept}, piBak},
      {"card 32 among the pi", {.september = 1}, tenPi, {.piScore = 7, .pile = 2}, {2, 6, kKept}, piBak},
      {"widget 32 is not card 32", {.september = 1}, tenPi, {.yeol = 1, .piScore = 7, .pile = 3}, {2, 6, kKept}, piBak},
      {"the opponent holds nothing", {}, {3, 3}, {.pile = 4}, {2, 0, kKept}, none},
      {"score below 0", {}, {-3, 1, 1}, {}, {2, 0, kKept}, none},
      {"seat 2", {.seat = 2}, {.points = 3, .yeol = 7}, {.points = 3, .gwang = 3}, {2, 6, 100}, {2, 6, 10}},
      {"exponent 40 shifts by 31", {.exponent = 40}, three, {}, {kMin, kMin, kKept}, none},
      {"exponent -1 shifts by 0", {.exponent = -1}, three, {}, {1, 3, kKept}, none},
      {"go 40 shifts by 31", {}, {3, 40}, {}, {kMin, kMin, kKept}, none},
      {"shake 100 shifts by 31", {}, {3, 0, 100}, {}, {kMin, kMin, kKept}, none},
      {"the product wraps", {.exponent = 31}, {3, 3}, {}, {0, 0, kKept}, none},
      {"points and goes wrap", {}, {INT32_MAX, 1}, {}, {1, 0, kKept}, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Table t;
    t.game = c.game;
    Fill(t.seats[0], c.in0);
    Fill(t.seats[1], c.in1);
    ComputeScoreMultiplier(t.View(), c.game.seat, c.game.september);
    EXPECT_EQ(Result(t.seats[0]), c.out0) << "seat 0";
    EXPECT_EQ(Result(t.seats[1]), c.out1) << "seat 1";
  }
}

struct ChoiceCase {
  const char* name;
  std::vector<int32_t> hand, floor, deck;  // cards; 50 a face-down widget
  int32_t dummyTurns, timeout, autoPlay;
  int32_t draws = 0;  // from the generator, seeded with `seed`
  uint32_t seed = 1;
  std::pair<size_t, int32_t> captured{};  // month, count
  int32_t seat = 0;
};

TEST(ClientRulesTest, ChoicesFollowTheirRulesAndDrawOncePerSwap) {
  const ChoiceCase cases[] = {
      {"a match before a bonus card; one match draws nothing", {5, 21, 48}, {22}, {}, 0, 21, 21},
      {"a bonus card before a match", {5, 49, 21}, {22}, {}, 0, 49, 21},
      {"no match: the first card, or a single", {1, 13}, {30}, {}, 0, 1, 1, 1},
      {"a double partner beats an earlier gwang match", {0, 42}, {2, 41}, {}, 0, 0, 42},
      {"a double hand card with a gwang partner", {0, 47}, {2, 44}, {}, 0, 0, 47},
      {"a gwang match before other matches", {5, 9}, {6, 8}, {}, 0, 5, 9},
      {"matches, seed 1", {5, 21, 33}, {6, 22, 34, 35}, {}, 0, 5, 5, 3, 1},
      {"matches, seed 3", {5, 21, 33}, {6, 22, 34, 35}, {}, 0, 5, 21, 3, 3},
      {"a bonus card before a triple", {13, 14, 15, 48}, {20}, {}, 0, 48, 48},
      {"a triple first", {1, 13, 14, 15}, {20}, {9}, 1, 1, 14, 2, 3},
      {"a safe pair before the dummy turn", {1, 17, 18}, {20}, {9}, 1, 1, 18, 1, 3, {4, 2}},
      {"a pair with one taken is no safe pair", {1, 17, 18}, {20}, {9}, 1, 1, 9, 0, 1, {4, 1}},
      {"the dummy turn before singles", {1, 17}, {20}, {kFaceDown}, 1, 1, kNoCard},
      {"a dummy turn without a deck", {1, 17}, {20}, {}, 1, 1, -1},
      {"empty hand, a dummy turn: the deck card shown", {}, {30}, {9, 10}, 1, 9, 9},
      {"empty hand, a dummy turn: a face-down card", {}, {30}, {kFaceDown, 9}, 1, kNoCard, kNoCard},
      {"empty hand, no dummy turn", {}, {30}, {9}, 0, -1, -1},
      {"empty hand, a dummy turn without a deck", {}, {30}, {}, 1, -1, -1},
      {"an observer", {5, 48}, {6}, {9}, 1, -1, -1, 0, 1, {}, -1},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    Table t{.mySeat = c.seat, .floor = Table::Widgets(c.floor), .deck = Table::Widgets(c.deck)};
    t.seats[0].hand = Table::Widgets(c.hand);
    t.seats[0].bombDummyCount = c.dummyTurns;
    t.captured.at(c.captured.first) = c.captured.second;
    plat::crt::srand(c.seed);
    EXPECT_EQ(ChooseTimeoutCard(t.View()), c.timeout);
    EXPECT_EQ(ChooseAutoPlayCard(t.View()), c.autoPlay);
    const int32_t next = plat::crt::rand();
    plat::crt::srand(c.seed);
    for (int32_t i = 0; i < c.draws; ++i) plat::crt::rand();
    EXPECT_EQ(next, plat::crt::rand()) << "draws";
  }
  Table t;
  t.seats[0].hand = {-1, kCardCount};
  EXPECT_EQ(ChooseTimeoutCard(t.View()), (49 + kShown) % kCardCount) << "widget 49 stands in for other indices";
}

}  // namespace client_rules_test
