// DirectSound of the layer: cursors in virtual time, locking, refusals, loss and
// restore, the event log, and one smoke test on the real clock.
#include <chrono>
#include <thread>

#include "DirectSoundFixture.h"

namespace sound_test {
namespace {

using plat::sim::SoundEvent;
using plat::sim::SoundEventKind;

const WAVEFORMATEX kCd = Pcm(2, 44100, 16);  // 176,400 bytes per second
constexpr DWORD kCdBytesPer100Ms = 17640;

TEST_F(DirectSoundTest, PlayCursorFollowsTheVirtualClockAndWriteCursorLeadsByTenMs) {
  IDirectSoundBuffer* b = Make(kCd, 4 * 176400);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  plat::sim::AdvanceClock(250);
  DWORD play = 0, write = 0;
  ASSERT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 44100u);
  EXPECT_EQ(write, 44100u + 1764u);
  // Between whole milliseconds the cursor still moves, by whole blocks.
  plat::sim::AdvanceClockMicros(22);  // 3.88 bytes
  EXPECT_EQ(Cursor(b), 44100u);
  plat::sim::AdvanceClockMicros(1);  // 4.06 bytes
  EXPECT_EQ(Cursor(b), 44100u + 4u);
}

TEST_F(DirectSoundTest, NonLoopingBufferStopsExactlyWhenItsLastByteIsDue) {
  IDirectSoundBuffer* b = Make(kCd, kCdBytesPer100Ms);
  const uint64_t start = plat::sim::NowMicros();
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(Status(b), DSBSTATUS_PLAYING);
  plat::sim::AdvanceClockMicros(99999);
  EXPECT_EQ(Status(b), DSBSTATUS_PLAYING);
  EXPECT_EQ(Cursor(b), kCdBytesPer100Ms - 4);
  plat::sim::AdvanceClockMicros(1);
  EXPECT_EQ(Status(b), 0u);
  EXPECT_EQ(Cursor(b), 0u);
  plat::sim::AdvanceClock(500);  // the end is logged when it was due, not when noticed
  const uint32_t serial = plat::sim::NextSoundBufferSerial() - 1;
  EXPECT_EQ(plat::sim::SoundEvents(), (std::vector<SoundEvent>{{start / 1000, serial, SoundEventKind::Play},
                                                               {(start + 100000) / 1000, serial, SoundEventKind::End}}));
}

TEST_F(DirectSoundTest, LoopingBufferWrapsAndLogsEachWrap) {
  IDirectSoundBuffer* b = Make(kCd, kCdBytesPer100Ms);
  const uint64_t start = plat::sim::NowMicros();
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  plat::sim::AdvanceClock(250);
  EXPECT_EQ(Cursor(b), kCdBytesPer100Ms / 2);
  EXPECT_EQ(Status(b), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  ASSERT_EQ(b->Stop(), DS_OK);
  const uint32_t s = plat::sim::NextSoundBufferSerial() - 1;
  EXPECT_EQ(plat::sim::SoundEvents(),
            (std::vector<SoundEvent>{{start / 1000, s, SoundEventKind::Play},
                                     {(start + 100000) / 1000, s, SoundEventKind::Wrap},
                                     {(start + 200000) / 1000, s, SoundEventKind::Wrap},
                                     {(start + 250000) / 1000, s, SoundEventKind::Stop}}));
  // A stopped buffer keeps its position and resumes from it.
  plat::sim::AdvanceClock(1000);
  EXPECT_EQ(Cursor(b), kCdBytesPer100Ms / 2);
}

TEST_F(DirectSoundTest, SetCurrentPositionMovesAPlayingCursorAndAlignsToBlocks) {
  IDirectSoundBuffer* b = Make(kCd, kCdBytesPer100Ms);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  plat::sim::AdvanceClock(30);
  ASSERT_EQ(b->SetCurrentPosition(1003), DS_OK);
  EXPECT_EQ(Cursor(b), 1000u);
  plat::sim::AdvanceClock(10);
  EXPECT_EQ(Cursor(b), 1000u + 1764u);
  EXPECT_EQ(b->SetCurrentPosition(kCdBytesPer100Ms), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, LockAcrossTheEndGivesTwoRegions) {
  IDirectSoundBuffer* b = Make(Pcm(1, 8000, 8), 1000);
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(b->Lock(900, 300, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 100u);
  EXPECT_EQ(n2, 200u);
  EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 900);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  ASSERT_EQ(b->Lock(100, 300, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 300u);
  EXPECT_EQ(p2, nullptr);
  EXPECT_EQ(n2, 0u);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  ASSERT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(n1, 1000u);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  EXPECT_EQ(b->Lock(900, 300, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(1000, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, NewBuffersHoldSilenceOfTheirSampleSize) {
  for (WORD bits : {8, 16}) {
    IDirectSoundBuffer* b = Make(Pcm(1, 8000, bits), 64);
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(b->Lock(0, 64, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(static_cast<uint8_t*>(p1)[0], bits == 8 ? 0x80 : 0x00);
    b->Unlock(p1, n1, nullptr, 0);
  }
}

struct Refusal {
  const char* what;
  WAVEFORMATEX format;
  DWORD bytes;
  DWORD flags;
  HRESULT expected;
};

TEST_F(DirectSoundTest, CreateSoundBufferRefusesWhatItCannotPlay) {
  WAVEFORMATEX adpcm = Pcm(1, 22050, 16);
  adpcm.wFormatTag = 2;
  WAVEFORMATEX badAlign = Pcm(2, 22050, 16);
  badAlign.nBlockAlign = 2;
  WAVEFORMATEX badAverage = Pcm(2, 22050, 16);
  badAverage.nAvgBytesPerSec += 1;
  const Refusal cases[] = {
      {"non-PCM tag", adpcm, 1024, 0, DSERR_BADFORMAT},
      {"three channels", Pcm(3, 22050, 16), 1200, 0, DSERR_BADFORMAT},
      {"24-bit", Pcm(1, 22050, 24), 1200, 0, DSERR_BADFORMAT},
      {"99 Hz", Pcm(1, 99, 8), 1024, 0, DSERR_BADFORMAT},
      {"200,001 Hz", Pcm(1, 200001, 8), 1024, 0, DSERR_BADFORMAT},
      {"block align", badAlign, 1024, 0, DSERR_BADFORMAT},
      {"average bytes", badAverage, 1024, 0, DSERR_BADFORMAT},
      {"3 bytes", Pcm(1, 8000, 8), 3, 0, DSERR_INVALIDPARAM},
      {"0x10000000 bytes", Pcm(1, 8000, 8), 0x10000000u, 0, DSERR_INVALIDPARAM},
      {"part of a block", Pcm(2, 8000, 16), 1026, 0, DSERR_INVALIDPARAM},
  };
  for (const Refusal& c : cases) {
    WAVEFORMATEX f = c.format;
    EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), c.flags, c.bytes, 0, &f}), c.expected) << c.what;
  }
  WAVEFORMATEX f = Pcm(1, 100, 8);
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), 0, 4, 0, &f}), DS_OK) << "lowest rate, smallest size";
  f = Pcm(2, 200000, 16);
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), 0, 4, 0, &f}), DS_OK) << "highest rate";
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC) - 1, 0, 4, 0, &f}), DSERR_INVALIDPARAM) << "dwSize";
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), 0, 4, 0, nullptr}), DSERR_INVALIDPARAM) << "no format";
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr}), DS_OK) << "primary";
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 4, 0, nullptr}), DSERR_INVALIDPARAM)
      << "primary with bytes";
  EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, &f}), DSERR_INVALIDPARAM)
      << "primary with a format";
}

