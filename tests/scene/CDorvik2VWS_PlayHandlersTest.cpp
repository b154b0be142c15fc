// The plays between two turns as the host reports them: the cards move, the seats'
// records change, and the voices, effects, banners and prompts come in their order
// with the waits between them on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/TextUtil.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "scene/CardTableFixture.h"
#include "scene/SceneShowWatch.h"

namespace {

using card_table::CardTableTest;

// The floor events' "hide them all".
constexpr int32_t kHideFloorEvents = 8;
// The prompt that waits for the other player's decision.
constexpr int32_t kPromptOtherDeciding = 11;
constexpr size_t kStopBanner = 8;
constexpr uint64_t kMicrosPerMs = 1000;

// Every sound asked for and every show piece put up, with the virtual time it came at.
class TimedTrace : public ISceneTrace {
 public:
  void EffectPlayed(int32_t id) override { Sound(FormatString("effect %ld", id)); }
  void EffectStopped(int32_t id) override { Sound(FormatString("stop %ld", id)); }
  void VoicePlayed(int32_t id, int32_t seat) override { Sound(FormatString("voice %ld/%ld", id, seat)); }
  // A note of a call is nothing a person sees or hears.
  void Watch(CDorvik2VWS* scene) {
    watch_.emplace(scene, [this](uint32_t at, std::string line) { Add(at, std::move(line)); });
  }
  void Unwatch() { watch_.reset(); }
  void Start() {
    entries.clear();
    start = timeGetTime();
    if (watch_) watch_->Rebase();
  }
  // What the table shows as a message ends.
  void Finish() {
    if (watch_) watch_->LookNow();
  }
  bool Has(const std::string& text) const { return Find(text) != entries.end(); }
  // Milliseconds from the start to the first such entry; -1 when none came.
  int64_t At(const std::string& text) const {
    auto it = Find(text);
    return it == entries.end() ? -1 : it->first;
  }
  int64_t Index(const std::string& text) const {
    auto it = Find(text);
    return it == entries.end() ? -1 : std::distance(entries.begin(), it);
  }
  // The entries starting with `prefix`, in order.
  std::vector<std::string> Starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : entries) {
      if (e.second.rfind(prefix, 0) == 0) out.push_back(e.second);
    }
    return out;
  }
  std::vector<std::pair<int64_t, std::string>> entries;
  uint32_t start = 0;

 private:
  // What was put up before a sound came before it.
  void Sound(std::string text) {
    if (watch_) watch_->LookNow();
    Add(timeGetTime(), std::move(text));
  }
  void Add(uint32_t at, std::string text) { entries.emplace_back(int64_t{at - start}, std::move(text)); }
  std::vector<std::pair<int64_t, std::string>>::const_iterator Find(const std::string& text) const {
    return std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.second == text; });
  }
  std::optional<scene_show::SceneShowWatch> watch_;
};

// Every element of a record's fixed array, in order.
template <class T, size_t N>
void Fill(ArcArrayT<T, N>& array, std::type_identity_t<std::initializer_list<T>> values) {
  std::copy(values.begin(), values.end(), array.begin());
}

class PlayHandlersTest : public CardTableTest {
 protected:
  void SetUp() override {
    CardTableTest::SetUp();
    scene->SetTrace(&timed);
    timed.Watch(scene);
    Shuffle();
    SeatMe(0);
    SeatOther(1);
    model_->game.inProgress = 1;
    // A game under way has a turn: the banners stand on its side.
    model_->turnUserNo = kMe;
  }
  void TearDown() override {
    timed.Unwatch();
    scene->SetTrace(nullptr);
    CardTableTest::TearDown();
  }
  // Each seed matches its committed file in fuzz/corpus/dispatch/ (DORVIK_WRITE_CORPUS=1
  // writes them), and the table takes it.
  void CheckDispatchSeeds(const std::vector<std::pair<std::string, HostMessage>>& seeds) {
    const char* source = std::getenv("DORVIK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const auto dir = std::filesystem::path(source) / "fuzz" / "corpus" / "dispatch";
    const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr;
    for (const auto& [name, msg] : seeds) {
      const std::vector<BYTE> bytes = Block(msg);
      const std::string data(bytes.begin(), bytes.end());
      if (write) std::ofstream(dir / name, std::ios::binary) << data;
      std::ifstream in(dir / name, std::ios::binary);
      const std::string committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_EQ(committed, data) << name << " is stale or missing: rerun with DORVIK_WRITE_CORPUS=1";
      Receive(bytes);
    }
  }
  // The message handled at once on a table with no banner, floor event, robot face or
  // prompt up (unless the prompt is to stay); the milliseconds it took.
  int64_t Deliver(const HostMessage& msg, bool keepPrompt = false) {
    scene->ShowEventBanner(-1, 0);
    scene->ShowFloorEvent(kHideFloorEvents);
    if (!keepPrompt) scene->HideNotifyPrompt();
    // On a whole millisecond: a wait woken by the watcher's looks then ends on its
    // millisecond, as one woken by nothing does.
    if (const uint64_t past = plat::sim::NowMicros() % kMicrosPerMs) plat::sim::AdvanceClockMicros(kMicrosPerMs - past);
    timed.Start();
    Receive(Block(msg));
    const auto took = int64_t{timeGetTime() - timed.start};
    timed.Finish();
    return took;
  }
  // Every entry, without its time.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const auto& e : timed.entries) shown.push_back(e.second);
    return shown;
  }
  // " at (x, y)" of the floor slot the last card landed in, or of the deck before any.
  std::string FloorEventPlace() const {
    const int32_t slot = model_->game.lastFloorSlot;
    GPoint at = CDorvik2VWS::kDeckPoint;
    if (slot >= 0 && slot < COpenInfo::kSlots) {
      const COpen& landed = model_->floor.slots.at(static_cast<size_t>(slot));
      at = GPoint(landed.x, landed.y);
    }
    return FormatString(" at (%ld, %ld)", at.x, at.y);
  }
  // The prompt as it shows now ("" closed).
  std::string Prompt() const { return scene_show::SceneShowWatch::PromptLine(scene->Widgets().notifyPrompt); }
  void Give(int32_t seat, int32_t kind, std::initializer_list<int32_t> cards) {
    for (int32_t c : cards) User(seat).captured.at(static_cast<size_t>(kind)).push_back(WidgetOf(c));
  }
  bool Holds(const std::vector<int32_t>& list, int32_t card) {
    return std::find(list.begin(), list.end(), WidgetOf(card)) != list.end();
  }
  int32_t UserOf(int32_t seat) { return scene->GetPlayer(seat).userNo; }
  int32_t CardIdOfWidgetOf(int32_t widget) { return scene->CardIdOfWidget(widget); }
  // The other seat to an opponent or a robot, afresh.
  void SeatSecond(bool robot) {
    scene->GetPlayer(1).Reset();
    if (robot) {
      SeatRobot(1);
    } else {
      SeatOther(1);
    }
  }
  // Empty piles and floor, and this client back in seat 0.
  void ResetPiles() {
    for (int32_t seat = 0; seat < CDorvik2VWS::kSeats; ++seat) {
      for (auto& pile : User(seat).captured) pile.clear();
      User(seat).hand.clear();
    }
    model_->floor.floorCards.clear();
    for (auto& slot : model_->floor.slots) slot.cardCount = 0;
    scene->GetPlayer(0).Reset();
    SeatMe(0);
  }
  TimedTrace timed;
};

