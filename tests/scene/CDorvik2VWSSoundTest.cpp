// The scene's sound: effects registered from the sound folder (each a WAV at a level of
// its own, so the capture says which played), effect volume, and voice lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "module/CDorvik2Wnd.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "support/HostWindowFixture.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"
#include "tables/VocabularyTables.h"

namespace {

using testing_support::Bytes;

constexpr const char* kSoundFolder = "D:\\game\\GameSound\\";
constexpr int32_t kMaleUser = 101;
constexpr int32_t kFemaleUser = 202;
constexpr int32_t kStop = 10027;

int16_t EffectLevel(int32_t id) { return static_cast<int16_t>(100 * (id + 1)); }

// 44,100 Hz 16-bit stereo at one level: at volume 0 the mixer passes it unchanged.
Bytes LevelWav(int16_t level, uint32_t frames) {
  const Bytes pcm = testing_support::Pcm16Bytes(std::vector<int16_t>(frames * 2, level));
  return testing_support::MakeWav({.channels = 2, .rate = 44100, .data = pcm, .extra = {}});
}

// What runs on the registering thread just before effect `hookId` loads (kCount: just
// before the effects may play).
std::atomic<int32_t> hookId{-1};
std::function<void(CDorvik2VWS&)> hookAction;
// Whether a registration got past its last file.
std::atomic<int32_t> hookReachedEnd{0};
void RunHook(CDorvik2VWS& scene, int32_t id) {
  if (id == scene_effects::kCount) hookReachedEnd = 1;
  if (id == hookId) hookAction(scene);
}

class SceneSoundTest : public testing_support::HostWindowFixture {
 protected:
  void SetUp() override {
    HostWindowFixture::SetUp();
    plat::sim::ResetSound();
    hookId = -1;
    hookReachedEnd = 0;
    CDorvik2VWS::SetEffectLoadHook(&RunHook);
    plat::sim::MapPathPrefix(kGameFolder, dir_.path());
    for (int32_t id = 0; id < scene_effects::kCount; ++id)
      PutSound(scene_effects::Files[id], LevelWav(EffectLevel(id), 4410));
  }
  void TearDown() override {
    HostWindowFixture::TearDown();
    plat::sim::RecordOpenedFiles(false);
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetSound();
    CDorvik2VWS::SetEffectLoadHook(nullptr);
  }
  // The game window as the host makes it; without a loader the test registers itself.
  void MakeGame(int32_t threaded, bool withoutLoader = true) {
    client_ = Make();
    if (withoutLoader) plat::sim::FailNext("CreateThread");
    ASSERT_NE(Init(client_, threaded), nullptr);
    wnd_ = Wnd(client_);
    scene_ = wnd_->Scene();
  }
  void Register() {
    MakeGame(0);
    ASSERT_EQ(scene_->RegisterEffects(), 1);
    SeatPlayers();
  }
  void Hook(int32_t id, std::function<void(CDorvik2VWS&)> action) {
    hookAction = std::move(action);
    hookId = id;
  }
  void PutSound(std::string name, const Bytes& bytes) {
    std::replace(name.begin(), name.end(), '\\', '/');
    dir_.Write("GameSound/" + name, testing_support::AsString(bytes));
  }
  // Files opened since recording started, each once (a WAV is opened twice in a row).
  static std::vector<std::string> OpenedOnce() {
    std::vector<std::string> names = plat::sim::OpenedFiles();
    std::erase_if(names, [](const std::string& n) { return !n.starts_with(kSoundFolder); });  // Init's files
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
  }
  // The paths of the effects loaded before effect `id`'s turn came.
  static std::vector<std::string> PathsBefore(int32_t id) {
    std::vector<std::string> out;
    for (const int32_t e : scene_effects::LoadOrder) {
      if (e == id) break;
      out.push_back(std::string(kSoundFolder) + scene_effects::Files[e]);
    }
    return out;
  }
  std::vector<std::string> VoiceFiles() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < CGameSoundMgr::kChannels; ++i)
      if (scene_->SoundMgr().Channel(i).Buffer()) out.push_back(scene_->SoundMgr().Channel(i).FileName());
    return out;
  }
  // A male in seat 0 (voice set 2) and a female in seat 1 (voice set 0), and voice
  // files for every cue the tests speak.
  void SeatPlayers() {
    for (const char* folder : {"Male1", "Male3", "Male8", "Female1", "Female3", "Robot"})
      for (const char* cue : {"stop", "1go", "hello"})
        for (int32_t v = 1; v <= 3; ++v)
          PutSound(std::string(folder) + "\\" + cue + std::to_string(v) + ".ogg", LevelWav(1, 100));
    Speaker(0, kMaleUser, 0, 2);
    Speaker(1, kFemaleUser, 1, 0);
  }
  PlayerInfo& Speaker(int32_t seat, int32_t userNo, int32_t gender, int32_t voiceSet) {
    PlayerInfo& p = scene_->GetPlayer(seat);
    p.Reset();
    p.userNo = userNo;
    p.gender = gender;
    p.voiceSet = voiceSet;
    return p;
  }
  testing_support::TempDir dir_;
  IClientInterface* client_ = nullptr;
  CDorvik2Wnd* wnd_ = nullptr;
  CDorvik2VWS* scene_ = nullptr;
};

