// The scene's life: Init from the portal file and the registry, the cursors, the seat
// queries, the resets, and a teardown that leaves no timer and no widget pointer.
#include "scene/CDorvik2VWS.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "plat/crt.h"
#include "plat/registry.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "support/CursorFileWriters.h"
#include "support/GameTable.h"
#include "support/TempDir.h"
#include "tables/VocabularyTables.h"
#include "widgets/GDDScreen.h"

namespace {

using testing_support::GameTableTest;

constexpr const char* kOptionsPath = "Varnet\\Quell";

class SceneTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    plat::sim::MapPathPrefix("D:\\portal\\", portal_.path());
    plat::sim::MapPathPrefix(kGameFolder, game_.path());
    // The cursors come from the test's folder, the rest of the pictures from the data.
    plat::sim::MapPathPrefix(std::string(kImageFolder) + "Cursor\\", game_ / "GameImage/Cursor/");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnet\\Quell\\14");
  }
  void TearDown() override {
    GameTableTest::TearDown();
    plat::sim::ClearPathPrefixes();
  }
  void Portal(const std::string& ini) { portal_.Write("common/quell_14.ini", ini); }
  static void StoreText(const char* name, const std::string& text) {
    ASSERT_EQ(registry_values::WriteText(kOptionsPath, "14", name, text), 1);
  }
  static void StoreDword(const char* name, uint32_t value) {
    ASSERT_EQ(registry_values::WriteDword(kOptionsPath, "14", name, value), 1);
  }
  // The stored value's type and bytes ("" when missing).
  static std::pair<DWORD, std::string> Stored(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Varnet\\Quell\\14", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::string bytes(16, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bytes.size());
    const LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return {};
    bytes.resize(size);
    return {type, bytes};
  }
  static std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), sizeof v); }
  testing_support::TempDir portal_;
  testing_support::TempDir game_;
};

TEST_F(SceneTest, InitReadsThePortalFileOrItsDefaults) {
  struct Row {
    const char* ini;
    int32_t initOk;
    const char* base;
    int32_t version;
  } rows[] = {
      {nullptr, 1, "Varnet\\Quell", 0},
      {"[serviceinfo]\nSDLLVER=7\nscompany=Acme\nsdomainname=Tables\n", 1, "Acme\\Tables", 7},
      {"[SERVICEINFO]\nsCompany=\n", 0, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.base);
    TearDown();
    SetUp();
    if (row.ini) Portal(row.ini);
    EXPECT_EQ(wnd->CreateGameWindow(nullptr, hostWnd, kGameFolder, "D:\\portal\\", "", GSize(800, 600), 0, 0),
              row.initOk);
    if (!row.initOk) continue;
    scene = wnd->Scene();
    EXPECT_EQ(scene->RegistryBasePath(), row.base);
    EXPECT_EQ(scene->ClientVersion(), row.version);
    EXPECT_FALSE(scene->IsReady()) << "only the build makes it ready";
    EXPECT_EQ(scene->GetRect(), GRect(0, 0, 800, 600));
  }
}

