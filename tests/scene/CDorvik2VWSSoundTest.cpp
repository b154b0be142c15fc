// The scene's sound as the game uses it: effects registered from the sound folder in
// their order and stopped by a teardown or the loader's end, played by id at the effect
// volume, and voice lines whose file follows the speaker's seat. The fixtures are WAV
// files under the game's names (sources tell formats by their first bytes), each effect
// a constant level of its own so that the capture says which one played.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "module/CDorvik2Wnd.h"
#include "module/Dorvik2Module.h"
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
constexpr DWORD kPollMs = 2;
constexpr uint32_t kEffectFrames = 4410;  // 100 ms at the mix rate
constexpr int32_t kMaleUser = 101;
constexpr int32_t kFemaleUser = 202;

int16_t EffectLevel(int32_t id) { return static_cast<int16_t>(100 * (id + 1)); }

// 44,100 Hz 16-bit stereo at one level: at volume 0 the mixer passes it unchanged.
Bytes LevelWav(int16_t level, uint32_t frames) {
  testing_support::WavSpec w;
  w.channels = 2;
  w.rate = 44100;
  w.bits = 16;
  w.data = testing_support::Pcm16Bytes(std::vector<int16_t>(frames * 2, level));
  return testing_support::MakeWav(w);
}

// What a hook on the loader's way through the effects does.
struct HookState {
  std::atomic<int32_t> atId{-1};
  HANDLE reached = nullptr;  // manual-reset
  std::vector<int32_t> playsDuringRegistration;
  std::vector<LONG> volumesAtHook;
  bool soundReadyAtHook = true;
};
HookState& Hook() {
  static HookState* state = [] {
    auto* s = new HookState;
    s->reached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return s;
  }();
  return *state;
}

void TearDownAt(CDorvik2VWS& scene, int32_t id) {
  if (id == Hook().atId) scene.DestroyAll();
}
void WaitForCancelAt(CDorvik2VWS& scene, int32_t id) {
  if (id != Hook().atId) return;
  SetEvent(Hook().reached);
  while (!scene.Owner()->LoaderCancelRequested()) WaitForSingleObject(Hook().reached, kPollMs);
}
void NoteVolumesAt(CDorvik2VWS& scene, int32_t id) {
  if (id != Hook().atId) return;
  Hook().soundReadyAtHook = scene.IsSoundReady();
  for (int32_t e = 0; e < scene_effects::kCount; ++e) Hook().volumesAtHook.push_back(scene.SoundMgr().GetVolume(e));
}
void TryEveryEffectAt(CDorvik2VWS& scene, int32_t id) {
  if (id != Hook().atId) return;
  for (int32_t e = -1; e <= scene_effects::kCount; ++e) Hook().playsDuringRegistration.push_back(scene.PlayEffect(e, 0));
}

class SceneSoundTest : public testing_support::HostWindowFixture {
 protected:
  void SetUp() override {
    HostWindowFixture::SetUp();
    plat::sim::ResetSound();
    plat::sim::ClearFaults();
    Hook().atId = -1;
    ResetEvent(Hook().reached);
    Hook().playsDuringRegistration.clear();
    Hook().volumesAtHook.clear();
    Hook().soundReadyAtHook = true;
    plat::sim::MapPathPrefix(kGameFolder, dir_.path());
    for (int32_t id = 0; id < scene_effects::kCount; ++id)
      PutSound(scene_effects::Files[id], LevelWav(EffectLevel(id), kEffectFrames));
  }
  void TearDown() override {
    HostWindowFixture::TearDown();
    plat::sim::RecordOpenedFiles(false);
    plat::sim::ClearPathPrefixes();
    plat::sim::ResetSound();
    CDorvik2VWS::ResetControls();
  }

  // The game window with its scene built here and no loader thread, so the test runs
  // the sound set-up itself.
  void MakeReadyScene() { MakeGame(0, true); }
  // The game window as the host makes it; `threaded` builds on the loader thread.
  void MakeGame(int32_t threaded, bool withoutLoader = false) {
    client_ = Make();
    if (withoutLoader) plat::sim::FailNext("CreateThread");
    ASSERT_NE(Init(client_, threaded), nullptr);
    wnd_ = Wnd(client_);
    scene_ = wnd_->Scene();
    ASSERT_NE(scene_, nullptr);
  }
  void Register() {
    MakeReadyScene();
    ASSERT_EQ(scene_->RegisterEffects(), 1);
  }