// ---- Bombs and plays ----------------------------------------------------------------------

TEST_F(PlayHandlersTest, BombSpeaksBeforeTheCardsMoveCountsAndWaitsHalfASecond) {
  for (int32_t c : {0, 1, 2, 20}) User(0).hand.push_back(WidgetOf(c));
  ASSERT_EQ(scene->ShowNotifyPrompt(kPromptOtherDeciding, 0, 0, 0, 0, 0), 1);
  const int64_t took = Deliver(HostMessage::Make<HM_BOMB>(BombMsg{kMe, {0, 1, 2}}), true);
  EXPECT_EQ(timed.Index("voice 10013/0"), timed.Index("prompt closed") + 1) << "once the prompt and hints are gone";
  EXPECT_EQ(timed.At("voice 10013/0"), 0) << "before the first card moves";
  EXPECT_EQ(User(0).shakeCount, 1);
  EXPECT_EQ(User(0).hand, std::vector<int32_t>{WidgetOf(20)});
  EXPECT_EQ(model_->floor.floorCards.size(), 3u);
  ASSERT_GE(model_->game.lastFloorSlot, 0);
  const std::string bombEvent = "floor event 6" + FloorEventPlace();
  EXPECT_LT(timed.Index(bombEvent), timed.Index("effect 23")) << "at the slot the cards landed in";
  EXPECT_GE(timed.Index(bombEvent), 0);
  EXPECT_EQ(took - timed.At("effect 23"), 500);
}

TEST_F(PlayHandlersTest, OneCardIsAPlainPlayAndNothingPlaysBeforeTheGame) {
  User(0).hand.push_back(WidgetOf(0));
  const int64_t took = Deliver(HostMessage::Make<HM_BOMB>(BombMsg{kMe, {0}}));
  EXPECT_FALSE(timed.Has("voice 10013/0"));
  EXPECT_FALSE(timed.Has("effect 23"));
  EXPECT_EQ(User(0).shakeCount, 0);
  EXPECT_EQ(model_->floor.floorCards, std::vector<int32_t>{WidgetOf(0)});
  EXPECT_EQ(took - timed.entries.back().first, 250);

  model_->game.inProgress = 0;
  User(0).hand.push_back(WidgetOf(1));
  ASSERT_EQ(scene->ShowNotifyPrompt(kPromptOtherDeciding, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(Deliver(HostMessage::Make<HM_BOMB>(BombMsg{kMe, {1}}), true), 0);
  // Before the game nothing plays: only the prompt goes, with its sound.
  EXPECT_EQ(timed.Starting(""), (std::vector<std::string>{"stop 33", "prompt closed"}));
}

// ---- Card events --------------------------------------------------------------------------

TEST_F(PlayHandlersTest, CardEventsByKindAndSeat) {
  struct Row {
    int32_t kind;
    bool robot;
    // The floor event, the voice, the banner and the robot's face; a face shows only
    // with a robot at the table.
    std::vector<std::string> shown;
  };
  const std::string atSlot = FloorEventPlace();
  const Row rows[] = {
      {1, false, {"banner 0/0"}},
      {2, false, {"voice 10025/1", "banner 0/0"}},
      {2, true, {"voice 10017/1", "banner 0/0", "robot 1"}},
      {3, false, {"floor event 5" + atSlot, "voice 10026/1", "banner 0/0"}},
      {3, true, {"floor event 5" + atSlot, "voice 10020/1", "banner 0/0", "robot 1"}},
      {4, false, {"floor event 0" + atSlot, "voice 10015/1", "banner 0/0"}},
      {4, true, {"floor event 0" + atSlot, "voice 10015/1", "banner 0/0", "robot 1"}},
      {5, true, {"floor event 1" + atSlot, "voice 10014/1", "banner 0/0", "robot 1"}},
      {0, false, {}},
      {6, false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(FormatString("kind %ld robot %ld", row.kind, int32_t{row.robot}));
    SeatSecond(row.robot);
    model_->turnUserNo = UserOf(1);
    const int64_t took = Deliver(HostMessage::Make<HM_CARD_EVENT>(CardEventMsg{UserOf(1), row.kind, {}, {}}));
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(took, row.kind == 0 ? 0 : 500);
  }
  // This client's own event with a robot across the table: the robot cheers.
  SeatSecond(true);
  model_->turnUserNo = kMe;
  Deliver(HostMessage::Make<HM_CARD_EVENT>(CardEventMsg{kMe, 1, {}, {}}));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"banner 0/0", "robot 3"}));
}

