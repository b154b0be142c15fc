// Whole games from scripts on the loaded module, and the runner checking itself: a
// wrong byte, a command never sent and an extra command each fail with the line and
// the virtual time; the header sets the world up, boxes are read and answered,
// checkpoints compare frames, and a replay gives the same transcript and frames.
#include "testhost/ScriptRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "ScriptEnvironmentFixture.h"
#include "testhost/ScriptReader.h"

namespace {

using script_test::Environment;

class ScriptRunnerTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    plat::sim::ClearPathPrefixes();
  }
  // The failure, or "" when the script passes.
  std::string Play(const std::string& script) {
    last = testhost::PlayScript(script, "self-check", Environment());
    return last.failure;
  }
  std::string PlayFile(const std::string& name, bool captureSound = false) {
    testhost::ScriptEnvironment environment = Environment();
    environment.captureSound = captureSound;
    last = testhost::PlayScriptFile(script_test::ScriptPath(name), environment);
    if (!last.failure.empty())
      for (const std::string& line : last.transcript) std::printf("%s\n", line.c_str());
    return last.failure;
  }
  testhost::ScriptOutcome last;
};

TEST_F(ScriptRunnerTest, PlainWin) { EXPECT_EQ(PlayFile("01-plain-win.txt"), ""); }

// Nothing but the text lines and the settlement's counts goes out from an observer,
// whose own join is refused with a notice that closes by itself.
TEST_F(ScriptRunnerTest, AnObserverWatchesAWholeGame) {
  EXPECT_EQ(PlayFile("05-observer.txt"), "");
  EXPECT_EQ(last.boxes.size(), 1u);
}