// A first start writes the five defaults and nothing else; the voice set is the first
// number drawn after seeding with the tick count.
TEST_F(SceneTest, FirstStartWritesTheFiveDefaults) {
  const std::vector<uint8_t> ani = testing_support::AniFile(1);
  game_.Write("GameImage/Cursor/sg_normal.ani", std::string(ani.begin(), ani.end()));
  plat::crt::srand(GetTickCount());
  const auto voice = static_cast<uint32_t>(plat::crt::rand() % 4);
  MakeTable();
  EXPECT_EQ(Stored("Option_Volume"), std::make_pair(REG_SZ, std::string("0\0", 2)));
  EXPECT_EQ(Stored("Option_Speed"), std::make_pair(REG_SZ, std::string("1\0", 2)));
  EXPECT_EQ(Stored("Option_SoundEffect"), std::make_pair(REG_DWORD, Dword(1)));
  EXPECT_EQ(Stored("Option_Voice"), std::make_pair(REG_DWORD, Dword(voice)));
  EXPECT_EQ(Stored("Option_Skin"), std::make_pair(REG_DWORD, Dword(0)));
  EXPECT_EQ(scene->AnimSteps(0), 1);
  EXPECT_EQ(scene->Model().myVoiceSet, static_cast<int32_t>(voice));
  EXPECT_EQ(host.Transcript().at(0), "NotifyEvent(4294967295, 45, \"macro\", 17)");
  // What Init leaves besides the options: the screen's key, the cards' frame time, the
  // normal cursor from its file (shown) and the system's hand for the missing click one.
  EXPECT_EQ(scene->ColorKey(), static_cast<int32_t>(wnd->Screen()->ColorKey()));
  EXPECT_EQ(scene->CardFrameMs(), 8);
  EXPECT_NE(scene->NormalCursor(), nullptr);
  EXPECT_NE(scene->NormalCursor(), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(scene->ClickCursor(), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(plat::sim::CurrentCursor(), scene->NormalCursor());
}

TEST_F(SceneTest, StoredOptionsAreReadAndUnreadableOnesGetTheirDefault) {
  struct Row {
    const char* what;
    void (*store)();
    // What the scene took, and what the registry holds for the value afterwards.
    int32_t (*took)(CDorvik2VWS&);
    int32_t expected;
    const char* value;
    std::pair<DWORD, std::string> stored;
  } rows[] = {
      {"skin 3", [] { StoreDword("Option_Skin", 3); }, [](CDorvik2VWS& s) { return s.Options().skin; }, 0,
       "Option_Skin", {REG_DWORD, Dword(3)}},
      {"skin -1", [] { StoreDword("Option_Skin", 0xFFFFFFFFu); }, [](CDorvik2VWS& s) { return s.Options().skin; }, 0,
       "Option_Skin", {REG_DWORD, Dword(0xFFFFFFFFu)}},
      {"speed 5", [] { StoreText("Option_Speed", "5"); }, [](CDorvik2VWS& s) { return s.AnimSteps(2); }, 1,
       "Option_Speed", {REG_SZ, std::string("5\0", 2)}},
      {"speed -3", [] { StoreText("Option_Speed", "-3"); }, [](CDorvik2VWS& s) { return s.AnimSteps(1); }, 9,
       "Option_Speed", {REG_SZ, std::string("-3\0", 3)}},
      {"volume -6000", [] { StoreText("Option_Volume", "-6000"); },
       [](CDorvik2VWS& s) { return s.EffectVolume(); }, -10000, "Option_Volume", {REG_SZ, std::string("-6000\0", 6)}},
      {"volume as a DWORD", [] { StoreDword("Option_Volume", 5); }, [](CDorvik2VWS& s) { return s.EffectVolume(); },
       0, "Option_Volume", {REG_SZ, std::string("0\0", 2)}},
      {"skin as a text", [] { StoreText("Option_Skin", "2"); }, [](CDorvik2VWS& s) { return s.Options().skin; }, 0,
       "Option_Skin", {REG_DWORD, Dword(0)}},
      {"speed of 9000 bytes", [] { StoreText("Option_Speed", std::string(9000, '7')); },
       [](CDorvik2VWS& s) { return s.Options().speed; }, 1, "Option_Speed", {REG_SZ, std::string("1\0", 2)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TearDown();
    SetUp();
    row.store();
    MakeTable();
    EXPECT_EQ(row.took(*scene), row.expected);
    EXPECT_EQ(Stored(row.value), row.stored);
  }
}

TEST_F(SceneTest, AFailedVoiceWriteBackDrawsAgain) {
  for (const char* name : {"Option_Volume", "Option_Speed"}) StoreText(name, "0");
  StoreDword("Option_SoundEffect", 0);
  StoreDword("Option_Skin", 1);
  plat::crt::srand(GetTickCount());
  plat::crt::rand();
  const int32_t second = plat::crt::rand() % 4;
  plat::sim::FailNext("RegSetValueExA");
  MakeTable();
  EXPECT_EQ(scene->Model().myVoiceSet, second);
  EXPECT_EQ(Stored("Option_Voice").first, 0u) << "the failed write left nothing";
  EXPECT_EQ(host.Transcript().at(0), "NotifyEvent(4294967295, 45, \"macro\", 1)");
}

TEST_F(SceneTest, GradeNamesSeatQueriesAndRemovingPlayers) {
  MakeTable();
  const std::pair<int32_t, std::string> grades[] = {{0, "입문"}, {8, "제왕"}, {9, ""}, {-1, ""}};
  for (const auto& [index, name] : grades) EXPECT_EQ(scene->GetGradeName(index), name) << index;
  SeatMe(0);
  SeatOther(1);
  scene->GetPlayer(1).connState = 1;
  EXPECT_EQ(scene->GetSeatById("you"), 1);
  EXPECT_EQ(scene->GetSeatById("yo"), -1) << "whole texts";
  EXPECT_EQ(scene->GetSeatById("youx"), -1);
  EXPECT_EQ(scene->HasPositiveRobotField(1), 1);
  EXPECT_EQ(scene->HasPositiveRobotField(0), 0);
  // A human leaves: the stake goes back and the other seat's counters start again.
  scene->GetRoomData().baseMoneyPerPoint = 500;
  scene->GetRoomData().option.moneyPerPoint = 2000;
  scene->Model().game.seats[0].gameCounters = {1, 2, 3};
  EXPECT_EQ(scene->RemovePlayer(kOther), 1);
  EXPECT_EQ(scene->GetRoomData().option.moneyPerPoint, 500);
  EXPECT_EQ(scene->Model().game.seats[0].gameCounters, (std::array<int32_t, 3>{}));
  EXPECT_EQ(scene->GetPlayer(1).userNo, RCUser::kNoUser);
  // A robot leaves its seat to its robot.
  SeatRobot(1);
  EXPECT_EQ(scene->RemovePlayer(kRobot), 1);
  EXPECT_EQ(scene->GetPlayer(1).userNo, kRobot);
  EXPECT_EQ(scene->GetPlayer(1).userId, RobotPlayerName);
  EXPECT_EQ(scene->RemovePlayer(12345), 0);
}

TEST_F(SceneTest, ResetsDropTheQueueUnhandledAndSetTheTableBack) {
  MakeTable();
  int32_t handled = 0;
  scene->SetHostMessageHandler(HM_USER_AVATAR, [&handled](CDorvik2VWS&, HostMessage&) { ++handled; });
  for (int32_t i = 0; i < 3; ++i) scene->EnqueueHostMessage(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{i, "a"}));
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->ResetGameState();
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(scene->QueuedCount(), 0u);
  EXPECT_EQ(scene->GetSceneMode(), CDorvik2VWS::kModeNone);
  EXPECT_EQ(scene->GamesPlayed(), 0);
  for (int32_t i = 0; i < CDorvik2VWS::kPlayTimeNotices; ++i) EXPECT_EQ(scene->PlayTimeNotice(i), 1);
  trace.Clear();
  scene->ResetTableState();
  const COpen& first = scene->Model().floor.slots.at(0);
  const COpen& last = scene->Model().floor.slots.at(11);
  EXPECT_EQ(std::make_pair(first.x, first.y), std::make_pair(285, 161));
  EXPECT_EQ(std::make_pair(last.x, last.y), std::make_pair(487, 233));
  EXPECT_EQ(scene->CountdownThreshold(), 10);
  EXPECT_EQ(trace.stopped, (std::vector<int32_t>{28, 29, 30, 31}));
}

// The product installs no trace: every effect and voice line goes
// nowhere, so a trace installed later starts empty.
TEST_F(SceneTest, AProductSceneHasNoTraceAndKeepsNoRecord) {
  ASSERT_NE(Init(client, 0), nullptr);
  scene = wnd->Scene();
  Pump();
  WaitForLoader(wnd);
  ASSERT_TRUE(scene->IsReady());
  EXPECT_EQ(scene->Trace(), nullptr);
  for (uint32_t type = 0; type < HM_TYPE_LIMIT; ++type) {
    HostMessage msg;
    msg.type = type;
    msg.record = MakeHostRecord(type);
    Receive(Block(msg));
  }
  scene->PlayEffect(5, 0);
  scene->StopEffect(5);
  scene->PlayVoice(10027, 0);
  testing_support::SceneTraceRecorder late;
  scene->SetTrace(&late);
  EXPECT_TRUE(late.effects.empty() && late.stopped.empty() && late.voices.empty());
  scene->PlayEffect(5, 0);
  EXPECT_EQ(late.effects, std::vector<int32_t>{5}) << "a trace installed late records from then on";
  scene->SetTrace(nullptr);
}

// The teardown kills the running timers and nulls every widget pointer; the destructor
// after it frees nothing twice (the sanitizers watch), and the scene pointer goes.
TEST_F(SceneTest, DestroyAllLeavesNoTimerAndNoWidgetPointer) {
  MakeTable();
  EXPECT_NE(scene->Widgets(), CDorvik2VWS::SceneWidgets{}) << "the build made the table";
  scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 8), 10) << "a hand card at the slowest speed";
  scene->DestroyAll();
  for (UINT_PTR id = 0; id <= CDorvik2VWS::kLastKilledTimer; ++id) EXPECT_FALSE(scene->IsGameTimerRunning(id)) << id;
  EXPECT_EQ(scene->Widgets(), CDorvik2VWS::SceneWidgets{});
  EXPECT_FALSE(scene->IsReady());
  EXPECT_FALSE(scene->IsSoundReady());
  EXPECT_EQ(scene->OnTimer(CDorvik2VWS::kLastTimer + 1), 0) << "a widget's timer is not the scene's";
  // A widget added after the teardown goes with the scene, once.
  struct Counted : GVWnd {
    explicit Counted(int32_t* n) : n_(n) {}
    ~Counted() override { ++*n_; }
    int32_t* n_;
  };
  int32_t destroyed = 0;
  scene->AddWnd(new Counted(&destroyed));
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_EQ(destroyed, 1) << "the scene went, and its widgets with it";
}

}  // namespace