// ---- Laid cards ---------------------------------------------------------------------------

TEST_F(PlayHandlersTest, LaidCardsLandAndABonusCardIsTakenAfterATenthOfASecond) {
  FullDeck();
  const int64_t took = Deliver(HostMessage::Make<HM_LAY_CARDS>(LayCardsMsg{kMe, 1, {5, 48}, 17}));
  EXPECT_EQ(User(0).seatValue, 17);
  ASSERT_EQ(model_->floor.floorCards.size(), 1u);
  EXPECT_EQ(CardIdOfWidgetOf(model_->floor.floorCards[0]), 5);
  ASSERT_EQ(User(0).captured[kKindPi].size(), 1u);
  EXPECT_EQ(CardIdOfWidgetOf(User(0).captured[kKindPi][0]), 48);
  // The two lands of the flips, then the bonus card's after the pause and its flight.
  const auto lands = timed.entries;
  ASSERT_GE(lands.size(), 3u);
  EXPECT_GE(lands[2].first - lands[1].first, 100);
  EXPECT_EQ(took - lands.back().first, 300);

  FullDeck();
  Deliver(HostMessage::Make<HM_LAY_CARDS>(LayCardsMsg{kOther, 0, {49}, 3}));
  EXPECT_EQ(User(1).seatValue, 0) << "only this client's own value is kept";
  EXPECT_TRUE(User(1).captured[kKindPi].empty()) << "without the flag the bonus card stays";
}

// ---- Captures -----------------------------------------------------------------------------

TEST_F(PlayHandlersTest, CaptureAnnouncesTheFirstSetItCompletes) {
  struct Row {
    const char* name;
    std::vector<std::pair<int32_t, std::vector<int32_t>>> held;  // {kind, cards}
    int32_t taken;
    bool robot;
    std::string voice;   // "" none
    std::string banner;  // "" none; "banner K/F", F its first frame
  };
  const Row rows[] = {
      {"fifth gwang", {{kKindGwang, {0, 8, 28, 40}}}, 44, false, "voice 10007/0", "banner 2/0"},
      {"fourth gwang", {{kKindGwang, {0, 8, 28}}}, 40, false, "voice 10006/0", ""},
      {"three with rain", {{kKindGwang, {0, 8}}}, 44, false, "voice 10029/0", ""},
      {"three with rain, robot", {{kKindGwang, {0, 8}}}, 44, true, "voice 10005/0", ""},
      {"three without rain", {{kKindGwang, {0, 8}}}, 28, false, "voice 10005/0", ""},
      {"godori", {{kKindYeol, {4, 12}}}, 29, false, "voice 10008/0", "banner 3/0"},
      {"red ribbons", {{kKindTti, {1, 5}}}, 9, false, "voice 10010/0", "banner 5/0"},
      {"blue ribbons", {{kKindTti, {21, 33}}}, 37, false, "voice 10009/0", "banner 4/0"},
      {"grass ribbons", {{kKindTti, {13, 17}}}, 25, false, "voice 10011/0", "banner 6/0"},
      {"fourth ribbon", {{kKindTti, {1, 5, 9}}}, 13, false, "", ""},
      {"a pi", {}, 2, false, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetPiles();
    if (row.robot) scene->GetPlayer(0).SetRobot(kRobot, "robot");
    for (const auto& [kind, cards] : row.held) {
      for (int32_t c : cards) User(0).captured.at(static_cast<size_t>(kind)).push_back(WidgetOf(c));
    }
    OnFloor(WidgetOf(row.taken), row.taken, 3);
    const int32_t user = UserOf(0);
    const int64_t took = Deliver(HostMessage::Make<HM_CAPTURE>(CaptureMsg{user, 0, {row.taken}, {}}));
    EXPECT_TRUE(model_->floor.floorCards.empty());
    const auto voices = timed.Starting("voice");
    EXPECT_EQ(voices, row.voice.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.voice});
    const auto banners = timed.Starting("banner");
    EXPECT_EQ(banners, row.banner.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.banner});
    const int64_t last = timed.At(row.voice.empty() ? "effect 13" : row.voice);
    EXPECT_EQ(took - last, (row.voice.empty() ? 0 : 500) + (row.banner.empty() ? 0 : 100));
  }
}

TEST_F(PlayHandlersTest, SweepWaitsInItsOrderBeforeTheSetItCompletes) {
  Give(0, kKindYeol, {4, 12});
  OnFloor(WidgetOf(29), 29, 2);
  const int64_t took = Deliver(HostMessage::Make<HM_CAPTURE>(CaptureMsg{kMe, 6, {29}, {}}));
  // The sweep's event stands in the corner.
  const std::vector<std::string> order{"floor event 7 at (0, 0)", "voice 10016/0", "banner 0/0", "voice 10008/0",
                                       "banner 3/0"};
  std::vector<int64_t> at;
  for (const auto& text : order) at.push_back(timed.Index(text));
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.front() >= 0);
  // 100 and 200 after the sweep, 500 for it, 300 before the banner; 100 and 500 after.
  EXPECT_EQ(timed.At("voice 10008/0") - timed.At("banner 0/0"), 100 + 200 + 500 + 300);
  EXPECT_EQ(took - timed.At("banner 3/0"), 100 + 500);
}

