// The effect table and the device's life: plays by id, the ready flags, replacing
// and releasing buffers, the size cap.
#include "SoundTestSupport.h"
#include "plat/threads.h"
#include "sound/CGameSoundMgr.h"

namespace sound_test {
namespace {

class CSoundMgrTest : public SoundTest {
 protected:
  CGameSoundMgr mgr_;
};

TEST_F(CSoundMgrTest, LoadedSoundsPlayByIdAndUnknownIdsGiveZero) {
  Put("click.wav", Wav(1, 22050, 16, 4410));
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  // The device is taken at the priority level: the output's format may be set (at the
  // normal level the system keeps its default).
  WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
  ASSERT_NE(mgr_.Primary(), nullptr);
  EXPECT_EQ(mgr_.Primary()->SetFormat(&output), DS_OK);
  ASSERT_EQ(mgr_.LoadSound("click.wav", 19, 0), 1);
  EXPECT_EQ(mgr_.Play(19, 0, 0, 0), 1);
  EXPECT_EQ(mgr_.IsPlaying(19), 1);
  EXPECT_EQ(mgr_.IsLooping(19), 0);
  EXPECT_EQ(mgr_.Play(20, 0, 0, 0), 0);
  EXPECT_EQ(mgr_.GetSound(20), nullptr) << "looking an id up does not add it";
  EXPECT_EQ(mgr_.Stop(20), 0);
  EXPECT_EQ(mgr_.GetVolume(20), 1);
  plat::sim::AdvanceClock(100);
  EXPECT_EQ(mgr_.IsPlaying(19), 0) << "100 ms of sound has ended";
  EXPECT_EQ(mgr_.Play(19, 1, 0, 0), 1);
  EXPECT_EQ(mgr_.IsLooping(19), 1);
  EXPECT_EQ(mgr_.Stop(19), 1);
  EXPECT_EQ(mgr_.LoadSound("missing.wav", 21, 0), 0);
  EXPECT_EQ(mgr_.GetSound(21), nullptr);
  EXPECT_EQ(mgr_.LoadSound("", 22, 0), 0);
}

TEST_F(CSoundMgrTest, ReleaseAllInitTwiceAndReloadingAnIdLeakNothing) {
  Put("a.wav", Wav(1, 22050, 16, 400));
  Put("b.wav", Wav(1, 22050, 16, 800));
  const uint32_t before = plat::sim::LiveSoundBuffers();
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  ASSERT_EQ(mgr_.LoadSound("a.wav", 1, 0), 1);
  ASSERT_EQ(mgr_.LoadSound("b.wav", 1, 0), 1);
  EXPECT_EQ(mgr_.GetSound(1)->Size(), 800u);
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before + 2) << "primary and one effect";
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before + 1);
  EXPECT_EQ(mgr_.GetSound(1), nullptr);
  ASSERT_EQ(mgr_.LoadSound("a.wav", 1, 0), 1);
  ASSERT_EQ(mgr_.PlayFile("a.wav", 0), 1);
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before + 3);
  mgr_.ReleaseAll();
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before);
  EXPECT_EQ(mgr_.IsDeviceReady(), 1) << "the flags stay";
  EXPECT_EQ(mgr_.IsPlayEnabled(), 1);
  EXPECT_EQ(mgr_.Play(1, 0, 0, 0), 0);
  EXPECT_EQ(mgr_.PlayFile("a.wav", 0), 0);
  EXPECT_EQ(mgr_.FindChannel("a.wav"), -1);
}

TEST_F(CSoundMgrTest, SoundsAboveTheCapAreRefusedBeforeTheirDataIsRead) {
  Put("huge.wav", testing_support::MakeWav({.data = Bytes(CSoundMgr::kMaxSoundBytes + 2, 0), .extra = {}}));
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  const uint32_t before = plat::sim::LiveSoundBuffers();
  EXPECT_EQ(mgr_.LoadSound("huge.wav", 1, 0), 0);
  EXPECT_EQ(mgr_.PlayFile("huge.wav", 0), 0);
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before);
}

// The loader fills the table while the window thread changes volumes and plays;
// the sanitizer build checks that the lock covers both.
TEST_F(CSoundMgrTest, LoaderThreadFillsTheTableWhileTheWindowThreadPlays) {
  constexpr int32_t kEffects = 40;
  for (int32_t i = 0; i < kEffects; ++i) Put("e" + std::to_string(i) + ".wav", Wav(1, 22050, 16, 2000, static_cast<uint8_t>(i)));
  Put("voice.wav", Wav(1, 22050, 16, 2000));
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  struct Job { CGameSoundMgr* mgr; int32_t loaded = 0; } job{&mgr_};
  auto loader = [](LPVOID p) -> DWORD {
    auto* j = static_cast<Job*>(p);
    for (int32_t i = 0; i < kEffects; ++i) j->loaded += j->mgr->LoadSound("e" + std::to_string(i) + ".wav", i, 0);
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, loader, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  for (int32_t round = 0; round < 200; ++round) {
    mgr_.SetEffectsVolume(-(round % 50) * 10);
    mgr_.SetChannelsVolume(-100);
    mgr_.Play(round % kEffects, 0, 0, 0);
    mgr_.PlayFile("voice.wav", -200);
  }
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(job.loaded, kEffects);
  mgr_.SetEffectsVolume(-300);
  for (int32_t i = 0; i < kEffects; ++i) EXPECT_EQ(mgr_.GetVolume(i), -300) << i;
}

TEST_F(CSoundMgrTest, EffectBuffersTakeVolumeAndPan) {
  Put("a.wav", Wav(2, 44100, 16, 1764));
  ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  ASSERT_EQ(mgr_.LoadSound("a.wav", 1, 0), 1);
  EXPECT_EQ(mgr_.SetVolume(1, -700), 1);
  EXPECT_EQ(mgr_.GetVolume(1), -700);
  EXPECT_EQ(mgr_.PlayWithPan(1, 5, -300), 1);
  EXPECT_EQ(mgr_.GetVolume(1), -700) << "a positive volume leaves it";
  EXPECT_EQ(mgr_.PlayWithPan(1, 0, -300), 1);
  EXPECT_EQ(mgr_.GetVolume(1), 0) << "zero is full volume";
  LONG pan = 0;
  ASSERT_EQ(mgr_.GetSound(1)->Buffer()->GetPan(&pan), DS_OK);
  EXPECT_EQ(pan, -300);
  mgr_.SetEffectsVolume(-1200);
  EXPECT_EQ(mgr_.GetVolume(1), -1200);
}

TEST_F(CSoundMgrTest, FailingCooperativeLevelLeavesBothFlagsDownAndNothingPlays) {
  Put("a.wav", Wav(1, 22050, 16, 400));
  plat::sim::FailNext("SetCooperativeLevel");
  EXPECT_EQ(mgr_.Init(FakeWindow(), Folder()), 0);
  EXPECT_EQ(mgr_.IsDeviceReady(), 0);
  EXPECT_EQ(mgr_.IsPlayEnabled(), 0);
  EXPECT_EQ(mgr_.LoadSound("a.wav", 1, 0), 0);
  EXPECT_EQ(mgr_.Play(1, 0, 0, 0), 0);
  EXPECT_EQ(mgr_.PlayFile("a.wav", 0), 0);
  mgr_.SetPlayEnabled(1);
  EXPECT_EQ(mgr_.IsPlayEnabled(), 0) << "play needs the device";
}

}  // namespace
}  // namespace sound_test