  void PutSound(const std::string& name, const Bytes& bytes) {
    std::string native = "GameSound/" + name;
    std::replace(native.begin(), native.end(), '\\', '/');
    dir_.Write(native, testing_support::AsString(bytes));
  }
  // Files opened since recording started, each once (a WAV is opened twice in a row).
  static std::vector<std::string> OpenedOnce() {
    std::vector<std::string> names = plat::sim::OpenedFiles();
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
  }
  static std::vector<std::string> EffectPaths(size_t count) {
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) out.push_back(std::string(kSoundFolder) + scene_effects::Files[scene_effects::LoadOrder[i]]);
    return out;
  }
  static size_t OrderIndex(int32_t id) {
    return static_cast<size_t>(std::find(std::begin(scene_effects::LoadOrder), std::end(scene_effects::LoadOrder), id) -
                               std::begin(scene_effects::LoadOrder));
  }
  // The file names the voice channels hold, in channel order.
  std::vector<std::string> VoiceFiles() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < CGameSoundMgr::kChannels; ++i) {
      const CSoundChannel& c = scene_->SoundMgr().Channel(i);
      if (c.Buffer()) out.push_back(c.FileName());
    }
    return out;
  }
  // The seats: a male in seat 0 (voice set 2), a female in seat 1 (voice set 0).
  void SeatPlayers() {
    PlayerInfo& male = scene_->GetPlayer(0);
    male.userNo = kMaleUser;
    male.gender = 0;
    male.voiceSet = 2;
    PlayerInfo& female = scene_->GetPlayer(1);
    female.userNo = kFemaleUser;
    female.gender = 1;
    female.voiceSet = 0;
  }
  // Voice files for every cue the tests speak, in every folder they use.
  void PutVoiceFiles() {
    for (const char* folder : {"Male1", "Male3", "Male8", "Female1", "Female3", "Robot"})
      for (const char* cue : {"stop", "1go", "6go", "hello"})
        for (int32_t v = 1; v <= 3; ++v)
          PutSound(std::string(folder) + "\\" + cue + std::to_string(v) + ".ogg", LevelWav(1, 100));
  }

  testing_support::TempDir dir_;
  IClientInterface* client_ = nullptr;
  CDorvik2Wnd* wnd_ = nullptr;
  CDorvik2VWS* scene_ = nullptr;
};

// ---- Registration ---------------------------------------------------------------------

TEST_F(SceneSoundTest, EffectsAreLoadedFromTheSoundFolderInTheirOrder) {
  MakeReadyScene();
  EXPECT_EQ(scene_->SoundFolder(), kSoundFolder);
  plat::sim::RecordOpenedFiles(true);
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  EXPECT_EQ(OpenedOnce(), EffectPaths(scene_effects::kCount));
  EXPECT_TRUE(scene_->IsSoundReady());
  for (int32_t id = 0; id < scene_effects::kCount; ++id) EXPECT_NE(scene_->SoundMgr().GetSound(id), nullptr) << id;
  // The order, as the table's numbers say it.
  std::vector<int32_t> order(std::begin(scene_effects::LoadOrder), std::end(scene_effects::LoadOrder));
  std::vector<int32_t> expected;
  for (int32_t id = 0; id <= 17; ++id) expected.push_back(id);
  for (int32_t id : {30, 31, 18, 19, 20, 21, 22, 23, 25, 24, 26, 27, 28, 29}) expected.push_back(id);
  for (int32_t id = 32; id <= 53; ++id) expected.push_back(id);
  EXPECT_EQ(order, expected);
}

TEST_F(SceneSoundTest, MissingOrBrokenEffectFilesAreSkipped) {
  dir_.Write("GameSound/hwatoo_open.ogg", "RIFF and nothing else");
  std::filesystem::remove(dir_ / "GameSound/capture.wav");
  Register();
  EXPECT_TRUE(scene_->IsSoundReady());
  EXPECT_EQ(scene_->SoundMgr().GetSound(18), nullptr);
  EXPECT_EQ(scene_->SoundMgr().GetSound(51), nullptr);
  EXPECT_NE(scene_->SoundMgr().GetSound(52), nullptr);
  EXPECT_EQ(scene_->PlayEffect(51, 0), 1) << "played nothing, but the id is valid";
}