TEST_F(PlayHandlersTest, StolenPiComesFromTheOtherSeatAndAnEntryOfNoSeatIsSkipped) {
  Give(1, kKindPi, {2, 3});
  Give(0, kKindPi, {6});
  OnFloor(WidgetOf(10), 10, 1);
  const int64_t took = Deliver(HostMessage::Make<HM_CAPTURE>(
      CaptureMsg{kMe, 0, {10}, {StolenCard{kOther, 2}, StolenCard{55, 3}, StolenCard{kMe, 6}}}));
  EXPECT_TRUE(Holds(User(0).captured[kKindPi], 2));
  EXPECT_TRUE(Holds(User(1).captured[kKindPi], 3));
  EXPECT_TRUE(Holds(User(0).captured[kKindPi], 6));
  EXPECT_EQ(User(0).captured[kKindPi].size(), 3u);
  EXPECT_EQ(timed.Starting("voice"), std::vector<std::string>{"voice 10019/0"});
  EXPECT_EQ(took - timed.At("voice 10019/0"), 500);
}

// ---- Pucks --------------------------------------------------------------------------------

TEST_F(PlayHandlersTest, PucksRewardedOrNot) {
  PuckMsg first{kMe, 1, 1, 30000, {}, {}};
  first.money.at(0) = 130000;
  first.money.at(1) = 70000;
  first.totalMoney.at(0) = 5;
  first.totalMoney.at(1) = 6;
  int64_t took = Deliver(HostMessage::Make<HM_PUCK>(first));
  EXPECT_EQ(User(0).puckCount, 1);
  EXPECT_EQ(scene->GetPlayer(0).money, 130000);
  EXPECT_EQ(scene->GetPlayer(1).money, 70000);
  EXPECT_EQ(scene->GetPlayer(1).totalMoney, 6);
  // The host keeps the new money of both seats.
  const auto events = Lines(testing_support::HostSlot::NotifyEvent);
  EXPECT_NE(std::find(events.begin(), events.end(), R"(NotifyEvent(7, 31, "|7=130000,5||9=70000,6|", 23))"),
            events.end());
  const std::string atSlot = FloorEventPlace();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"floor event 2" + atSlot, "voice 10023/0", "banner 1/0", "effect 27",
                                               "prompt 7: \"(첫뻑: 30000냥)\""}));
  EXPECT_EQ(took, 1500);

  first.puckCount = 2;
  Deliver(HostMessage::Make<HM_PUCK>(first));
  EXPECT_TRUE(timed.Has("floor event 3" + atSlot));
  EXPECT_TRUE(timed.Has("prompt 8: \"(2번째: 30000냥)\""));

  SeatRobot(1);
  struct Row {
    int32_t seat;
    int32_t count;
    std::vector<std::string> shown;
  };
  const Row lost[] = {
      {0, 1, {"floor event 4" + atSlot, "voice 10023/0", "banner 1/0", "robot 1"}},
      {1, 2, {"floor event 4" + atSlot, "voice 10018/1", "banner 1/0", "robot 4"}},
      {0, 3, {"floor event 4" + atSlot, "banner 1/0", "robot 1"}},
  };
  for (const Row& row : lost) {
    SCOPED_TRACE(row.count);
    model_->turnUserNo = UserOf(row.seat);
    took = Deliver(HostMessage::Make<HM_PUCK>(PuckMsg{UserOf(row.seat), row.count, 0, 0, {}, {}}));
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(took, 500);
    EXPECT_EQ(User(row.seat).puckCount, row.count);
  }
}

// ---- Shakes -------------------------------------------------------------------------------

TEST_F(PlayHandlersTest, ShakeShowsTheSortedCardsAndSpeaksAfterHalfASecond) {
  struct Row {
    bool robot;
    std::list<int32_t> cards;
    int32_t extraWait;
    std::string voice;
    int64_t after;  // the handler's time after the voice
  };
  const Row rows[] = {
      {false, {3, 1, 2, 0}, 0, "voice 10031/1", 0},
      {false, {10, 8, 9}, 1, "voice 10012/1", 700},
      {true, {3, 1, 2, 0}, 0, "voice 10012/1", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.voice);
    SeatSecond(row.robot);
    model_->extraWait = row.extraWait;
    const int64_t took = Deliver(HostMessage::Make<HM_SHAKE>(ShakeMsg{UserOf(1), 2, row.cards}));
    EXPECT_EQ(User(1).shakeCount, 2);
    std::list<int32_t> sorted = row.cards;
    sorted.sort();
    std::string list;
    for (int32_t c : sorted) list += FormatString(" %ld", c);
    EXPECT_EQ(timed.At("prompt 4: cards" + list), 0);
    EXPECT_EQ(timed.At("effect 22"), 0);
    // A robot shakes with its own face; a shaking player shows none.
    EXPECT_EQ(timed.Has("robot 1"), row.robot);
    EXPECT_EQ(timed.At(row.voice), 500);
    EXPECT_EQ(took - 500, row.after);
  }
}

// ---- Questions ----------------------------------------------------------------------------

