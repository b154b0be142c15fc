// Whole games from scripts on the loaded module, and the runner checking itself: a
// wrong byte, a command never sent and an extra command each fail with the line and
// the virtual time.
#include "testhost/ScriptRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "plat/sim.h"

namespace {

constexpr uint32_t kScriptLoaderWaitRealMs = 30000;
constexpr const char* kGameFolder = "C:\\Dorvik2\\Game\\";
constexpr const char* kPortalFolder = "C:\\Dorvik2\\Portal\\";
// The clocks and the registry as every game script starts from them.
constexpr uint32_t kStartTick = 1000000;
constexpr SYSTEMTIME kStartTime{2011, 9, 2, 27, 20, 0, 0, 0};

std::string ScriptFile(const std::string& name) {
  std::ifstream in(std::string(DORVIK_GAME_SCRIPTS_DIR) + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class ScriptRunnerTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::UseVirtualClock();
    plat::sim::SetTickBase(kStartTick);
    ASSERT_TRUE(plat::sim::SetLocalTimeStart(kStartTime));
    // One file per test: the tests run side by side.
    const std::string registry =
        testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + "-registry.dat";
    std::remove(registry.c_str());
    plat::sim::SetRegistryFile(registry);
    plat::sim::MapPathPrefix(kGameFolder, DORVIK_GAME_DATA_DIR);
    plat::sim::MapPathPrefix(kPortalFolder, DORVIK_GAME_PORTAL_DIR);
    std::string error;
    ASSERT_TRUE(host.LoadModule(DORVIK2_MODULE_FILE, error)) << error;
    ASSERT_EQ(host.Create(), 0);
    ASSERT_NE(host.Init(u"C:\\Dorvik2\\Game\\", u"C:\\Dorvik2\\Portal\\", 0), nullptr);
    ASSERT_TRUE(host.WaitForLoader(kScriptLoaderWaitRealMs));
    host.Client()->RefreshScreen(0);
  }
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
  }
  // The failure, or "" when the script passes.
  std::string Play(const std::string& script) {
    testhost::ScriptRunner runner(host);
    runner.SetFrameFolder(testing::TempDir());
    std::string error;
    if (!runner.Load(script, error)) return "load: " + error;
    return runner.Run(error) ? "" : error;
  }
  testhost::TestHost host;
};

TEST_F(ScriptRunnerTest, PlainWin) {
  const std::string failure = Play(ScriptFile("01-plain-win.txt"));
  EXPECT_EQ(failure, "");
  if (!failure.empty())
    for (const std::string& line : host.Transcript()) std::printf("%s\n", line.c_str());
}

}  // namespace

namespace {

// The room entry's one command, then a deviation from it.
constexpr const char* kEntry =
    "me 101\n"
    "@100 msg HM_ROOM_ENTER clientVersion=20110927 myUser.userNo=101 entryKind=1 room.sceneMode=1 entryUserNo=101\n";

TEST_F(ScriptRunnerTest, TheRunnerFailsWithTheLineAndTheVirtualTime) {
  const struct {
    const char* name;
    std::string tail;
    std::string failure;
  } cases[] = {
      {"wrong byte",
       "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n+0 expect cmd 1C 00 00 00 66 00 00 00 00 00 00 00\n+100 end\n",
       "line 4 at 100 ms: command 1C 00 00 00 65 00 00 00 00 00 00 00, expected 1C 00 00 00 66 00 00 00 00 00 00 00"},
      {"never sent",
       "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
       "+0 expect cmd 09 00 00 00 00 00 00 00\n+100 end\n",
       "line 5 at 200 ms: command 09 00 00 00 00 00 00 00 was not sent"},
      {"extra", "+100 end\n", "line 3 at 100 ms: unexpected command 02 00 00 00 01 00 00 00 00 00 00 00"},
      {"host call missing",
       "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
       "+0 expect host SetPlayState(9)\n+0 end\n",
       "line 5 at 100 ms: no host call SetPlayState(9)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Play(kEntry + c.tail), c.failure);
  }
}

TEST_F(ScriptRunnerTest, UnreadableScriptsNameTheirLine) {
  const struct {
    std::string script;
    std::string error;
  } cases[] = {
      {"@0 msg HM_NOPE\n@1 end\n", "load: line 1: no message HM_NOPE in the runner's table"},
      {"@0 msg HM_TURN turn=1\n@1 end\n", "load: line 1: no field turn in HM_TURN"},
      {"@0 msg HM_DEAL handCards=[1, x]\n@1 end\n", "load: line 1: unreadable value for handCards in HM_DEAL"},
      {"@5 key down SPACE\n@4 end\n", "load: line 2: time runs backwards"},
      {"@0 expect cmd 0G\n@1 end\n", "load: line 1: unreadable command bytes"},
      {"@0 key down SPACE\n", "load: the script does not finish with end"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(Play(c.script), c.error);
  }
}

// Messages due while the deal's handler waits reach the module inside that wait and
// are handled after it, in order.
TEST_F(ScriptRunnerTest, ABurstDuringTheDealsWaitIsHandledAfterTheDeal) {
  constexpr int kNotices = 20;
  std::string script = std::string(kEntry) + "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n"
                       "+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
                       "+500 msg HM_DEAL userNo=101 handCards=[0, 4, 8, 12, 16, 20, 24, 28, 32, 36] "
                       "floorCards=[1, 5, 9, 13, 40, 41, 44, 45]\n";
  for (int i = 1; i <= kNotices; ++i)
    script += (i == 1 ? "+1" : "+0") + std::string(" msg HM_NOTICE_TEXT text=\"n") + std::to_string(i) + "\"\n";
  // The deal's handler starts and ends, then each notice gives its event with its text.
  script += "+3000 expect host SetPlayState(0)\n+0 expect host SetPlayState(3)\n";
  for (int i = 1; i <= kNotices; ++i) {
    const std::string text = "n" + std::to_string(i);
    script += "+0 expect host NotifyEvent(0, 0, \"" + text + "\", " + std::to_string(text.size()) + ")\n";
  }
  script += "+0 end\n";
  EXPECT_EQ(Play(script), "");
}

}  // namespace