TEST_F(DirectSoundTest, ControlsNeedTheirCapabilityAndStayInRange) {
  IDirectSoundBuffer* plain = Make(kCd, 4096, 0);
  LONG v = 0;
  EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetVolume(&v), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);

  IDirectSoundBuffer* b = Make(kCd, 4096, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN);
  EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetPan(-10001), DSERR_INVALIDPARAM);
  ASSERT_EQ(b->SetVolume(-10000), DS_OK);
  ASSERT_EQ(b->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -10000);
  ASSERT_EQ(b->SetPan(10000), DS_OK);
  ASSERT_EQ(b->GetPan(&v), DS_OK);
  EXPECT_EQ(v, 10000);

  WAVEFORMATEX got{};
  DWORD written = 0;
  ASSERT_EQ(b->GetFormat(&got, sizeof got, &written), DS_OK);
  EXPECT_EQ(written, sizeof(WAVEFORMATEX));
  EXPECT_EQ(got.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, DeviceRefusalsAndInjectedFaults) {
  ComPtr<IDirectSound> other;
  plat::sim::SetAudioAvailable(false);
  EXPECT_EQ(DirectSoundCreate(nullptr, other.ReleaseAndGetAddressOf(), nullptr), DSERR_NODRIVER);
  EXPECT_FALSE(other);
  plat::sim::SetAudioAvailable(true);

  ASSERT_EQ(DirectSoundCreate(nullptr, other.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  WAVEFORMATEX f = Pcm(1, 8000, 8);
  DSBUFFERDESC d{sizeof(DSBUFFERDESC), 0, 64, 0, &f};
  ComPtr<IDirectSoundBuffer> b;
  EXPECT_EQ(other->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr), DSERR_PRIOLEVELNEEDED)
      << "no buffer before the cooperative level";
  plat::sim::FailNext("SetCooperativeLevel");
  EXPECT_TRUE(FAILED(other->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY)));
  EXPECT_EQ(other->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
  ASSERT_EQ(other->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  plat::sim::FailNext("CreateSoundBuffer");
  EXPECT_TRUE(FAILED(other->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr)));
  EXPECT_EQ(other->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  plat::sim::FailNext("DirectSoundCreate");
  ComPtr<IDirectSound> third;
  EXPECT_TRUE(FAILED(DirectSoundCreate(nullptr, third.ReleaseAndGetAddressOf(), nullptr)));
}

TEST_F(DirectSoundTest, ReleasedBuffersLeaveTheMixer) {
  const uint32_t before = plat::sim::LiveSoundBuffers();
  {
    ComPtr<IDirectSoundBuffer> extra;
    WAVEFORMATEX f = Pcm(1, 8000, 8);
    DSBUFFERDESC d{sizeof(DSBUFFERDESC), 0, 64, 0, &f};
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, extra.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    ASSERT_EQ(extra->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(plat::sim::LiveSoundBuffers(), before + 1);
  }
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), before);
}

TEST_F(DirectSoundTest, LostBuffersRefusePlayAndLockUntilRestoredAfterTheConfiguredFailures) {
  IDirectSoundBuffer* b = MakeFilled(Pcm(1, 8000, 8), std::vector<uint8_t>(800, 0x55));
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  plat::sim::AdvanceClock(20);
  plat::sim::ClearSoundEvents();
  const uint64_t lostAt = NowMs();
  plat::sim::LoseSoundBuffers();
  plat::sim::SetRestoreFailures(2);
  EXPECT_EQ(Status(b), DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
  void* p1 = nullptr;
  DWORD n1 = 0;
  EXPECT_EQ(b->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
  plat::sim::AdvanceClock(5);
  EXPECT_EQ(b->Restore(), DS_OK);
  EXPECT_EQ(Status(b), 0u);
  ASSERT_EQ(b->Lock(0, 800, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1),
            std::vector<uint8_t>(800, 0)) << "a restored buffer holds zeroes";
  b->Unlock(p1, n1, nullptr, 0);
  const uint32_t s = plat::sim::NextSoundBufferSerial() - 1;
  EXPECT_EQ(plat::sim::SoundEvents(), (std::vector<SoundEvent>{{lostAt, s, SoundEventKind::Lost},
                                                               {lostAt + 5, s, SoundEventKind::Restore}}));
  EXPECT_EQ(b->Restore(), DS_OK) << "restoring a buffer that is not lost does nothing";
}

TEST_F(DirectSoundTest, VolumeChangesAreLogged) {
  IDirectSoundBuffer* b = Make(kCd, 4096);
  plat::sim::ClearSoundEvents();
  const uint64_t t = NowMs();
  ASSERT_EQ(b->SetVolume(-500), DS_OK);
  const uint32_t s = plat::sim::NextSoundBufferSerial() - 1;
  EXPECT_EQ(plat::sim::SoundEvents(), (std::vector<SoundEvent>{{t, s, SoundEventKind::Volume}}));
}

// The only test on the real clock: the cursor moves by itself, and a layer thread
// keeps the sink fed. It waits by polling, bounded by a generous budget.
TEST_F(DirectSoundTest, RealClockSmokeTest) {
  plat::sim::UseRealClock();
  ComPtr<IDirectSound> real;
  ASSERT_EQ(DirectSoundCreate(nullptr, real.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  ASSERT_EQ(real->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  WAVEFORMATEX f = Pcm(2, 44100, 16);
  DSBUFFERDESC d{sizeof(DSBUFFERDESC), 0, 176400, 0, &f};
  ComPtr<IDirectSoundBuffer> b;
  ASSERT_EQ(real->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  DWORD play = 0;
  while (play == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
  }
  EXPECT_GT(play, 0u);
  EXPECT_FALSE(plat::sim::CapturedSound().empty());
  b->Stop();
  plat::sim::UseVirtualClock();
}

}  // namespace
}  // namespace sound_test
