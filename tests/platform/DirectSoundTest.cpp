#include <chrono>
#include <thread>

#include "DirectSoundFixture.h"

namespace sound_test {
namespace {

using plat::sim::SoundEvent;
using plat::sim::SoundEventKind;

const WAVEFORMATEX kCd = Pcm(2, 44100, 16);  // 176,400 bytes per second
constexpr DWORD kCdBytesPer100Ms = 17640;

TEST_F(DirectSoundTest, CursorsFollowTheVirtualClockByWholeBlocksAndMayBeMoved) {
  IDirectSoundBuffer* b = Make(kCd, 4 * 176400);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  plat::sim::AdvanceClock(250);
  DWORD play = 0, write = 0;
  ASSERT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 44100u);
  EXPECT_EQ(write, 44100u + 1764u) << "the write cursor leads by 10 ms";
  plat::sim::AdvanceClockMicros(22);  // 3.88 bytes
  EXPECT_EQ(Cursor(b), 44100u);
  plat::sim::AdvanceClockMicros(1);  // 4.06 bytes
  EXPECT_EQ(Cursor(b), 44100u + 4u);
  ASSERT_EQ(b->SetCurrentPosition(1003), DS_OK);
  EXPECT_EQ(Cursor(b), 1000u);
  plat::sim::AdvanceClock(10);
  EXPECT_EQ(Cursor(b), 1000u + 1764u);
  EXPECT_EQ(b->SetCurrentPosition(4 * 176400), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, NonLoopingBufferStopsExactlyWhenItsLastByteIsDue) {
  IDirectSoundBuffer* b = Make(kCd, kCdBytesPer100Ms);
  const uint64_t start = plat::sim::NowMicros();
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
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

// 44,100 bytes a second: 4412 bytes last 100,045.35 microseconds, so the last byte is
// due only in the 100,046th; the buffer plays until then.
TEST_F(DirectSoundTest, ABufferWhoseLengthIsNoWholeMicrosecondStopsAfterItsLastByte) {
  IDirectSoundBuffer* b = Make(Pcm(1, 22050, 16), 4412);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  plat::sim::AdvanceClockMicros(100045);
  EXPECT_EQ(Status(b), DSBSTATUS_PLAYING);
  EXPECT_EQ(Cursor(b), 4410u);
  plat::sim::AdvanceClockMicros(1);
  EXPECT_EQ(Status(b), 0u);
}

TEST_F(DirectSoundTest, LockAcrossTheEndGivesTwoRegions) {
  IDirectSoundBuffer* b = Make(Pcm(1, 8000, 8), 1000);
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  auto lock = [&](DWORD at, DWORD bytes, DWORD flags = 0) {
    EXPECT_EQ(b->Lock(at, bytes, &p1, &n1, &p2, &n2, flags), DS_OK);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    return std::pair(n1, n2);
  };
  EXPECT_EQ(lock(900, 300), std::pair(100u, 200u));
  EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 900);
  EXPECT_EQ(lock(100, 300), std::pair(300u, 0u));
  EXPECT_EQ(p2, nullptr);
  EXPECT_EQ(lock(0, 0, DSBLOCK_ENTIREBUFFER), std::pair(1000u, 0u));
  EXPECT_EQ(b->Lock(900, 300, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(1000, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  // New buffers hold the silence of their sample size.
  for (auto [bits, silence] : {std::pair<WORD, uint8_t>{8, 0x80}, {16, 0x00}}) {
    IDirectSoundBuffer* fresh = Make(Pcm(1, 8000, bits), 64);
    ASSERT_EQ(fresh->Lock(0, 64, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(static_cast<uint8_t*>(p1)[0], silence) << bits;
    fresh->Unlock(p1, n1, nullptr, 0);
  }
}

TEST_F(DirectSoundTest, CreateSoundBufferRefusesWhatItCannotPlay) {
  WAVEFORMATEX adpcm = Pcm(1, 22050, 16), badAlign = Pcm(2, 22050, 16), badAverage = Pcm(2, 22050, 16);
  adpcm.wFormatTag = 2;
  badAlign.nBlockAlign = 2;
  badAverage.nAvgBytesPerSec += 1;
  const WAVEFORMATEX lowest = Pcm(1, 100, 8), highest = Pcm(2, 200000, 16);
  struct Case {
    const char* what;
    const WAVEFORMATEX* format;
    DWORD bytes, flags, size = sizeof(DSBUFFERDESC);
    HRESULT expected;
  } cases[] = {
      {"non-PCM tag", &adpcm, 1024, 0, sizeof(DSBUFFERDESC), DSERR_BADFORMAT},
      {"block align", &badAlign, 1024, 0, sizeof(DSBUFFERDESC), DSERR_BADFORMAT},
      {"average bytes", &badAverage, 1024, 0, sizeof(DSBUFFERDESC), DSERR_BADFORMAT},
      {"lowest rate, smallest size", &lowest, 4, 0, sizeof(DSBUFFERDESC), DS_OK},
      {"highest rate", &highest, 4, 0, sizeof(DSBUFFERDESC), DS_OK},
      {"dwSize", &highest, 4, 0, sizeof(DSBUFFERDESC) - 1, DSERR_INVALIDPARAM},
      {"no format", nullptr, 4, 0, sizeof(DSBUFFERDESC), DSERR_INVALIDPARAM},
      {"primary", nullptr, 0, DSBCAPS_PRIMARYBUFFER, sizeof(DSBUFFERDESC), DS_OK},
      {"primary with bytes", nullptr, 4, DSBCAPS_PRIMARYBUFFER, sizeof(DSBUFFERDESC), DSERR_INVALIDPARAM},
      {"primary with a format", &highest, 0, DSBCAPS_PRIMARYBUFFER, sizeof(DSBUFFERDESC), DSERR_INVALIDPARAM},
  };
  for (const Case& c : cases) {
    WAVEFORMATEX f = c.format ? *c.format : WAVEFORMATEX{};
    EXPECT_EQ(TryCreate({c.size, c.flags, c.bytes, 0, c.format ? &f : nullptr}), c.expected) << c.what;
  }
  const std::tuple<WAVEFORMATEX, DWORD, HRESULT> refused[] = {
      {Pcm(3, 22050, 16), 1200, DSERR_BADFORMAT}, {Pcm(1, 22050, 24), 1200, DSERR_BADFORMAT},
      {Pcm(1, 99, 8), 1024, DSERR_BADFORMAT},     {Pcm(1, 200001, 8), 1024, DSERR_BADFORMAT},
      {Pcm(1, 8000, 8), 3, DSERR_INVALIDPARAM},   {Pcm(1, 8000, 8), 0x10000000u, DSERR_INVALIDPARAM},
      {Pcm(2, 8000, 16), 1026, DSERR_INVALIDPARAM},  // part of a block
  };
  for (auto [format, bytes, expected] : refused) {
    SCOPED_TRACE(testing::Message() << format.nChannels << " channels, " << format.nSamplesPerSec << " Hz, "
                                    << format.wBitsPerSample << " bits, " << bytes << " bytes");
    EXPECT_EQ(TryCreate({sizeof(DSBUFFERDESC), 0, bytes, 0, &format}), expected);
  }
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
