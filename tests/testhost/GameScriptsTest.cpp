// The whole games of tests/games played on the loaded module, one test per script, and
// the plain win again on a 5-6-5 desktop, whose frames hash differently.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "plat/sim.h"
#include "testhost/ScriptRunner.h"

namespace game_scripts {

constexpr uint32_t kLoaderWaitRealMs = 30000;
constexpr const char* kGameFolder = "C:\\Dorvik2\\Game\\";
constexpr const char* kPortalFolder = "C:\\Dorvik2\\Portal\\";
// Where the clocks stand when a game starts, so that the seeds drawn from them (the
// voices, the deal's jitter) replay.
constexpr uint32_t kStartTick = 1000000;
constexpr SYSTEMTIME kStartTime{2011, 9, 2, 27, 20, 0, 0, 0};

std::string ScriptText(const std::string& name) {
  std::ifstream in(std::string(DORVIK_GAME_SCRIPTS_DIR) + name + ".txt");
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

// A registry file of the running test's own: the games run side by side.
std::string RegistryName() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "-" + test->name() + "-registry.dat";
  for (char& c : name)
    if (c == '/') c = '-';
  return name;
}

class GameScript : public testing::Test {
 protected:
  // The desktop's format is fixed before the module first looks at the display.
  void Start(plat::sim::DisplayFormat desktop) {
    plat::sim::SetDesktopFormat(desktop);
    ASSERT_TRUE(clocksSet_);
    // Every game starts from a fresh registry: options a game saved would change the next.
    const std::string registry = testing::TempDir() + RegistryName();
    std::filesystem::remove(registry);
    plat::sim::SetRegistryFile(registry);
    plat::sim::MapPathPrefix(kGameFolder, DORVIK_GAME_DATA_DIR);
    plat::sim::MapPathPrefix(kPortalFolder, DORVIK_GAME_PORTAL_DIR);
    std::string error;
    ASSERT_TRUE(host.LoadModule(DORVIK2_MODULE_FILE, error)) << error;
    ASSERT_EQ(host.Create(), 0);
    ASSERT_NE(host.Init(u"C:\\Dorvik2\\Game\\", u"C:\\Dorvik2\\Portal\\", 0), nullptr);
    ASSERT_TRUE(host.WaitForLoader(kLoaderWaitRealMs));
    host.Client()->RefreshScreen(0);
  }
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetDisplay();
  }
  // The failure, or "" when the script passes; a differing frame lands in
  // <temp>/<frames>/<checkpoint>.png.
  std::string Play(const std::string& script, const std::string& frames) {
    testhost::ScriptRunner runner(host);
    const std::string folder = testing::TempDir() + frames;
    std::filesystem::create_directories(folder);
    runner.SetFrameFolder(folder);
    std::string error;
    if (!runner.Load(script, error)) return "load: " + error;
    if (runner.Run(error)) return "";
    for (const std::string& line : host.Transcript()) std::printf("%s\n", line.c_str());
    return error;
  }
  // Set before the host is made: its transcript counts time from its making.
  static bool SetClocks() {
    plat::sim::UseVirtualClock();
    plat::sim::SetTickBase(kStartTick);
    return plat::sim::SetLocalTimeStart(kStartTime);
  }
  const bool clocksSet_ = SetClocks();
  testhost::TestHost host;
};

class GameScriptsTest : public GameScript, public testing::WithParamInterface<const char*> {};

// Every command goes out as written; one written at an absolute time goes out then,
// counted from the first such command (the countdowns' lengths).
TEST_P(GameScriptsTest, PlaysToItsEnd) {
  Start(plat::sim::DisplayFormat::Xrgb8888);
  const std::string script = ScriptText(GetParam());
  ASSERT_EQ(Play(script, GetParam()), "");
  const std::map<size_t, uint32_t> pinned = PinnedCommands(script);
  const std::vector<uint32_t> sent = SendTimes(host.Transcript());
  if (pinned.empty()) return;
  const auto& [first, firstAt] = *pinned.begin();
  ASSERT_LT(pinned.rbegin()->first, sent.size());
  for (const auto& [command, at] : pinned) {
    EXPECT_EQ(sent[command] - sent[first], at - firstAt) << "command " << command + 1 << " of the script";
  }
}

INSTANTIATE_TEST_SUITE_P(Games, GameScriptsTest,
                         testing::Values("01-plain-win", "02-go-then-stop", "03-shake-and-bomb",
                                         "04-timeouts-auto-play", "06-robot-opponent"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return "g" + name;
                         });

TEST_F(GameScript, PlainWinOnA565Desktop) {
  Start(plat::sim::DisplayFormat::Rgb565);
  const std::map<std::string, std::string> hashes = {
      {"after-deal", "1e546eeace61b533"}, {"my-turn", "02689bc79156f8c8"}, {"go-or-stop", "60fe307684064e9b"},
      {"result", "d1ec81a01c09cbda"},     {"settlement", "ccea26599d8e2f2a"},
  };
  EXPECT_EQ(Play(WithHashes(ScriptText("01-plain-win"), hashes), "01-plain-win-565"), "");
}

}  // namespace game_scripts