TEST_F(PlayHandlersTest, QuestionsForMeStartTheirPhaseAndForTheOtherOnlyTheCountdown) {
  struct Row {
    const char* name;
    HostMessage msg;
    std::string prompt;  // "" none
    int32_t phase;
    int32_t threshold;
  };
  std::vector<Row> rows;
  rows.push_back({"shake, me", HostMessage::Make<HM_ASK_SHAKE>(AskShakeMsg{kMe}),
                  "prompt 15: yes 0", CDorvik2VWS::kPhaseShake, 3});
  rows.push_back({"shake, other", HostMessage::Make<HM_ASK_SHAKE>(AskShakeMsg{kOther}), "", 0, 3});
  rows.push_back({"pick, me", HostMessage::Make<HM_ASK_PICK_FLOOR_CARD>(PickFloorCardMsg{kMe, 0, {13, 12}}),
                  "prompt 5: cards 13 12 yes 10", CDorvik2VWS::kPhasePickFloorCard, 3});
  rows.push_back({"pick, one card", HostMessage::Make<HM_ASK_PICK_FLOOR_CARD>(PickFloorCardMsg{kMe, 0, {13}}),
                  "", 0, 10});
  rows.push_back({"pick, card 50", HostMessage::Make<HM_ASK_PICK_FLOOR_CARD>(PickFloorCardMsg{kMe, 0, {13, 50}}),
                  "", 0, 10});
  rows.push_back({"pick, other", HostMessage::Make<HM_ASK_PICK_FLOOR_CARD>(PickFloorCardMsg{kOther, 0, {1, 2}}),
                  "prompt 6:", 0, 5});
  rows.push_back({"september, me", HostMessage::Make<HM_ASK_9TEN_MOVE>(Ask9TenMsg{kMe, 0, 7}),
                  "prompt 17: \"옮길 경우 멍따(x2) 실패!\" yes 0", CDorvik2VWS::kPhase9Ten, 3});
  rows.push_back({"september, flag", HostMessage::Make<HM_ASK_9TEN_MOVE>(Ask9TenMsg{kMe, 1, 7}),
                  "prompt 17: \"옮길 경우 '고'(7점->6점)불가!\" yes 0", CDorvik2VWS::kPhase9Ten, 3});
  rows.push_back({"september, other", HostMessage::Make<HM_ASK_9TEN_MOVE>(Ask9TenMsg{kOther, 0, 7}),
                  "prompt 11:", 0, 5});
  rows.push_back({"nobody", HostMessage::Make<HM_ASK_SHAKE>(AskShakeMsg{55}), "", 0, 10});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    scene->StopGameTimer(CDorvik2VWS::kTurnTimer);
    scene->Timers().ResetCountdown();
    Deliver(row.msg);
    const auto prompts = timed.Starting("prompt");
    EXPECT_EQ(prompts, row.prompt.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.prompt});
    EXPECT_EQ(scene->GetPhase(), row.phase);
    EXPECT_EQ(scene->CountdownThreshold(), row.threshold);
    if (row.threshold != 10) {
      EXPECT_EQ(scene->Timers().Countdown(), scene->Timers().CountdownStart() - 1);
    }
  }
  EXPECT_EQ(User(0).septemberValue, 7);
}

// ---- Go or stop ---------------------------------------------------------------------------

class GoOrStopTest : public PlayHandlersTest {
 protected:
  void SetUp() override {
    PlayHandlersTest::SetUp();
    // The opponent holds a card, so the asker's points count.
    Give(1, kKindPi, {2});
    model_->room.option.moneyPerPoint = 1000;
  }
  int64_t Ask(int32_t user, int32_t points) {
    return Deliver(HostMessage::Make<HM_ASK_GO_OR_STOP>(AskGoOrStopMsg{user, points, 0}));
  }
};