TEST_F(SceneSoundTest, EffectsAreLoadedFromTheSoundFolderInTheirOrderSkippingBadFiles) {
  dir_.Write("GameSound/hwatoo_open.ogg", "RIFF and nothing else");
  std::filesystem::remove(dir_ / "GameSound/capture.wav");
  MakeGame(0);
  EXPECT_EQ(scene_->SoundFolder(), kSoundFolder);
  plat::sim::RecordOpenedFiles(true);
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  std::vector<std::string> expected = PathsBefore(-1);
  std::erase(expected, std::string(kSoundFolder) + "capture.wav");
  EXPECT_EQ(OpenedOnce(), expected);
  EXPECT_TRUE(scene_->IsSoundReady());
  for (int32_t id = 0; id < scene_effects::kCount; ++id)
    EXPECT_EQ(scene_->SoundMgr().GetSound(id) != nullptr, id != 18 && id != 51) << id;
  EXPECT_EQ(scene_->PlayEffect(51, 0), 1) << "played nothing, but the id is valid";
}

TEST_F(SceneSoundTest, TeardownDuringRegistrationStopsBeforeTheNextFile) {
  MakeGame(0);
  const uint32_t liveBefore = plat::sim::LiveSoundBuffers();
  Hook(19, [](CDorvik2VWS& s) { s.DestroyAll(); });
  plat::sim::RecordOpenedFiles(true);
  EXPECT_EQ(scene_->RegisterEffects(), 0);
  EXPECT_EQ(OpenedOnce(), PathsBefore(19));
  EXPECT_FALSE(scene_->IsSoundReady());
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), liveBefore) << "the teardown released what was loaded";
  EXPECT_EQ(scene_->PlayEffect(0, 0), 0);
}