TEST_F(ScriptRunnerTest, LeavingMidGame) {
  for (const char* script : {"07-leave-anti-leave.txt", "07b-leave-plain.txt"}) {
    SCOPED_TRACE(script);
    EXPECT_EQ(PlayFile(script), "");
  }
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
      {"@0 msg HM_NOPE\n@1 end\n", "load: line 1: no message HM_NOPE"},
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

namespace {

TEST(ScriptSetup, HeaderLinesDescribeTheWorld) {
  testhost::ScriptSetup setup;
  std::string error;
  ASSERT_TRUE(testhost::ReadScriptSetup("# a header\nme 103\ndesktop 565\ntick 4294967000\n"
                                        "localtime 2012-01-02 03:04:05\ndata /g /p\nevent 62 \"hi\"\nevent 43 1\n"
                                        "defaults plain\n@0 end\n",
                                        setup, error))
      << error;
  EXPECT_EQ(setup.me, 103);
  EXPECT_EQ(setup.desktop, "565");
  EXPECT_EQ(setup.tickBase, 4294967000u);
  EXPECT_EQ(setup.localTime.wYear, 2012);
  EXPECT_EQ(setup.localTime.wSecond, 5);
  EXPECT_EQ(setup.gameFolder, "/g");
  EXPECT_EQ(setup.portalFolder, "/p");
  ASSERT_EQ(setup.events.size(), 2u);
  EXPECT_EQ(setup.events[0].second.dataBack, "hi");
  EXPECT_TRUE(setup.events[0].second.writeData);
  EXPECT_EQ(setup.events[1].second.result, 1);
  EXPECT_TRUE(setup.plainDefaults);

  const struct {
    const char* line;
    const char* error;
  } bad[] = {
      {"desktop 24", "line 1: unknown header desktop 24"},
      {"localtime 2012-01-02", "line 1: localtime wants YYYY-MM-DD HH:MM:SS"},
      {"data /g", "line 1: data wants the game folder and the portal folder"},
      {"event 62 hi", "line 1: event wants a code and a quoted text or a result"},
      {"defaults fancy", "line 1: unknown header defaults fancy"},
      {"localtime 2012-04-31 10:00:00", "line 1: localtime 2012-04-31 10:00:00 is no date"},
      {"localtime 2012-13-01 10:00:00", "line 1: localtime 2012-13-01 10:00:00 is no date"},
      {"localtime 2012-01-01 24:00:00", "line 1: localtime 2012-01-01 24:00:00 is no date"},
      // Past the system's 16-bit fields: refused, not wrapped into 2012-01-01 00:00:00.
      {"localtime 2012-01-01 65536:00:00", "line 1: localtime 2012-01-01 65536:00:00 is no date"},
      {"localtime 2012-01-01 4294967296:00:00", "line 1: localtime 2012-01-01 4294967296:00:00 is no date"},
      {"localtime 67548-01-01 00:00:00", "line 1: localtime 67548-01-01 00:00:00 is no date"},
      {"localtime 2012-65537-01 00:00:00", "line 1: localtime 2012-65537-01 00:00:00 is no date"},
      {"localtime 2012-01-65537 00:00:00", "line 1: localtime 2012-01-65537 00:00:00 is no date"},
  };
  for (const auto& c : bad) {
    testhost::ScriptSetup ignored;
    EXPECT_FALSE(testhost::ReadScriptSetup(c.line, ignored, error));
    EXPECT_EQ(error, c.error);
  }
}

// What an editor leaves unseen is named, not printed as it is.
TEST_F(ScriptRunnerTest, LinesThatCannotBeSeenAreNamed) {
  const struct {
    const char* text;
    const char* error;
  } bad[] = {
      {"\xEF\xBB\xBFme 101\n", "line 1: the line starts with a byte-order mark (EF BB BF): save the script as UTF-8 without one"},
      {"me 101\n\t\t\n", "line 2: the line holds only tabs and spaces: a blank line holds nothing or spaces"},
      {"me 101\n  @100 end\n", "line 2: an event line starts with its time at the line's start; this one is indented"},
      {"me 101\n\tfoo 32\n", "line 2: unknown header \\tfoo 32"},
      {"me 101\nkey\x01 a\n", "line 2: unknown header key\\x01 a"},
  };
  for (const auto& c : bad) {
    testhost::Script script;
    std::string error;
    EXPECT_FALSE(testhost::ReadScript(c.text, script, error));
    EXPECT_EQ(error, c.error);
  }
}

// `defaults plain` fills the room entry and the joins; the header's answer to event 62
// is the text line the entry sends.
TEST_F(ScriptRunnerTest, PlainDefaultsAndTheHostsAnswersMakeTheEntry) {
  EXPECT_EQ(Play("me 101\ndefaults plain\nevent 62 \"hello\"\n"
                 "@100 msg HM_ROOM_ENTER\n"
                 "+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n"
                 "+0 expect host SetPlayState(3)\n"
                 "+0 expect cmd 1C 00 00 00 65 00 00 00 05 00 00 00 68 65 6C 6C 6F\n"
                 "+500 msg HM_JOIN_GAME userNo=101 seat=0\n"
                 "+0 expect cmd 1C 00 00 00 65 00 00 00 05 00 00 00 68 65 6C 6C 6F\n"
                 "+500 msg HM_JOIN_GAME userNo=102 seat=1\n"
                 "+0 expect cmd 1C 00 00 00 65 00 00 00 05 00 00 00 68 65 6C 6C 6F\n"
                 "+500 end\n"),
            "");
}

// An old version's entry: a notice box with a 5 s time-out, then the close.
constexpr const char* kOldVersion = "me 101\ndefaults plain\n@100 msg HM_ROOM_ENTER clientVersion=1\n";

TEST_F(ScriptRunnerTest, BoxesAreReadAnsweredInTheirTimeAndChecked) {
  const struct {
    const char* name;
    std::string tail;
    std::string failure;
    std::string closedAt;  // the close's transcript line, when the script passes
  } cases[] = {
      {"ok at once", "+0 box ok\n+0 expect box \"최신 버전이 아닙니다.\"\n+0 expect post WM_GAME_CLOSE(0, 0)\n+100 end\n",
       "", "   100 ms  posted WM_GAME_CLOSE(0, 0)"},
      {"ok later", "+2000 box ok\n+0 expect post WM_GAME_CLOSE(0, 0)\n+100 end\n", "",
       "  2100 ms  posted WM_GAME_CLOSE(0, 0)"},
      {"its own time-out", "+0 box wait\n+5000 expect post WM_GAME_CLOSE(0, 0)\n+100 end\n", "",
       "  5100 ms  posted WM_GAME_CLOSE(0, 0)"},
      {"another text", "+0 box ok\n+0 expect box \"abc\"\n+100 end\n", "line 5 at 100 ms: no box saying \"abc\"", ""},
      {"another post", "+0 box ok\n+0 expect post WM_GAME_CLOSE(1, 0)\n+100 end\n",
       "line 5 at 100 ms: no post WM_GAME_CLOSE(1, 0)", ""},
      {"an answer without a box", "+0 box ok\n+0 box no\n+100 end\n", "line 5 at 200 ms: no box came for this answer",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Play(kOldVersion + c.tail), c.failure);
    if (!c.closedAt.empty()) {
      EXPECT_NE(std::find(last.transcript.begin(), last.transcript.end(), c.closedAt), last.transcript.end());
    }
  }
  ASSERT_FALSE(last.boxes.empty());
  EXPECT_EQ(plat::Cp949ToUtf8(last.boxes[0]),
            "현재 실행중인 무렉 파일은 최신 버전이 아닙니다.\n재실행하시면 최신버전을 다운 받을 수 있습니다.");
}

// A checkpoint that differs writes the frame it saw; the update mode writes the hashes
// into the script instead, and the script then passes as written.
TEST_F(ScriptRunnerTest, CheckpointsCheckFramesAndTheUpdateModeRewritesTheirHashes) {
  const std::string failure = Play("me 101\n@100 checkpoint start 0123456789abcdef\n+0 end\n");
  ASSERT_EQ(last.checkpoints.size(), 1u);
  EXPECT_EQ(failure,
            "line 2 at 100 ms: checkpoint start: frame " + last.checkpoints.at(0).second + " (" +
                Environment().frameFolder + "/self-check-start.actual.png)");
  EXPECT_TRUE(std::filesystem::exists(Environment().frameFolder + "/self-check-start.actual.png"));

  const std::string path = script_test::Folder() / "update-check.txt";
  std::ofstream(path) << "me 101\n@100 checkpoint start 0123456789abcdef # the table\n+10 checkpoint again\n+0 end\n";
  testhost::ScriptEnvironment update = Environment();
  update.updateHashes = true;
  const testhost::ScriptOutcome updated = testhost::PlayScriptFile(path, update);
  EXPECT_EQ(updated.failure, "");
  ASSERT_EQ(updated.checkpoints.size(), 2u);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "me 101\n@100 checkpoint start " + updated.checkpoints[0].second + " # the table\n" +
                            "+10 checkpoint again " + updated.checkpoints[1].second + "\n+0 end\n");
  EXPECT_EQ(testhost::PlayScriptFile(path, Environment()).failure, "");
}

// A checkpoint's hash on the script's own desktop comes first, unnamed; those of other
// desktops follow under their names, each once.
TEST(ScriptReader, CheckpointsCarryAHashForEachDesktop) {
  testhost::Script script;
  std::string error;
  ASSERT_TRUE(testhost::ReadScript("@0 checkpoint a 0123 565=abcd 555=ef\n+0 checkpoint b 555=99\n+0 end\n", script,
                                   error))
      << error;
  const testhost::ScriptEvent& a = script.events[0];
  EXPECT_EQ(a.hash, "0123");
  ASSERT_NE(a.HashOn("565", script.setup), nullptr);
  EXPECT_EQ(*a.HashOn("565", script.setup), "abcd");
  EXPECT_EQ(*a.HashOn("555", script.setup), "ef");
  EXPECT_EQ(*a.HashOn("32", script.setup), "0123");
  const testhost::ScriptEvent& b = script.events[1];
  EXPECT_EQ(*b.HashOn("32", script.setup), "");
  EXPECT_EQ(b.HashOn("565", script.setup), nullptr);

  const struct {
    const char* script;
    const char* error;
  } bad[] = {
      {"@0 checkpoint a 565=zz\n+0 end\n", "line 1: checkpoint: unreadable hash 565=zz"},
      {"@0 checkpoint a 24=abcd\n+0 end\n", "line 1: checkpoint: no desktop 24"},
      {"@0 checkpoint a 01 02\n+0 end\n", "line 1: checkpoint: a second hash 02"},
      {"@0 checkpoint a 565=01 565=02\n+0 end\n", "line 1: checkpoint: a second hash 565=02"},
      {"@0 checkpoint a 555=01 02\n+0 end\n", "line 1: checkpoint: a second hash 02"},
      {"@0 checkpoint 565=01\n+0 end\n", "line 1: unreadable checkpoint"},
      {"desktop 565\n@0 checkpoint a 565=01\n+0 end\n",
       "line 2: 565 is the script's own desktop: its hash stands first, without a name"},
  };
  for (const auto& c : bad) {
    testhost::Script ignored;
    EXPECT_FALSE(testhost::ReadScript(c.script, ignored, error)) << c.script;
    EXPECT_EQ(error, c.error);
  }
}

// A script's sounds: each onset with its file in the sound folder, in time order, within
// the script.
TEST(ScriptReader, SoundsAreReadInOrderWithTheirFiles) {
  testhost::Script script;
  std::string error;
  ASSERT_TRUE(testhost::ReadScript("@0 msg HM_TURN userNo=101 turnValue=0\nsound 20 a.ogg\nsound 20 Female1/b2.ogg # v\n"
                                   "@40 end\nsound 40 c.wav\n",
                                   script, error))
      << error;
  ASSERT_EQ(script.setup.sounds.size(), 3u);
  EXPECT_EQ(script.setup.sounds[1].line, 3);
  EXPECT_EQ(script.setup.sounds[1].at, 20u);
  EXPECT_EQ(script.setup.sounds[1].name, "Female1/b2.ogg");
  EXPECT_EQ(script.setup.sounds[2].at, 40u);
  const std::string unreadable = "line 1: sound wants its onset in ms and its file in the sound folder";
  const struct {
    const char* script;
    std::string error;
  } bad[] = {
      {"sound 10 a.ogg\nsound 5 b.ogg\n@20 end\n", "line 2: the sounds' times run backwards"},
      {"sound 30 a.ogg\n@20 end\n", "line 1: a sound after the end"},
      {"sound 10 ../a.ogg\n@20 end\n", unreadable},
      {"sound 10 Female1\\a.ogg\n@20 end\n", unreadable},
      {"sound 10 /a.ogg\n@20 end\n", unreadable},
      {"sound 10 a.ogg b.ogg\n@20 end\n", unreadable},
      {"sound -1 a.ogg\n@20 end\n", unreadable},
      {"sound 10\n@20 end\n", unreadable},
  };
  for (const auto& c : bad) {
    testhost::Script ignored;
    EXPECT_FALSE(testhost::ReadScript(c.script, ignored, error)) << c.script;
    EXPECT_EQ(error, c.error);
  }
}

// The update mode takes the sounds heard into the script; a script with them is held to
// them whole: another file, a sound more or one less each fail on its line.
TEST_F(ScriptRunnerTest, TheSoundsHeardAreTakenAndCheckedWhole) {
  const std::string path = script_test::Folder() / "sound-check.txt";
  const std::string events =
      "me 101\n@100 msg HM_ROOM_ENTER clientVersion=20110927 myUser.userNo=101 entryKind=1 room.sceneMode=1 "
      "stakePerPoint=1000 entryUserNo=101\n+0 expect cmd 02 00 00 00 01 00 00 00 00 00 00 00\n"
      "+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
      "+500 msg HM_JOIN_GAME userNo=101 seat=0 player.userNo=101\n+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n"
      "+500 msg HM_JOIN_GAME userNo=102 seat=1 player.userNo=102\n+0 expect cmd 1C 00 00 00 65 00 00 00 00 00 00 00\n";
  std::ofstream(path) << events << "+600 end\n";
  testhost::ScriptEnvironment update = Environment();
  update.updateHashes = true;
  ASSERT_EQ(testhost::PlayScriptFile(path, update).failure, "");
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  testhost::Script taken;
  std::string error;
  ASSERT_TRUE(testhost::ReadScript(text.str(), taken, error)) << error;
  ASSERT_GE(taken.setup.sounds.size(), 2u);
  const testhost::ScriptSound join = taken.setup.sounds.back();
  EXPECT_EQ(join.name, "game_join.ogg");
  EXPECT_EQ(text.str().substr(0, events.size()), events);
  EXPECT_EQ(testhost::PlayScriptFile(path, Environment()).failure, "");

  std::string sounds;
  for (const testhost::ScriptSound& s : taken.setup.sounds)
    if (&s != &taken.setup.sounds.back()) sounds += "sound " + std::to_string(s.at) + " " + s.name + "\n";
  const std::string joinLine = "sound " + std::to_string(join.at) + " ";
  const int joinAt = int(std::count(events.begin(), events.end(), '\n')) + int(taken.setup.sounds.size());
  const std::string heard = "heard sound " + std::to_string(join.at) + " game_join.ogg of ";
  const std::string count = std::to_string(taken.setup.sounds.size());
  EXPECT_EQ(Play(events + sounds + joinLine + "room_join.ogg\n+600 end\n"),
            "line " + std::to_string(joinAt) + " at 1700 ms: " + joinLine + "room_join.ogg of " + count +
                " expected, " + heard + count);
  const std::string later = "sound " + std::to_string(join.at + 40) + " ";
  EXPECT_EQ(Play(events + sounds + later + "game_join.ogg\n+600 end\n"),
            "line " + std::to_string(joinAt) + " at 1700 ms: " + later + "game_join.ogg of " + count + " expected, " +
                heard + count);
  EXPECT_EQ(Play(events + sounds + "+600 end\n"),
            "line " + std::to_string(joinAt) + " at 1700 ms: a sound the script does not hold: sound " +
                std::to_string(join.at) + " game_join.ogg");
  EXPECT_EQ(Play(events + sounds + joinLine + "game_join.ogg\nsound 1150 game_join.ogg\n+600 end\n"),
            "line " + std::to_string(joinAt + 1) + " at 1700 ms: sound 1150 game_join.ogg of " +
                std::to_string(taken.setup.sounds.size() + 1) + " expected, heard none of " + count);
}

// The anti-leave question has no time-out: left unanswered, it holds the game until
// the guard fails the script and closes it.
TEST_F(ScriptRunnerTest, AnUnansweredBoxTripsTheRunawayGuard) {
  std::ifstream in(std::string(DORVIK_GAME_SCRIPTS_DIR) + "07-leave-anti-leave.txt");
  std::stringstream text;
  text << in.rdbuf();
  const std::string full = text.str();
  const std::string deal = "+0 expect cmd 13 00 00 00 05 00 00 00 00 00 00 00\n";
  const size_t cut = full.find(deal);
  ASSERT_NE(cut, std::string::npos);
  // On the opponent's turn nothing of mine times out while the box waits.
  const std::string script = full.substr(0, cut + deal.size()) +
                             "+1000 msg HM_TURN userNo=102 turnValue=0\n+500 click 735 587\n+0 end\n";
  const int endLine = static_cast<int>(std::count(script.begin(), script.end(), '\n'));
  const std::string failure = Play(script);
  EXPECT_EQ(failure.rfind(plat::FormatString("line %d at ", endLine), 0), 0u) << failure;
  EXPECT_NE(failure.find("runaway: a box is still open 60 s after the last event"), std::string::npos) << failure;
  uint32_t at = 0;
  ASSERT_EQ(std::sscanf(failure.c_str(), "line %*d at %u ms", &at), 1);
  EXPECT_GT(at, testhost::ScriptRunner::kRunawayMs);
  EXPECT_EQ(last.boxes.size(), 1u);
}

// The same script in the same process: the same transcript and the same frames.
TEST_F(ScriptRunnerTest, ThePlainWinReplaysIdentically) {
  ASSERT_EQ(PlayFile("01-plain-win.txt", true), "");
  const testhost::ScriptOutcome first = last;
  ASSERT_EQ(PlayFile("01-plain-win.txt", true), "");
  EXPECT_EQ(last.transcript, first.transcript);
  EXPECT_EQ(last.checkpoints, first.checkpoints);
  EXPECT_TRUE(std::any_of(first.sound.begin(), first.sound.end(), [](int16_t v) { return v != 0; }));
  EXPECT_TRUE(last.sound == first.sound) << "the game's sound, sample for sample";
  EXPECT_EQ(first.checkpoints.size(), 5u);
}

}  // namespace
