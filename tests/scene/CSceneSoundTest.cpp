// The sound cues alone, over a table of the test's own: registration and its stops, the
// effect volume, the trace and the speakers of voice lines.
#include "scene/CSceneSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "plat/sim.h"
#include "scene/SceneEffects.h"
#include "support/SceneTraceRecorder.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

namespace scene_sound_test {

constexpr const char* kFolder = "D:\\cues\\";
constexpr int32_t kStop = 10027;
constexpr int32_t kNever = -100;

class FakeTable : public CSceneSound::ITable {
 public:
  bool MayRegisterEffects() const override { return mayRegister; }
  void BeforeEffectLoad(int32_t id) override {
    loads.push_back(id);
    if (id == stopAt) mayRegister = false;
  }
  bool VoicesOn() const override { return voicesOn; }
  int32_t TurnSeat() const override { return turnSeat; }
  CSceneSound::Speaker SpeakerAt(int32_t seat) const override { return speakers.at(static_cast<size_t>(seat)); }
  int32_t MyGender() const override { return 1; }

  bool mayRegister = true;
  int32_t stopAt = kNever;  // the load at which the table stops registration
  std::vector<int32_t> loads;
  bool voicesOn = true;
  int32_t turnSeat = -1;
  std::array<CSceneSound::Speaker, 2> speakers{{{101, 0, 2, false}, {202, 1, 0, false}}};
};

class CSceneSoundTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ResetSound();
    plat::sim::MapPathPrefix(kFolder, dir_.path());
    const testing_support::Bytes pcm = testing_support::Pcm16Bytes(std::vector<int16_t>(200, 100));
    const std::string wav = testing_support::AsString(
        testing_support::MakeWav({.channels = 2, .rate = 44100, .data = pcm, .extra = {}}));
    for (const char* file : scene_effects::Files) dir_.Write(file, wav);
    for (const char* folder : {"Male3", "Female1", "Female3", "Robot"})
      for (int32_t v = 1; v <= 3; ++v) dir_.Write(std::string(folder) + "/stop" + std::to_string(v) + ".ogg", wav);
    sound_.SetFolder(kFolder);
    sound_.SetTrace(&trace_);
  }
  void TearDown() override {
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetSound();
  }
  static HWND Device() { return reinterpret_cast<HWND>(uintptr_t{0x10}); }
  // The file channel a voice line went to, or "".
  std::string LastVoiceFile() {
    std::string last;
    for (int32_t i = 0; i < CGameSoundMgr::kChannels; ++i)
      if (sound_.Mgr().Channel(i).Buffer()) last = sound_.Mgr().Channel(i).FileName();
    return last;
  }
  testing_support::TempDir dir_;
  FakeTable table_;
  testing_support::SceneTraceRecorder trace_;
  CSceneSound sound_{table_};
};

TEST_F(CSceneSoundTest, RegistersEveryEffectInLoadOrderAndPlaysOnlyAfterwards) {
  EXPECT_EQ(sound_.PlayEffect(7, 0), 0) << "nothing registered yet";
  ASSERT_EQ(sound_.RegisterEffects(Device()), 1);
  std::vector<int32_t> expected(std::begin(scene_effects::LoadOrder), std::end(scene_effects::LoadOrder));
  expected.push_back(scene_effects::kCount);
  EXPECT_EQ(table_.loads, expected);
  EXPECT_TRUE(sound_.IsReady());
  EXPECT_EQ(sound_.PlayEffect(7, 0), 1);
  sound_.Release();
  EXPECT_FALSE(sound_.IsReady());
  EXPECT_EQ(sound_.PlayEffect(7, 0), 0);
}

// A stop before a file loads nothing more; a stop as the last file is done (a teardown
// racing the end) must not leave the cues playable.
TEST_F(CSceneSoundTest, ATableThatStopsRegistrationLeavesTheCuesSilent) {
  for (const int32_t stopAt : {scene_effects::LoadOrder[0], int32_t{19}, scene_effects::kCount}) {
    SCOPED_TRACE(stopAt);
    FakeTable table;
    table.stopAt = stopAt;
    CSceneSound sound(table);
    sound.SetFolder(kFolder);
    EXPECT_EQ(sound.RegisterEffects(Device()), 0);
    EXPECT_EQ(table.loads.back(), stopAt);
    EXPECT_FALSE(sound.IsReady());
    EXPECT_EQ(sound.PlayEffect(0, 0), 0);
  }
}