TEST_F(SceneSoundTest, NoDeviceMeansNoRegistration) {
  MakeReadyScene();
  plat::sim::SetAudioAvailable(false);
  EXPECT_EQ(scene_->RegisterEffects(), 0);
  EXPECT_FALSE(scene_->IsSoundReady());
  EXPECT_EQ(scene_->PlayEffect(0, 0), 0);
}

TEST_F(SceneSoundTest, TeardownDuringRegistrationStopsBeforeTheNextFile) {
  MakeReadyScene();
  const uint32_t liveBefore = plat::sim::LiveSoundBuffers();
  Hook().atId = 19;
  CDorvik2VWS::Controls().beforeEffectLoad = &TearDownAt;
  plat::sim::RecordOpenedFiles(true);
  EXPECT_EQ(scene_->RegisterEffects(), 0);
  EXPECT_EQ(OpenedOnce(), EffectPaths(OrderIndex(19)));
  EXPECT_FALSE(scene_->IsSoundReady());
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), liveBefore) << "the teardown released what was loaded";
  EXPECT_EQ(scene_->PlayEffect(0, 0), 0);
}

TEST_F(SceneSoundTest, LoaderAskedToEndStopsRegistrationBeforeTheNextFile) {
  Hook().atId = 37;
  CDorvik2VWS::Controls().beforeEffectLoad = &WaitForCancelAt;
  plat::sim::RecordOpenedFiles(true);
  MakeGame(1);
  ASSERT_EQ(WaitForSingleObject(Hook().reached, kThreadWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(Destroy(client_), 0);
  EXPECT_EQ(CDorvik2VWS::Controls().effectsResult.load(), 0);
  EXPECT_EQ(OpenedOnce(), EffectPaths(OrderIndex(37)));
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u);
}

TEST_F(SceneSoundTest, NothingPlaysUntilTheLastEffectIsIn) {
  MakeReadyScene();
  Hook().atId = 53;
  CDorvik2VWS::Controls().beforeEffectLoad = &TryEveryEffectAt;
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  EXPECT_EQ(Hook().playsDuringRegistration, std::vector<int32_t>(scene_effects::kCount + 2, 0));
}

// ---- Effects --------------------------------------------------------------------------

TEST_F(SceneSoundTest, EffectPlaysByIdAtTheEffectVolume) {
  Register();
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  EXPECT_EQ(scene_->PlayEffect(7, 0), 1);
  plat::sim::AdvanceClock(50);
  std::vector<int16_t> heard = plat::sim::CapturedSound();
  ASSERT_EQ(heard.size(), 2u * 2205u);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), EffectLevel(7)), static_cast<ptrdiff_t>(heard.size()));

  // -2000 is a tenth of the amplitude; the volume is set again on every play.
  scene_->SetEffectVolume(-2000);
  scene_->SoundMgr().SetVolume(7, 0);
  plat::sim::ClearCapturedSound();
  EXPECT_EQ(scene_->PlayEffect(7, 0), 1);
  plat::sim::AdvanceClock(10);
  heard = plat::sim::CapturedSound();
  ASSERT_FALSE(heard.empty());
  for (int16_t s : heard) ASSERT_NEAR(s, EffectLevel(7) / 10, 1);
}

TEST_F(SceneSoundTest, EffectIdsOutsideTheTableAreRefused) {
  Register();
  EXPECT_EQ(scene_->PlayEffect(-1, 0), 0);
  EXPECT_EQ(scene_->PlayEffect(scene_effects::kCount, 0), 0);
  EXPECT_EQ(scene_->StopEffect(-1), 0);
  EXPECT_EQ(scene_->StopEffect(scene_effects::kCount), 0);
  EXPECT_EQ(scene_->StopEffect(3), 1) << "an idle effect";
  EXPECT_EQ(scene_->PlayEffect(0, 0), 1);
  EXPECT_EQ(scene_->PlayEffect(scene_effects::kCount - 1, 0), 1);
}