TEST_F(SceneSoundTest, LoaderAskedToEndStopsRegistrationBeforeTheNextFile) {
  HANDLE reached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Hook(37, [reached](CDorvik2VWS& s) {
    SetEvent(reached);
    while (!s.Owner()->LoaderCancelRequested()) WaitForSingleObject(reached, 2);
  });
  plat::sim::RecordOpenedFiles(true);
  MakeGame(1, false);
  ASSERT_EQ(WaitForSingleObject(reached, kThreadWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(Destroy(client_), 0);
  CloseHandle(reached);
  EXPECT_EQ(hookReachedEnd.load(), 0) << "the registration gave up";
  EXPECT_EQ(OpenedOnce(), PathsBefore(37));
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u);
}

TEST_F(SceneSoundTest, VolumeIsInPlaceAndNothingPlaysUntilTheTableIsPublished) {
  MakeGame(0);
  scene_->SetEffectVolume(-1500);
  bool readyAtHook = true;
  std::vector<LONG> volumes;
  std::vector<int32_t> plays;
  Hook(scene_effects::kCount, [&](CDorvik2VWS& s) {
    readyAtHook = s.IsSoundReady();
    for (int32_t e = 0; e < scene_effects::kCount; ++e) volumes.push_back(s.SoundMgr().GetVolume(e));
    for (int32_t e = 0; e < scene_effects::kCount; ++e) plays.push_back(s.PlayEffect(e, 0));
  });
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  EXPECT_FALSE(readyAtHook);
  EXPECT_EQ(volumes, std::vector<LONG>(scene_effects::kCount, -1500));
  EXPECT_EQ(plays, std::vector<int32_t>(scene_effects::kCount, 0));
  EXPECT_TRUE(scene_->IsSoundReady());
}

// The effect's own fixture is heard; -2000 is a tenth of the amplitude, and the volume
// is set again on every play.
TEST_F(SceneSoundTest, EffectPlaysByIdAtTheEffectVolumeAndOnlyInsideTheTable) {
  Register();
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  scene_->SetEffectVolume(-2000);
  scene_->SoundMgr().SetVolume(7, 0);
  EXPECT_EQ(scene_->PlayEffect(7, 0), 1);
  plat::sim::AdvanceClock(50);
  const std::vector<int16_t> heard = plat::sim::CapturedSound();
  ASSERT_EQ(heard.size(), 2u * 2205u);
  for (int16_t s : heard) ASSERT_NEAR(s, EffectLevel(7) / 10, 1);
  for (const int32_t outside : {-1, scene_effects::kCount}) {
    EXPECT_EQ(scene_->PlayEffect(outside, 0), 0) << outside;
    EXPECT_EQ(scene_->StopEffect(outside), 0) << outside;
  }
  EXPECT_EQ(scene_->StopEffect(3), 1) << "an idle effect";
  EXPECT_EQ(scene_->PlayEffect(scene_effects::kCount - 1, 0), 1);
}

// Which effect a seat event sounds, told by its level: a player leaving sounds the
// leave effect, and joining the join effect, nothing else.
TEST_F(SceneSoundTest, EachSeatEventSoundsItsOwnEffect) {
  Register();
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  scene_->SetEffectVolume(0);
  // The first 50 ms of the effect's 100; then it ends before the next event.
  const auto heardOnly = [](int32_t effect) {
    plat::sim::AdvanceClock(50);
    const std::vector<int16_t> heard = plat::sim::CapturedSound();
    plat::sim::AdvanceClock(100);
    plat::sim::ClearCapturedSound();
    return !heard.empty() && std::all_of(heard.begin(), heard.end(), [&](int16_t s) { return s == EffectLevel(effect); });
  };
  LeaveGameMsg leave;
  leave.userNo = kFemaleUser;
  scene_->OnLeaveGame(leave);
  EXPECT_TRUE(heardOnly(scene_effects::kGameExit)) << "the leave effect";
  JoinGameMsg join;
  join.userNo = kFemaleUser;
  join.seat = 1;
  join.player.userNo = kFemaleUser;
  scene_->OnJoinGame(join);
  EXPECT_TRUE(heardOnly(scene_effects::kGameJoin)) << "the join effect";
}

TEST_F(SceneSoundTest, VoiceFileFollowsTheSpeakersGenderVoiceSetAndVariant) {
  Register();
  struct Case {
    int32_t gender, voiceSet, robotNo;  // robotNo < -1: the seat is the robot's
    int32_t id;
    const char* prefix;  // the file: prefix + variant + ".ogg"
    bool robotDraw;      // the variant is the second draw, of two
  };
  const Case cases[] = {
      {0, 2, 0, kStop, "Male3\\stop", false},   {0, 7, 0, kStop, "Male1\\stop", false},
      {0, -1, 0, kStop, "Male1\\stop", false},  {1, 2, 0, kStop, "Female3\\stop", false},
      {5, 0, 0, kStop, "Robot\\stop", true},    {0, 2, -3, 10000, "Robot\\1go", true},
  };
  for (const Case& c : cases) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      SCOPED_TRACE(testing::Message() << c.prefix << ", seed " << seed);
      PlayerInfo& p = Speaker(0, kMaleUser, c.gender, c.voiceSet);
      if (c.robotNo < -1) p.SetRobot(c.robotNo, "robot");
      plat::crt::srand(seed);
      const int32_t row = plat::crt::rand() % FindVoiceCue(c.id).variantCount + 1;
      const int32_t robot = plat::crt::rand() % 2 + 1;
      plat::crt::srand(seed);
      ASSERT_EQ(scene_->PlayVoice(c.id, 0), 1);
      EXPECT_GE(scene_->SoundMgr().FindChannel(c.prefix + std::to_string(c.robotDraw ? robot : row) + ".ogg"), 0);
    }
  }
}