TEST_F(CSceneSoundTest, EffectVolumeStaysBetweenSilenceAndFull) {
  const std::pair<int32_t, int32_t> cases[] = {{1, 0}, {0, 0}, {-1, -1}, {-4999, -4999}, {-5000, -10000}, {-20000, -10000}};
  for (const auto& [asked, kept] : cases) {
    sound_.SetEffectVolume(asked);
    EXPECT_EQ(sound_.EffectVolume(), kept) << asked;
  }
}

TEST_F(CSceneSoundTest, VolumeCountdownRunsOnlyBelowFullVolume) {
  ASSERT_EQ(sound_.RegisterEffects(Device()), 1);
  sound_.SetVolumeCountdown(3);
  sound_.ReapplyVolumeOnTick();
  EXPECT_EQ(sound_.VolumeCountdown(), 3) << "at full volume there is nothing to nudge";
  sound_.SetEffectVolume(-100);
  for (int32_t i = 0; i < 5; ++i) sound_.ReapplyVolumeOnTick();
  EXPECT_EQ(sound_.VolumeCountdown(), 0);
  EXPECT_EQ(sound_.EffectVolume(), -100);
  EXPECT_EQ(sound_.Mgr().GetVolume(7), -100) << "back on the stored volume";
}

// Asks are traced whether or not they are heard; ids outside the effects are not.
TEST_F(CSceneSoundTest, TraceHoldsEveryInRangeAskAndANullTraceNothing) {
  auto ask = [this] {
    sound_.PlayEffect(-1, 0);
    sound_.PlayEffect(scene_effects::kCount, 0);
    sound_.PlayEffect(5, 0);
    sound_.StopEffect(scene_effects::kCount);
    sound_.StopEffect(3);
    sound_.StopLoopingEffects();
    sound_.PlayVoice(kStop, 1);
  };
  ask();
  EXPECT_EQ(trace_.effects, std::vector<int32_t>{5});
  EXPECT_EQ(trace_.stopped, (std::vector<int32_t>{3, scene_effects::kThreeGoWin, scene_effects::kThreeGoLose}));
  EXPECT_EQ(trace_.voices, (std::vector<std::array<int32_t, 2>>{{kStop, 1}}));
  trace_.Clear();
  sound_.SetTrace(nullptr);
  ask();
  EXPECT_TRUE(trace_.effects.empty() && trace_.stopped.empty() && trace_.voices.empty());
}

TEST_F(CSceneSoundTest, VoiceLinesSpeakWithTheTablesSpeakers) {
  ASSERT_EQ(sound_.RegisterEffects(Device()), 1);
  EXPECT_EQ(sound_.PlayVoice(kStop, -1), 0) << "the turn user holds no seat";
  EXPECT_EQ(sound_.PlayVoice(kStop, 2), 0) << "no such seat";
  ASSERT_EQ(sound_.PlayVoice(kStop, 0), 1);
  EXPECT_EQ(LastVoiceFile().rfind("Male3\\stop", 0), 0u) << LastVoiceFile();
  // A muted user is silent in their own seat, but speaks as the turn user.
  sound_.AddMutedUser(202);
  EXPECT_EQ(sound_.PlayVoice(kStop, 1), 0);
  table_.turnSeat = 1;
  ASSERT_EQ(sound_.PlayVoice(kStop, -1), 1);
  EXPECT_EQ(LastVoiceFile().rfind("Female1\\stop", 0), 0u) << LastVoiceFile();
  // The preview speaks variant 1 of the asked set with this client's gender.
  ASSERT_EQ(sound_.PreviewVoice(kStop, 2, -1), 1);
  EXPECT_GE(sound_.Mgr().FindChannel("Female3\\stop1.ogg"), 0);
  table_.speakers[0].robot = true;
  EXPECT_EQ(sound_.PlayVoice(CSceneSound::kRobotQuietAbove + 1, 0), 0) << "a robot says no more";
  table_.voicesOn = false;
  EXPECT_EQ(sound_.PlayVoice(kStop, 0), 0);
  EXPECT_EQ(sound_.PreviewVoice(kStop, 0, -1), 0);
}

}  // namespace scene_sound_test