TEST_F(SceneSoundTest, TheTwoLoopingEffectsLoopAndStopTogether) {
  Register();
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  ASSERT_EQ(scene_->PlayEffect(scene_effects::kThreeGoWin, 1), 1);
  ASSERT_EQ(scene_->PlayEffect(scene_effects::kThreeGoLose, 1), 1);
  plat::sim::AdvanceClock(250);  // two and a half times their length
  const std::vector<int16_t> heard = plat::sim::CapturedSound();
  const int16_t both = static_cast<int16_t>(EffectLevel(49) + EffectLevel(50));
  EXPECT_EQ(std::count(heard.begin(), heard.end(), both), static_cast<ptrdiff_t>(heard.size()));

  scene_->StopLoopingEffects();
  EXPECT_EQ(scene_->SoundMgr().IsPlaying(49), 0);
  EXPECT_EQ(scene_->SoundMgr().IsPlaying(50), 0);
  plat::sim::ClearCapturedSound();
  plat::sim::AdvanceClock(20);
  const std::vector<int16_t> after = plat::sim::CapturedSound();
  EXPECT_EQ(std::count(after.begin(), after.end(), 0), static_cast<ptrdiff_t>(after.size()));
}

TEST_F(SceneSoundTest, EffectVolumeIsClampedAndReachesEffectsAndChannels) {
  Register();
  PutSound("Male1\\hello1.ogg", LevelWav(1, 100));
  SeatPlayers();
  scene_->GetPlayer(0).voiceSet = 0;
  ASSERT_EQ(scene_->PreviewVoice(10037, 0, 0), 1);
  ASSERT_EQ(VoiceFiles(), std::vector<std::string>{"Male1\\hello1.ogg"});
  struct Case {
    int32_t asked, applied;
  };
  for (const Case c : {Case{-6000, -10000}, Case{-5000, -10000}, Case{-4999, -4999}, Case{-1, -1}, Case{0, 0},
                       Case{300, 0}, Case{-10000, -10000}, Case{-20000, -10000}}) {
    scene_->SetEffectVolume(c.asked);
    EXPECT_EQ(scene_->EffectVolume(), c.applied) << c.asked;
    EXPECT_EQ(scene_->SoundMgr().GetVolume(0), c.applied) << c.asked;
    EXPECT_EQ(scene_->SoundMgr().GetVolume(53), c.applied) << c.asked;
    LONG channel = 1;
    ASSERT_EQ(scene_->SoundMgr().Channel(0).Buffer()->GetVolume(&channel), DS_OK);
    EXPECT_EQ(channel, c.applied) << c.asked;
  }
}

TEST_F(SceneSoundTest, VolumeSetBeforeRegistrationIsInPlaceBeforeEffectsMayPlay) {
  MakeReadyScene();
  scene_->SetEffectVolume(-1500);
  Hook().atId = scene_effects::kCount;  // the moment before the scene publishes
  CDorvik2VWS::Controls().beforeEffectLoad = &NoteVolumesAt;
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  EXPECT_FALSE(Hook().soundReadyAtHook);
  EXPECT_EQ(Hook().volumesAtHook, std::vector<LONG>(scene_effects::kCount, -1500));
  EXPECT_TRUE(scene_->IsSoundReady());
}

TEST_F(SceneSoundTest, TeardownStopsTheLoopsAndReleasesTheDevice) {
  MakeReadyScene();
  const uint32_t liveBefore = plat::sim::LiveSoundBuffers();
  ASSERT_EQ(scene_->RegisterEffects(), 1);
  ASSERT_EQ(scene_->PlayEffect(scene_effects::kThreeGoWin, 1), 1);
  plat::sim::ClearSoundEvents();
  scene_->DestroyAll();
  EXPECT_FALSE(scene_->IsSoundReady());
  EXPECT_FALSE(scene_->IsReady());
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), liveBefore);
  const auto events = plat::sim::SoundEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().kind, plat::sim::SoundEventKind::Stop);
  EXPECT_EQ(scene_->PlayEffect(0, 0), 0);
}

// ---- Voice lines ----------------------------------------------------------------------

// The variants rand() gives after srand(seed): the row's draw, then the robot's.
struct Draws {
  int32_t row, robot;
};
Draws DrawsAfter(uint32_t seed, int32_t count) {
  plat::crt::srand(seed);
  const int32_t row = plat::crt::rand() % count + 1;
  const int32_t robot = plat::crt::rand() % 2 + 1;
  return {row, robot};
}

