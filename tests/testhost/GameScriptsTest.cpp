// The whole games of tests/games played on the loaded module, one test per script, and
// the plain win again on a 5-6-5 desktop, whose frames hash differently.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "plat/sim.h"
#include "ScriptEnvironmentFixture.h"
#include "testhost/ScriptRunner.h"

namespace game_scripts {

std::string ScriptText(const std::string& name) {
  std::ifstream in(script_test::ScriptPath(name + ".txt"));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The script with each named checkpoint's hash replaced: the same game seen on
// another desktop.
std::string WithHashes(const std::string& script, const std::map<std::string, std::string>& hashes) {
  std::istringstream in(script);
  std::string out, line;
  while (std::getline(in, line)) {
    const size_t at = line.find(" checkpoint ");
    if (at != std::string::npos) {
      std::istringstream words(line.substr(at + 12));
      std::string name;
      words >> name;
      const auto it = hashes.find(name);
      if (it != hashes.end()) line = line.substr(0, at + 12) + name + " " + it->second;
    }
    out += line + "\n";
  }
  return out;
}

// The script times of its commands written at an absolute time ("@40000 expect cmd"),
// by the command's place among all the script's commands.
std::map<size_t, uint32_t> PinnedCommands(const std::string& script) {
  std::map<size_t, uint32_t> pinned;
  std::istringstream in(script);
  std::string line;
  uint32_t at = 0;
  size_t command = 0;
  while (std::getline(in, line)) {
    if (line.empty() || (line[0] != '@' && line[0] != '+')) continue;
    const uint32_t t = static_cast<uint32_t>(std::stoul(line.substr(1)));
    at = line[0] == '@' ? t : at + t;
    if (line.find(" expect cmd ") == std::string::npos) continue;
    if (line[0] == '@') pinned[command] = at;
    ++command;
  }
  return pinned;
}

// The times of the commands sent, from the transcript's "  123 ms  host Send(" lines.
std::vector<uint32_t> SendTimes(const std::vector<std::string>& transcript) {
  std::vector<uint32_t> times;
  for (const std::string& line : transcript) {
    if (line.find(" ms  host Send(") != std::string::npos) times.push_back(static_cast<uint32_t>(std::stoul(line)));
  }
  return times;
}

class GameScript : public testing::Test {
 protected:
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetDisplay();
  }
  // The failure, or "" when the script passes; a differing frame lands in the frame
  // folder under the script's name.
  std::string Play(const std::string& script, const std::string& name) {
    last = testhost::PlayScript(script, name, script_test::Environment());
    return Failure();
  }
  // A script file plays under its own name, and the update switch can rewrite it.
  std::string PlayFile(const std::string& name) {
    last = testhost::PlayScriptFile(script_test::ScriptPath(name + ".txt"), script_test::Environment());
    return Failure();
  }
  std::string Failure() const {
    if (!last.failure.empty())
      for (const std::string& line : last.transcript) std::printf("%s\n", line.c_str());
    return last.failure;
  }
  testhost::ScriptOutcome last;
};

class GameScriptsTest : public GameScript, public testing::WithParamInterface<const char*> {};

// Every command goes out as written; one written at an absolute time goes out then,
// counted from the first such command (the countdowns' lengths).
TEST_P(GameScriptsTest, PlaysToItsEnd) {
  const std::string script = ScriptText(GetParam());
  ASSERT_EQ(PlayFile(GetParam()), "");
  const std::map<size_t, uint32_t> pinned = PinnedCommands(script);
  const std::vector<uint32_t> sent = SendTimes(last.transcript);
  if (pinned.empty()) return;
  const auto& [first, firstAt] = *pinned.begin();
  ASSERT_LT(pinned.rbegin()->first, sent.size());
  for (const auto& [command, at] : pinned) {
    EXPECT_EQ(sent[command] - sent[first], at - firstAt) << "command " << command + 1 << " of the script";
  }
}

INSTANTIATE_TEST_SUITE_P(Games, GameScriptsTest,
                         testing::Values("02-go-then-stop", "03-shake-and-bomb",
                                         "04-timeouts-auto-play", "06-robot-opponent", "08-anti-leave-room",
                                         "09-mission-rejoin-result", "10-draw-then-mission"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return "g" + name;
                         });

TEST_F(GameScript, PlainWinOnA565Desktop) {
  const std::map<std::string, std::string> hashes = {
      {"after-deal", "a5002c08ad1a16e2"}, {"my-turn", "a98a8f2cd029c29a"}, {"go-or-stop", "a1b169f3546951f5"},
      {"result", "2e1217ee4cbc4404"},     {"settlement", "7e263ce26737cec6"},
  };
  EXPECT_EQ(Play("desktop 565\n" + WithHashes(ScriptText("01-plain-win"), hashes), "01-plain-win-565"), "");
}

}  // namespace game_scripts
