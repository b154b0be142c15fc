// What a run's record sees of the runner: frames every period and at checkpoints, notes
// of events fired and commands checked, and a pause that leaves the table open.
#include <gtest/gtest.h>

#include <memory>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ScriptEnvironmentFixture.h"
#include "plat/sim.h"
#include "testhost/ScriptRunner.h"

namespace {

constexpr uint32_t kHooksFramePeriodMs = 500;
// The room entry's one command, then a checkpoint whose hash no frame has.
constexpr const char* kHooksScript =
    "me 101\n"
    "@100 msg HM_ROOM_ENTER clientVersion=20110927 myUser.userNo=101 entryKind=1 room.sceneMode=1 entryUserNo=101\n"
    "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n"
    "+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
    "@1250 checkpoint here 0\n"
    "@1300 end\n";

class ScriptRunnerHooksTest : public testing::Test {
 protected:
  void SetUp() override {
    // The header's default world: the start tick fixes the entry's voice.
    std::string error;
    ASSERT_TRUE(testhost::PrepareLayer(testhost::ScriptSetup{}, script_test::Environment(), error)) << error;
    // The host's windows are made in the prepared world.
    hostHolder = std::make_unique<testhost::TestHost>();
    ASSERT_TRUE(testhost::StartModule(host(), DORVIK2_MODULE_FILE, error)) << error;
  }
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
  }
  // The failure, or "" when the run passes (or pauses).
  std::string Play(const std::string& pauseAt) {
    testhost::ScriptRunner runner(host());
    std::string error;
    if (!runner.Load(kHooksScript, error)) return "load: " + error;
    runner.OnFrame(kHooksFramePeriodMs, [this](uint32_t ms, const std::string& name) {
      frames.emplace_back(ms, name + (host().GameWindow() ? "" : " without a window"));
    });
    runner.OnNote([this](uint32_t ms, int line, const std::string& note) {
      notes.push_back(std::to_string(ms) + " " + std::to_string(line) + " " + note);
    });
    runner.PauseAt(pauseAt);
    return runner.Run(error) ? "" : error;
  }
  testhost::TestHost& host() { return *hostHolder; }
  std::unique_ptr<testhost::TestHost> hostHolder;
  std::vector<std::pair<uint32_t, std::string>> frames;
  std::vector<std::string> notes;
};

TEST_F(ScriptRunnerHooksTest, APauseStopsBeforeItsCheckpointWithTheTableOpen) {
  EXPECT_EQ(Play("here"), "");
  EXPECT_NE(host().GameWindow(), nullptr);
  const std::vector<std::pair<uint32_t, std::string>> timed = {{500, ""}, {1000, ""}};
  EXPECT_EQ(frames, timed);
  const std::vector<std::string> expected = {"100 2 ", "100 3 command as expected", "100 4 command as expected"};
  EXPECT_EQ(notes, expected);
}

TEST_F(ScriptRunnerHooksTest, ACheckpointShowsItsFrameBeforeItsHashIsChecked) {
  const std::string failure = Play("");
  EXPECT_EQ(failure.rfind("line 5 at 1250 ms: checkpoint here: frame ", 0), 0u) << failure;
  const std::vector<std::pair<uint32_t, std::string>> seen = {{500, ""}, {1000, ""}, {1250, "here"}};
  EXPECT_EQ(frames, seen);
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[3].rfind("1250 5 frame ", 0), 0u) << notes[3];
}

}  // namespace