TEST_F(SceneSoundTest, VoiceFileFollowsTheSpeakersGenderVoiceSetAndVariant) {
  Register();
  PutVoiceFiles();
  SeatPlayers();
  struct Case {
    const char* what;
    int32_t gender, voiceSet, robotNo;  // robotNo < -1: the seat is the robot's
    int32_t id;
    const char* prefix;  // the file: prefix + variant + ".ogg"
    bool robotDraw;
  };
  const Case cases[] = {
      {"male, set 2", 0, 2, 0, 10027, "Male3\\stop", false},
      {"set 7 counts as 0", 0, 7, 0, 10027, "Male1\\stop", false},
      {"set -1 counts as 0", 0, -1, 0, 10027, "Male1\\stop", false},
      {"female, set 2", 1, 2, 0, 10027, "Female3\\stop", false},
      {"other gender speaks as a robot", 5, 0, 0, 10027, "Robot\\stop", true},
      {"robot seat", 0, 2, -3, 10000, "Robot\\1go", true},
  };
  std::set<std::string> heard;
  for (const Case& c : cases) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      PlayerInfo& p = scene_->GetPlayer(0);
      p.Reset();
      p.userNo = kMaleUser;
      p.gender = c.gender;
      p.voiceSet = c.voiceSet;
      if (c.robotNo < -1) p.SetRobot(c.robotNo, "robot");
      const Draws d = DrawsAfter(seed, FindVoiceCue(c.id).variantCount);
      plat::crt::srand(seed);
      ASSERT_EQ(scene_->PlayVoice(c.id, 0), 1) << c.what;
      const std::string expected = c.prefix + std::to_string(c.robotDraw ? d.robot : d.row) + ".ogg";
      EXPECT_EQ(scene_->SoundMgr().FindChannel(expected) >= 0, true) << c.what << " seed " << seed;
      heard.insert(expected);
    }
  }
  // Every recorded variant is reachable.
  for (const char* f : {"Male3\\stop1.ogg", "Male3\\stop2.ogg", "Male3\\stop3.ogg", "Robot\\1go1.ogg",
                        "Robot\\1go2.ogg"})
    EXPECT_EQ(heard.count(f), 1u) << f;
  EXPECT_EQ(heard.count("Robot\\1go3.ogg"), 0u) << "a robot has two variants whatever the row says";
}

TEST_F(SceneSoundTest, VoiceLinesThatAreNotSpoken) {
  Register();
  PutVoiceFiles();
  SeatPlayers();
  scene_->GetPlayer(1).SetRobot(-7, "robot");
  plat::sim::RecordOpenedFiles(true);
  EXPECT_EQ(scene_->PlayVoice(10021, 1), 0) << "a robot says no \"6go\"";
  EXPECT_EQ(scene_->PlayVoice(10037, 1), 0) << "nor \"hello\"";
  EXPECT_EQ(scene_->PlayVoice(10052, 0), 0) << "past the table";
  EXPECT_EQ(scene_->PlayVoice(9999, 0), 0);
  EXPECT_EQ(scene_->PlayVoice(10027, 2), 0) << "no such seat";
  scene_->turnUserNo = 999;
  EXPECT_EQ(scene_->PlayVoice(10027, -1), 0) << "the turn user holds no seat";
  scene_->AddMutedUser(kMaleUser);
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 0) << "muted";
  scene_->Option_SoundEffect = 0;
  scene_->RemoveMutedUser(kMaleUser);
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 0) << "sound effects off";
  EXPECT_EQ(scene_->PreviewVoice(10027, 0, 0), 0);
  EXPECT_TRUE(plat::sim::OpenedFiles().empty());
  EXPECT_TRUE(VoiceFiles().empty());

  scene_->Option_SoundEffect = 1;
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 1);
  EXPECT_EQ(scene_->PlayVoice(10000, 1), 1) << "up to 10020 a robot speaks";
  EXPECT_EQ(VoiceFiles().size(), 2u);
}