TEST_F(GoOrStopTest, TheStopIsWorthTheScoreCappedByThePlayersMoney) {
  struct Row {
    const char* name;
    int32_t roomState;
    int64_t myMoney;
    int64_t otherMoney;
    std::string prompt;
  };
  const Row rows[] = {
      {"plain", 0, 1000000, 1000000, "prompt 16: \"(스톱시 1만4000냥)\" yes 3"},
      {"own money, the other richer", 7, 10000, 20000, "prompt 20: \"(스톱시 1만냥)\" yes 3"},
      {"own money, the other poorer", 7, 10000, 9000, "prompt 19: \"(스톱시 9000냥)\" yes 3 side mark"},
      {"the other's money", 0, 10000, 9000, "prompt 19: \"(스톱시 9000냥)\" yes 3 side mark"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    model_->room.roomState = row.roomState;
    scene->GetPlayer(0).money = row.myMoney;
    scene->GetPlayer(1).money = row.otherMoney;
    User(0).goCount = 2;
    Ask(kMe, 12);
    EXPECT_EQ(User(0).points, 12);
    EXPECT_EQ(User(0).score, 14);
    EXPECT_EQ(timed.Starting("prompt"), std::vector<std::string>{row.prompt});
    EXPECT_EQ(scene->GetPhase(), CDorvik2VWS::kPhaseGoOrStop);
    EXPECT_TRUE(timed.Has("effect 33"));
  }
}

TEST_F(GoOrStopTest, WithARobotTheWholeStakeNeverSelectsTheAllInPrompt) {
  SeatRobot(1);
  model_->room.roomState = 7;
  scene->GetPlayer(0).money = 5000;
  scene->GetPlayer(1).money = 9000;
  Ask(kMe, 14);
  EXPECT_EQ(timed.Starting("prompt"), std::vector<std::string>{"prompt 16: \"(스톱시 9000냥)\" yes 1 side mark"});
}

TEST_F(GoOrStopTest, TheOtherPlayerSeesTheLossAndAnotherAskerIsAnnounced) {
  scene->GetPlayer(0).money = 1000000;
  scene->GetPlayer(1).money = 1000000;
  Ask(kMe, 14);
  Give(0, kKindPi, {3});
  const int64_t took = Ask(kOther, 14);
  EXPECT_EQ(timed.Starting("prompt"), std::vector<std::string>{"prompt 10: \"(스톱시 -1만4000냥)\""});
  EXPECT_EQ(timed.At("voice 10020/1"), 500);
  EXPECT_EQ(took, 1000);
  EXPECT_FALSE(timed.Has("effect 33"));
  EXPECT_EQ(FormatString("(스톱시 %s)", FormatMoney(-14000, 2).c_str()), "(스톱시 -1만4000냥)");
  EXPECT_EQ(Ask(kOther, 14), 0) << "the same asker again";
}

TEST_F(GoOrStopTest, AStakeTooLargeForSixtyFourBitsIsCappedNotWrapped) {
  model_->room.option.moneyPerPoint = std::numeric_limits<int32_t>::max();
  model_->stakeFactor = std::numeric_limits<int32_t>::max();
  scene->GetPlayer(0).money = std::numeric_limits<int64_t>::max();
  scene->GetPlayer(1).money = 123456789;
  User(0).goCount = 8;
  Ask(kMe, 100000);
  ASSERT_GT(User(0).score, 0);
  // The other seat's whole money, the go count's yes button and the all-in mark.
  EXPECT_EQ(timed.Starting("prompt"), std::vector<std::string>{"prompt 19: \"(스톱시 1억2345만냥)\" yes 9 side mark"});
}

// ---- Go and stop declared -----------------------------------------------------------------

TEST_F(PlayHandlersTest, GoVoicesBannersAndSeatEventsByCount) {
  struct Row {
    int32_t goCount;
    int32_t humanVoice;
    int32_t robotVoice;
    int32_t humanEvent;
  };
  const Row rows[] = {{1, 10000, 10000, 4}, {2, 10001, 10001, 4}, {3, 10002, 10002, 4}, {4, 10003, 10003, 3},
                      {5, 10004, 10004, 3}, {6, 10021, 10004, 3}, {7, 10022, 10004, 3}, {9, 10022, 10004, 3}};
  for (const bool robot : {false, true}) {
    SeatSecond(robot);
    for (const Row& row : rows) {
      SCOPED_TRACE(FormatString("go %ld robot %ld", row.goCount, int32_t{robot}));
      User(1).points = 7;
      const int64_t took = Deliver(HostMessage::Make<HM_STOP_DECLARED>(StopMsg{UserOf(1), row.goCount, 1, 0, 0}));
      EXPECT_EQ(User(1).goCount, row.goCount);
      EXPECT_EQ(User(1).goBakThreshold, 7 + row.goCount);
      EXPECT_EQ(timed.Starting("voice"),
                std::vector<std::string>{FormatString("voice %ld/1", robot ? row.robotVoice : row.humanVoice)});
      // The go banner stands on the count's frame (the last one for more).
      // The go banner stands on the count's frame.
      EXPECT_TRUE(timed.Has(FormatString("banner 7/%ld", row.goCount - 1)));
      EXPECT_EQ(timed.Starting("robot"), robot ? std::vector<std::string>{"robot 1"} : std::vector<std::string>{});
      EXPECT_EQ(timed.Has("effect 50"), row.goCount == 3) << "the other seat's three-go music";
      EXPECT_EQ(took, 500);
    }
  }
  // A player's go faces the robot across the table: quiet at first, cheering from four.
  SeatSecond(true);
  for (const Row& row : rows) {
    SCOPED_TRACE(FormatString("my go %ld", row.goCount));
    model_->turnUserNo = kMe;
    Deliver(HostMessage::Make<HM_STOP_DECLARED>(StopMsg{kMe, row.goCount, 1, 0, 0}));
    EXPECT_EQ(timed.Starting("robot"), std::vector<std::string>{FormatString("robot %ld", row.humanEvent)});
  }
}

TEST_F(PlayHandlersTest, StopIsAStopOnlyWithoutARobotInTheRoom) {
  model_->turnUserNo = kOther;
  const int64_t took = Deliver(HostMessage::Make<HM_STOP_DECLARED>(StopMsg{kOther, 0, 0, 0, 0}));
  EXPECT_EQ(timed.Starting("voice"), std::vector<std::string>{"voice 10027/1"});
  EXPECT_TRUE(timed.Has("banner 8/0"));
  EXPECT_EQ(scene->Widgets().comboAnims[kStopBanner]->GetPos(), GPoint(70, 115)) << "over the upper seat";
  EXPECT_EQ(took, 500);

  Deliver(HostMessage::Make<HM_STOP_DECLARED>(StopMsg{kMe, 3, 1, 0, 0}));
  EXPECT_TRUE(timed.Has("effect 49")) << "my own three-go music";
  EXPECT_FALSE(timed.Has("effect 50"));

  // With a robot it is a go of no count: no stop voice, no banner, the robot quiet.
  SeatRobot(1);
  Deliver(HostMessage::Make<HM_STOP_DECLARED>(StopMsg{kMe, 0, 0, 0, 0}));
  EXPECT_FALSE(timed.Has("voice 10027/0"));
  EXPECT_TRUE(timed.Starting("banner").empty());
  EXPECT_EQ(timed.Starting("robot"), std::vector<std::string>{"robot 4"});
}

// ---- Mission ------------------------------------------------------------------------------

TEST_F(PlayHandlersTest, MissionOneIsWonAtOnceAndAnUnknownIdOnlyResetsThePanel) {
  CVMissionWnd* panel = scene->Widgets().missionPanel;
  ASSERT_NE(panel, nullptr);
  Deliver(HostMessage::Make<HM_MISSION_INFO>(MissionInfoMsg{1, 2}));
  EXPECT_EQ(model_->game.missionMode, 1);
  EXPECT_EQ(model_->game.missionMultiplier, 2);
  EXPECT_EQ(User(0).missionAchieved, 1);
  EXPECT_EQ(User(1).missionAchieved, 1);
  EXPECT_TRUE(panel->IsVisible());
  EXPECT_EQ(timed.Starting("effect").back(), "effect 26") << "after the panel's own notice";
  EXPECT_EQ(timed.Starting("voice"), std::vector<std::string>{"voice 10032/0"});

  Deliver(HostMessage::Make<HM_MISSION_INFO>(MissionInfoMsg{99, 4}));
  EXPECT_EQ(model_->game.missionId, 99);
  EXPECT_EQ(model_->game.missionMultiplier, 2);
  EXPECT_FALSE(panel->IsVisible());
  EXPECT_TRUE(timed.Starting("effect").empty());
}

TEST_F(PlayHandlersTest, MissionResultShowsTheWinnersCardsOrTheFailure) {
  CVMissionWnd* panel = scene->Widgets().missionPanel;
  Deliver(HostMessage::Make<HM_MISSION_INFO>(MissionInfoMsg{30, 3}));
  MissionResultMsg result{kOther, {}, {}, {}, 9000};
  result.success.at(1) = 1;
  result.money.at(0) = 100;
  result.money.at(1) = 200;
  const int64_t took = Deliver(HostMessage::Make<HM_MISSION_RESULT>(result));
  EXPECT_EQ(User(1).missionAchieved, 1);
  EXPECT_EQ(User(0).missionAchieved, 0);
  EXPECT_EQ(scene->GetPlayer(1).money, 200);
  // The success prompt shows the reward and the mission's two cards.
  EXPECT_TRUE(timed.Has("prompt 9: \"(성공: 9000냥)\" cards 0 12"));
  EXPECT_TRUE(timed.Has("effect 26"));
  EXPECT_EQ(timed.At("voice 10032/1"), 0);
  EXPECT_EQ(took, 1500);
  EXPECT_EQ(panel->MissionState(), 0);

  Deliver(HostMessage::Make<HM_MISSION_INFO>(MissionInfoMsg{3, 3}));
  result.userNo = -1;
  EXPECT_EQ(Deliver(HostMessage::Make<HM_MISSION_RESULT>(result)), 0);
  EXPECT_EQ(panel->MissionState(), 1);
  EXPECT_FALSE(timed.Has("effect 26"));
}

// ---- September and scores -----------------------------------------------------------------

TEST_F(PlayHandlersTest, SeptemberAnimalMovesToThePiOrStays) {
  Give(0, kKindYeol, {32, 16});
  Deliver(HostMessage::Make<HM_9TEN_MOVED>(NineTenMovedMsg{kMe, 32}));
  EXPECT_TRUE(Holds(User(0).captured[kKindPi], 32));
  EXPECT_FALSE(Holds(User(0).captured[kKindYeol], 32));
  EXPECT_EQ(User(0).piScore, 2) << "the September animal counts as two pi";

  ResetPiles();
  Give(1, kKindYeol, {32});
  model_->game.nineTenChoice = 1;
  Deliver(HostMessage::Make<HM_9TEN_KEPT>(NineTenKeptMsg{kOther}));
  EXPECT_EQ(model_->game.nineTenChoice, 0);
  EXPECT_TRUE(scene->CardWidgets().nineTenClip->IsVisible());
}

TEST_F(PlayHandlersTest, ScoreUpdateSetsBothSeatsPoints) {
  Give(0, kKindPi, {2});
  Give(1, kKindPi, {3});
  User(0).goCount = 3;
  ScoreUpdateMsg msg;
  msg.points.at(0) = 5;
  msg.points.at(1) = 9;
  Deliver(HostMessage::Make<HM_SCORE_UPDATE>(msg));
  EXPECT_EQ(User(0).points, 5);
  EXPECT_EQ(User(1).points, 9);
  EXPECT_EQ(User(0).multiplier, 2);
  EXPECT_EQ(User(0).score, (5 + 3) * 2);
  EXPECT_EQ(User(1).score, 9);
}

// ---- Dispatch fuzz seeds ------------------------------------------------------------------

// The dispatch target's seeds of the plays: every type with ids, seats and counts out of
// range. DORVIK_WRITE_CORPUS=1 writes them.
TEST_F(PlayHandlersTest, DispatchSeedsOfThePlaysAreCommitted) {
  const std::vector<std::pair<std::string, HostMessage>> seeds = [] {
    std::vector<std::pair<std::string, HostMessage>> s;
    s.emplace_back("plays-bomb", HostMessage::Make<HM_BOMB>(BombMsg{kMe, {99, -3, 7, 50}}));
    s.emplace_back("plays-pick", HostMessage::Make<HM_ASK_PICK_FLOOR_CARD>(PickFloorCardMsg{kMe, 0, {-1}}));
    s.emplace_back("plays-ask-shake", HostMessage::Make<HM_ASK_SHAKE>(AskShakeMsg{-2}));
    s.emplace_back("plays-shake", HostMessage::Make<HM_SHAKE>(ShakeMsg{kMe, 99, {60, 1, 2, 3, 4}}));
    s.emplace_back("plays-card-event", HostMessage::Make<HM_CARD_EVENT>(CardEventMsg{kMe, 77, {51}, {}}));
    s.emplace_back("plays-lay", HostMessage::Make<HM_LAY_CARDS>(LayCardsMsg{kMe, 1, {48, 49, 200}, -9}));
    s.emplace_back("plays-puck", HostMessage::Make<HM_PUCK>(PuckMsg{kMe, 9, 1, -1, {}, {}}));
    s.emplace_back("plays-capture",
                   HostMessage::Make<HM_CAPTURE>(CaptureMsg{kMe, 6, {88, -4}, {StolenCard{-1, 2}, StolenCard{kMe, 99}}}));
    s.emplace_back("plays-mission", HostMessage::Make<HM_MISSION_INFO>(MissionInfoMsg{1, 1000}));
    s.emplace_back("plays-mission-result", HostMessage::Make<HM_MISSION_RESULT>(MissionResultMsg{kMe, {}, {}, {}, -5}));
    s.emplace_back("plays-9ten", HostMessage::Make<HM_ASK_9TEN_MOVE>(Ask9TenMsg{kMe, 3, -7}));
    s.emplace_back("plays-9ten-moved", HostMessage::Make<HM_9TEN_MOVED>(NineTenMovedMsg{kMe, 400}));
    s.emplace_back("plays-9ten-kept", HostMessage::Make<HM_9TEN_KEPT>(NineTenKeptMsg{-100}));
    s.emplace_back("plays-score", HostMessage::Make<HM_SCORE_UPDATE>(ScoreUpdateMsg{}));
    s.emplace_back("plays-go-or-stop", HostMessage::Make<HM_ASK_GO_OR_STOP>(AskGoOrStopMsg{kMe, 2147483647, 1}));
    s.emplace_back("plays-stop", HostMessage::Make<HM_STOP_DECLARED>(StopMsg{kMe, -5, 1, 0, 0}));
    return s;
  }();
  CheckDispatchSeeds(seeds);
}

// The seeds of the result, the settlement and the money notices (types 43..50): seats,
// kinds, exponents and counts out of range, and money at the ends of 64 bits.
TEST_F(PlayHandlersTest, DispatchSeedsOfTheResultsAreCommitted) {
  constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMoneyMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMoneyMin = std::numeric_limits<int64_t>::min();
  const std::vector<std::pair<std::string, HostMessage>> seeds = [&] {
    std::vector<std::pair<std::string, HostMessage>> s;
    GameResultMsg result;
    result.winnerUser = kMe;
    result.drawCount = kIntMax;
    Fill(result.money, {kMoneyMax, kMoneyMin});
    Fill(result.moneyChange, {kMoneyMax, kMoneyMin});
    result.winInfo.winnerSeat = 0;
    result.winInfo.totalPoints = kIntMax;
    result.winInfo.goExp = 64;
    result.winInfo.shakeExp = kIntMax;
    result.winInfo.missionMult = kIntMin;
    result.winInfo.meongttaExp = -1;
    result.winInfo.categoryPoints.at(SCORE_JUNK) = kIntMin;
    result.penalties = {PenaltyRow{7, 1, 1}, PenaltyRow{-2, 1, 0}, PenaltyRow{kIntMax, 0, 1}};
    Fill(result.bestKind, {99, -1});
    Fill(result.itemOfferAmount, {kMoneyMin, kMoneyMax});
    result.nextDeckCards = {48, -1, 200};
    result.hands.at(0) = {-5, 47, 48};
    result.eventFundRate = kIntMin;
    s.emplace_back("results-game-exponents", HostMessage::Make<HM_GAME_RESULT>(result));
    result.endType = 4;
    s.emplace_back("results-game-draw", HostMessage::Make<HM_GAME_RESULT>(result));
    result.endType = 9;
    result.winInfo.winnerSeat = 2;
    s.emplace_back("results-game-end-type", HostMessage::Make<HM_GAME_RESULT>(result));
    s.emplace_back("results-safe",
                   HostMessage::Make<HM_SAFE_WITHDRAW>(SafeWithdrawMsg{kMe, 5, kMoneyMax, kMoneyMax, 0}));
    s.emplace_back("results-safe-kind", HostMessage::Make<HM_SAFE_WITHDRAW>(SafeWithdrawMsg{kOther, -5, -1, -1, 0}));
    SettlementMsg settlement;
    settlement.resultCode = 1;
    settlement.winnerUser = 12345;
    settlement.baseMultExp = kIntMax;
    Fill(settlement.money, {kMoneyMin, kMoneyMax});
    settlement.firstSeatUser = -1;
    settlement.leaveList = {SettlementEntry{kOther, 0, 0, 0, 0, ""}, SettlementEntry{-1, 7, 0, 0, 0, "x"}};
    Fill(settlement.bijouCount, {kIntMax, -1});
    Fill(settlement.bijouEvent, {1, 1});
    Fill(settlement.playSeconds, {-1, kIntMax});
    Fill(settlement.promoFlags, {-1, 2, kIntMax});
    s.emplace_back("results-settlement", HostMessage::Make<HM_SETTLEMENT>(settlement));
    settlement.winnerUser = kMe;
    settlement.resultCode = 0;
    settlement.antiLeave = -1;
    s.emplace_back("results-settlement-stopped", HostMessage::Make<HM_SETTLEMENT>(settlement));
    s.emplace_back("results-money-cap-kind", HostMessage::Make<HM_MONEY_CAP>(MoneyCapMsg{kMe, 5, kMoneyMax, 0, -1, 0, 0, ""}));
    s.emplace_back("results-money-cap-low",
                   HostMessage::Make<HM_MONEY_CAP>(MoneyCapMsg{kOther, kIntMin, kMoneyMin, 0, kMoneyMax, 0, 0, "%s%n"}));
    s.emplace_back("results-antileave-counts", HostMessage::Make<HM_ANTILEAVE_COUNTS>(AntiLeaveCountsMsg{2, kIntMax, -1}));
    s.emplace_back("results-antileave-counts-low",
                   HostMessage::Make<HM_ANTILEAVE_COUNTS>(AntiLeaveCountsMsg{kIntMin, -1, kIntMax}));
    s.emplace_back("results-antileave-refund",
                   HostMessage::Make<HM_ANTILEAVE_REFUND>(AntiLeaveRefundMsg{kOther, kMoneyMin}));
    s.emplace_back("results-play-count", HostMessage::Make<HM_PLAY_COUNT>(PlayCountMsg{kMe, kMoneyMin, kIntMax, kIntMin}));
    MoneyNoticeMsg notice;
    notice.kind = 1;
    notice.entries = {MoneyNoticeEntry{kMe, kIntMin, kIntMax}, MoneyNoticeEntry{-1, -1, -1}};
    s.emplace_back("results-money-notice", HostMessage::Make<HM_MONEY_NOTICE>(notice));
    notice.kind = 99;
    s.emplace_back("results-money-notice-kind", HostMessage::Make<HM_MONEY_NOTICE>(notice));
    return s;
  }();
  CheckDispatchSeeds(seeds);
}

}  // namespace
