// DirectSound as the module's sound managers use it: the device at the priority level,
// the primary buffer, static secondary buffers of the effects', channels' and music's
// descriptions, Lock across the end, the cursors and status of a playing buffer, the
// volume and pan ranges, and a buffer lost and restored. The playing checks run on the
// real clock for a few tenths of a second.
#include "Seam.h"
#include "SeamWindow.h"

#include <cstring>

#include "plat/comptr.h"
#include "plat/dsound.h"
#include "plat/time.h"

namespace {

using Buffer = ComPtr<IDirectSoundBuffer>;

constexpr DWORD kEffectFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_LOCSOFTWARE | DSBCAPS_STATIC;
constexpr DWORD kChannelFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;
constexpr DWORD kRate = 22050;
constexpr DWORD kBytesPerSecond = kRate * 2;

WAVEFORMATEX Mono16() {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = kRate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = kBytesPerSecond;
  return f;
}

// A description of the system's own size with every field it is not given cleared.
DSBUFFERDESC Desc(DWORD flags, DWORD bytes, WAVEFORMATEX* format) {
  DSBUFFERDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = flags;
  desc.dwBufferBytes = bytes;
  desc.lpwfxFormat = format;
  return desc;
}

class SeamDirectSound : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DirectSoundCreate(nullptr, ds_.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(window_.Handle(), DSSCL_PRIORITY), DS_OK);
    DSBUFFERDESC primary = Desc(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
    ASSERT_EQ(ds_->CreateSoundBuffer(&primary, primary_.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  }
  Buffer Make(DWORD flags, DWORD bytes) {
    WAVEFORMATEX format = Mono16();
    DSBUFFERDESC desc = Desc(flags, bytes, &format);
    Buffer b;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, b.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    return b;
  }
  DWORD Status(IDirectSoundBuffer* b) {
    DWORD status = 0xFFFF;
    EXPECT_EQ(b->GetStatus(&status), DS_OK);
    return status;
  }
  seam::SeamWindow window_{40, 40, 64, 48};
  ComPtr<IDirectSound> ds_;
  Buffer primary_;
};

TEST_F(SeamDirectSound, TheModulesDescriptionsMakeBuffersAndBadOnesAreRefused) {
  for (DWORD flags : {kEffectFlags, kChannelFlags}) {
    Buffer b = Make(flags, 4000);
    ASSERT_TRUE(b);
    WAVEFORMATEX format{};
    DWORD written = 0;
    EXPECT_EQ(b->GetFormat(&format, sizeof format, &written), DS_OK);
    EXPECT_EQ(format.nSamplesPerSec, kRate);
    EXPECT_EQ(format.nBlockAlign, 2);
    EXPECT_EQ(Status(b.Get()), 0u);
  }
  WAVEFORMATEX format = Mono16();
  Buffer none;
  DSBUFFERDESC tiny = Desc(kEffectFlags, DSBSIZE_MIN - 1, &format);
  EXPECT_EQ(ds_->CreateSoundBuffer(&tiny, none.ReleaseAndGetAddressOf(), nullptr), DSERR_INVALIDPARAM);
  DSBUFFERDESC formatless = Desc(kEffectFlags, 4000, nullptr);
  EXPECT_EQ(ds_->CreateSoundBuffer(&formatless, none.ReleaseAndGetAddressOf(), nullptr), DSERR_INVALIDPARAM);
}

// A lock that runs past the end comes back as two pieces, the second from the start.
TEST_F(SeamDirectSound, LockAcrossTheEndGivesTwoPieces) {
  Buffer b = Make(kEffectFlags, 4000);
  ASSERT_TRUE(b);
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  ASSERT_EQ(b->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(firstBytes, 4000u);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(secondBytes, 0u);
  auto* base = static_cast<uint8_t*>(first);
  for (DWORD i = 0; i < firstBytes; ++i) base[i] = static_cast<uint8_t>(i);
  ASSERT_EQ(b->Unlock(first, firstBytes, second, secondBytes), DS_OK);

  ASSERT_EQ(b->Lock(3000, 2000, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
  EXPECT_EQ(firstBytes, 1000u);
  EXPECT_EQ(secondBytes, 1000u);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(static_cast<uint8_t*>(first)[0], static_cast<uint8_t>(3000 & 0xFF)) << "the same memory, kept";
  EXPECT_EQ(static_cast<uint8_t*>(second)[1], 1);
  EXPECT_EQ(b->Unlock(first, firstBytes, second, secondBytes), DS_OK);

  EXPECT_EQ(b->Lock(4000, 10, &first, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 4001, &first, &firstBytes, &second, &secondBytes, 0), DSERR_INVALIDPARAM);
}

// Stopped, both cursors stand where they were put; playing, the play cursor moves on and
// the write cursor keeps a little way ahead of it.
TEST_F(SeamDirectSound, CursorsAndStatusOfAPlayingBuffer) {
  // Long enough that the cursor's furthest bound below stays inside it, which it must
  // for the bound to be seen through the wrap.
  const DWORD size = kBytesPerSecond * 4;
  Buffer b = Make(kChannelFlags, size);
  ASSERT_TRUE(b);
  DWORD play = 1, write = 1;
  EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(write, 0u);
  EXPECT_EQ(b->SetCurrentPosition(1000), DS_OK);
  EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 1000u);
  EXPECT_EQ(write, 1000u);

  const DWORD started = timeGetTime();
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(Status(b.Get()), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  Sleep(120);
  EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  const DWORD elapsed = timeGetTime() - started;
  const DWORD moved = (play + size - 1000) % size;
  const DWORD lead = (write + size - play) % size;
  EXPECT_GE(moved, kBytesPerSecond / 20) << "at least 50 ms of the 120";
  // As far as the time that passed lets it (with the mixer's step of slack); the bound
  // must stay below the buffer's size, or a cursor that ran any distance would pass.
  const DWORD boundMs = seam::WineDiffers<DWORD>(elapsed + 50, elapsed * 5 + 50,
                                                  "on ALSA's null device Wine's mixer takes the samples faster than "
                                                  "they play: the cursor ran 430 ms in 120, held within five times "
                                                  "the time that passed");
  const DWORD bound = static_cast<DWORD>(uint64_t{boundMs} * kBytesPerSecond / 1000);
  ASSERT_LT(bound, size) << "the run was held up for " << elapsed << " ms: the wrap hides the bound";
  EXPECT_LE(moved, bound) << "in " << elapsed << " ms";
  EXPECT_GT(lead, 0u);
  EXPECT_LE(lead, kBytesPerSecond / 10) << "within 100 ms";
  EXPECT_EQ(play % 2, 0u);
  EXPECT_EQ(write % 2, 0u);
  EXPECT_EQ(b->Stop(), DS_OK);
  EXPECT_EQ(Status(b.Get()), 0u);

  // Played once, a short buffer stops by itself at its end.
  Buffer once = Make(kEffectFlags, (kBytesPerSecond / 20) & ~1u);
  ASSERT_TRUE(once);
  ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(Status(once.Get()), DSBSTATUS_PLAYING);
  const DWORD start = GetTickCount();
  while (Status(once.Get()) != 0 && GetTickCount() - start < 1000) Sleep(5);
  EXPECT_EQ(Status(once.Get()), 0u);
}

TEST_F(SeamDirectSound, VolumeAndPanRanges) {
  Buffer effect = Make(kEffectFlags, 4000);
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->SetVolume(DSBVOLUME_MIN), DS_OK);
  LONG volume = 1;
  EXPECT_EQ(effect->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, DSBVOLUME_MIN);
  EXPECT_EQ(effect->SetVolume(-2500), DS_OK);
  EXPECT_EQ(effect->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -2500);
  EXPECT_EQ(effect->SetVolume(DSBVOLUME_MIN - 1), DSERR_INVALIDPARAM);
  EXPECT_EQ(effect->SetVolume(DSBVOLUME_MAX + 1), DSERR_INVALIDPARAM);
  EXPECT_EQ(effect->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -2500) << "a refused volume changes nothing";
  for (LONG pan : {LONG{DSBPAN_LEFT}, LONG{DSBPAN_CENTER}, LONG{DSBPAN_RIGHT}, LONG{-1234}}) {
    EXPECT_EQ(effect->SetPan(pan), DS_OK);
    LONG got = 1;
    EXPECT_EQ(effect->GetPan(&got), DS_OK);
    EXPECT_EQ(got, pan);
  }
  EXPECT_EQ(effect->SetPan(DSBPAN_RIGHT + 1), DSERR_INVALIDPARAM);
  EXPECT_EQ(effect->SetPan(DSBPAN_LEFT - 1), DSERR_INVALIDPARAM);

  // A channel's buffer has no pan control.
  Buffer channel = Make(kChannelFlags, 4000);
  ASSERT_TRUE(channel);
  EXPECT_EQ(channel->SetPan(DSBPAN_LEFT), DSERR_CONTROLUNAVAIL);
  LONG pan = 0;
  EXPECT_EQ(channel->GetPan(&pan), DSERR_CONTROLUNAVAIL);
}

// The output's format is the primary buffer's, set at the priority level the module
// asks for; at the normal level it cannot be set, and a secondary buffer's never.
TEST_F(SeamDirectSound, ThePrimarysFormatIsSetAtThePriorityLevelOnly) {
  WAVEFORMATEX stereo = Mono16();
  stereo.nChannels = 2;
  stereo.nSamplesPerSec = 44100;
  stereo.nBlockAlign = 4;
  stereo.nAvgBytesPerSec = 44100 * 4;
  EXPECT_EQ(primary_->SetFormat(&stereo), DS_OK);
  WAVEFORMATEX got{};
  EXPECT_EQ(primary_->GetFormat(&got, sizeof got, nullptr), DS_OK);
  EXPECT_EQ(got.nChannels, 2u);
  EXPECT_EQ(got.nSamplesPerSec, 44100u);
  EXPECT_EQ(got.wBitsPerSample, 16u);
  Buffer effect = Make(kEffectFlags, 4000);
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->SetFormat(&stereo), DSERR_INVALIDCALL);

  ComPtr<IDirectSound> normal;
  ASSERT_EQ(DirectSoundCreate(nullptr, normal.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  ASSERT_EQ(normal->SetCooperativeLevel(window_.Handle(), DSSCL_NORMAL), DS_OK);
  Buffer normalPrimary;
  DSBUFFERDESC desc = Desc(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
  ASSERT_EQ(normal->CreateSoundBuffer(&desc, normalPrimary.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  EXPECT_EQ(normalPrimary->SetFormat(&stereo), DSERR_PRIOLEVELNEEDED);
}

// Another object's write-primary level takes every other buffer's memory: a lost buffer
// says so, refuses Play and Lock, and restores once that level is given up.
TEST_F(SeamDirectSound, ABufferLostToAWritePrimaryObjectRestoresAfterIt) {
  SEAM_ONLY_ON(seam::kWindows | seam::kHeadless,
               "Wine 8 accepts DSSCL_WRITEPRIMARY and leaves every buffer playable: nothing here loses one");
  Buffer b = Make(kEffectFlags, 4000);
  ASSERT_TRUE(b);
  ComPtr<IDirectSound> other;
  ASSERT_EQ(DirectSoundCreate(nullptr, other.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  ASSERT_EQ(other->SetCooperativeLevel(window_.Handle(), DSSCL_WRITEPRIMARY), DS_OK);
  EXPECT_EQ(Status(b.Get()) & DSBSTATUS_BUFFERLOST, DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  EXPECT_EQ(b->Lock(0, 100, &first, &firstBytes, &second, &secondBytes, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
  other = nullptr;
  EXPECT_EQ(b->Restore(), DS_OK);
  EXPECT_EQ(Status(b.Get()) & DSBSTATUS_BUFFERLOST, 0u);
  EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
}

}  // namespace