TEST_F(SceneSoundTest, TurnUsersSeatSpeaksAndTheMutedListDoesNotApplyToIt) {
  Register();
  PutVoiceFiles();
  SeatPlayers();
  scene_->turnUserNo = kFemaleUser;
  scene_->AddMutedUser(kFemaleUser);
  ASSERT_EQ(scene_->PlayVoice(10027, -1), 1);
  ASSERT_EQ(VoiceFiles().size(), 1u);
  EXPECT_EQ(VoiceFiles()[0].rfind("Female1\\stop", 0), 0u) << VoiceFiles()[0];
}

TEST_F(SceneSoundTest, NewRoomViewEmptiesTheMutedList) {
  Register();
  PutVoiceFiles();
  SeatPlayers();
  scene_->AddMutedUser(kMaleUser);
  scene_->AddMutedUser(kMaleUser);
  scene_->RemoveMutedUser(kMaleUser);
  EXPECT_FALSE(scene_->IsMutedUser(kMaleUser)) << "listed once, removed once";
  scene_->AddMutedUser(kMaleUser);
  scene_->ResetRoomView();
  SeatPlayers();
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 1);
}

TEST_F(SceneSoundTest, VoiceCountsAsHandedOverEvenWhenTheFileIsMissing) {
  Register();
  SeatPlayers();
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 1);
  EXPECT_TRUE(VoiceFiles().empty());
}

TEST_F(SceneSoundTest, VoiceWaitsForRegistration) {
  MakeReadyScene();
  PutVoiceFiles();
  SeatPlayers();
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 0);
  EXPECT_EQ(scene_->PreviewVoice(10027, 0, 0), 0);
}

TEST_F(SceneSoundTest, PreviewSpeaksVariantOneInTheGivenVoiceSet) {
  Register();
  PutVoiceFiles();
  SeatPlayers();
  scene_->MyUser().gender = 1;
  struct Case {
    int32_t id, voiceSet, seat;
    int32_t ownGender;
    const char* file;
  };
  const Case cases[] = {
      {10027, 2, 0, 1, "Male3\\stop1.ogg"},
      {10027, 7, 0, 1, "Male8\\stop1.ogg"},      // not clamped
      {10027, 2, 1, 1, "Female3\\stop1.ogg"},
      {10027, 0, -1, 1, "Female1\\stop1.ogg"},   // this client's own gender
      {10027, 0, -1, 0, "Male1\\stop1.ogg"},
      {10037, 0, -1, 9, "Robot\\hello1.ogg"},    // robot form, even above 10020
  };
  for (const Case& c : cases) {
    scene_->MyUser().gender = c.ownGender;
    ASSERT_EQ(scene_->PreviewVoice(c.id, c.voiceSet, c.seat), 1) << c.file;
    EXPECT_GE(scene_->SoundMgr().FindChannel(c.file), 0) << c.file;
  }
  EXPECT_EQ(scene_->PreviewVoice(10052, 0, 0), 0);
  EXPECT_EQ(scene_->PreviewVoice(10027, 0, 2), 0);
}

// ---- The loader thread against the window thread ----------------------------------------

TEST_F(SceneSoundTest, LoaderRegistersWhileTheWindowThreadPlaysAndSetsVolumes) {
  PutVoiceFiles();
  MakeGame(1);
  SeatPlayers();
  int32_t volume = 0;
  // Until the loader ends: play, speak and change the volume as a game would.
  while (WaitForSingleObject(wnd_->LoaderThread(), 0) == WAIT_TIMEOUT) {
    volume = (volume - 37) % 4000;
    scene_->SetEffectVolume(volume);
    scene_->PlayEffect(-volume % scene_effects::kCount, 0);
    scene_->PlayVoice(10027, 0);
  }
  WaitForLoader(wnd_);
  EXPECT_EQ(CDorvik2VWS::Controls().effectsResult.load(), 1);
  EXPECT_NE(CDorvik2VWS::Controls().effectsThread.load(), GetCurrentThreadId());
  EXPECT_TRUE(scene_->IsSoundReady());
  for (int32_t id = 0; id < scene_effects::kCount; ++id)
    EXPECT_EQ(scene_->SoundMgr().GetVolume(id), scene_->EffectVolume()) << "the last volume set wins, " << id;
  EXPECT_EQ(scene_->PlayVoice(10027, 0), 1);
}

}  // namespace