TEST_F(SceneSoundTest, WhoMaySpeak) {
  Register();
  scene_->GetPlayer(1).SetRobot(-7, "robot");
  plat::sim::RecordOpenedFiles(true);
  EXPECT_EQ(scene_->PlayVoice(10021, 1), 0) << "a robot says nothing above 10020";
  EXPECT_EQ(scene_->PlayVoice(10052, 0), 0) << "past the table";
  EXPECT_EQ(scene_->PlayVoice(9999, 0), 0);
  EXPECT_EQ(scene_->PlayVoice(kStop, 2), 0) << "no such seat";
  scene_->Model().turnUserNo = 999;
  EXPECT_EQ(scene_->PlayVoice(kStop, -1), 0) << "the turn user holds no seat";
  scene_->AddMutedUser(kMaleUser);
  scene_->AddMutedUser(kMaleUser);
  EXPECT_EQ(scene_->PlayVoice(kStop, 0), 0) << "muted";
  scene_->Options().soundEffect = 0;
  scene_->RemoveMutedUser(kMaleUser);
  EXPECT_FALSE(scene_->IsMutedUser(kMaleUser)) << "listed once, removed once";
  EXPECT_EQ(scene_->PlayVoice(kStop, 0), 0) << "sound effects off";
  EXPECT_EQ(scene_->PreviewVoice(kStop, 0, 0), 0);
  EXPECT_TRUE(plat::sim::OpenedFiles().empty());
  scene_->Options().soundEffect = 1;
  EXPECT_EQ(scene_->PlayVoice(10000, 1), 1) << "up to 10020 a robot speaks";
  // The turn user's seat speaks even when muted; a new room view empties the list.
  scene_->GetPlayer(1).Reset();
  SeatPlayers();
  scene_->Model().turnUserNo = kFemaleUser;
  scene_->AddMutedUser(kFemaleUser);
  scene_->AddMutedUser(kMaleUser);
  ASSERT_EQ(scene_->PlayVoice(kStop, -1), 1);
  EXPECT_EQ(VoiceFiles().back().rfind("Female1\\stop", 0), 0u) << VoiceFiles().back();
  scene_->ResetRoomView();
  SeatPlayers();
  EXPECT_EQ(scene_->PlayVoice(kStop, 0), 1);
  // A missing file (no set 2 is recorded) still counts as handed over.
  scene_->GetPlayer(0).voiceSet = 1;
  EXPECT_EQ(scene_->PlayVoice(kStop, 0), 1);
  for (const std::string& f : VoiceFiles()) EXPECT_EQ(f.rfind("Male2", 0), std::string::npos) << f;
}

}  // namespace
