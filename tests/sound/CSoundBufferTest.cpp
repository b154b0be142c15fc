// The buffer rules the managers stand on: fill with silence or repetition, and the
// bounded restore of a lost buffer.
#include "SoundTestSupport.h"
#include "sound/CSoundBuffer.h"

namespace sound_test {
namespace {

class CSoundBufferTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ASSERT_EQ(DirectSoundCreate(nullptr, ds_.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  }
  void MakeFor(CSoundBuffer& b, const CSoundSource& source, DWORD bytes) {
    WAVEFORMATEX f = source.GetFormat();
    DSBUFFERDESC d{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME, bytes, 0, &f};
    ComPtr<IDirectSoundBuffer> dsb;
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, dsb.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    b.Attach(dsb.Get(), bytes);
  }
  ComPtr<IDirectSound> ds_;
};

TEST_F(CSoundBufferTest, FillEndsInTheSilenceOfTheSampleSize) {
  for (uint16_t bits : {8, 16}) {
    CSoundSource source;
    source.Open(Put("s.wav", Wav(1, 8000, bits, 100)));
    ASSERT_EQ(source.GetSize(), 100u);
    CSoundBuffer b;
    MakeFor(b, source, 160);
    // Dirty the buffer first, so the silence is the fill's.
    ASSERT_EQ(b.Fill(source, 1), 1);
    ASSERT_EQ(b.Fill(source, 0), 1);
    const Bytes all = Contents(b.Buffer(), 160);
    const Bytes tail(all.begin() + 100, all.end());
    EXPECT_EQ(tail, Bytes(60, bits == 8 ? 0x80 : 0x00)) << bits;
  }
}

TEST_F(CSoundBufferTest, FillWithRepeatLoopsTheSoundAndStopsWhenARereadGivesNothing) {
  const Bytes file = Wav(1, 8000, 8, 100);
  CSoundSource source;
  source.Open(Put("r.wav", file));
  CSoundBuffer b;
  MakeFor(b, source, 250);
  ASSERT_EQ(b.Fill(source, 1), 1);
  const Bytes data(file.end() - 100, file.end());
  Bytes expected = data;
  expected.insert(expected.end(), data.begin(), data.end());
  expected.insert(expected.end(), data.begin(), data.begin() + 50);
  EXPECT_EQ(Contents(b.Buffer(), 250), expected);
  plat::sim::FailNext("ReadFile", 100, 1);  // the first pass reads, every re-read fails
  ASSERT_EQ(b.Fill(source, 1), 1);
  Bytes once = data;
  once.resize(250, 0x80);
  EXPECT_EQ(Contents(b.Buffer(), 250), once);
}

TEST_F(CSoundBufferTest, RestoreIfLostGivesUpAfterFiftyTriesTenMsApart) {
  CSoundSource source;
  source.Open(Put("l.wav", Wav(1, 8000, 8, 100)));
  CSoundBuffer b;
  MakeFor(b, source, 100);
  int32_t restored = -1;
  EXPECT_EQ(b.RestoreIfLost(&restored), 0) << "not lost";
  EXPECT_EQ(restored, 0);
  plat::sim::LoseSoundBuffers();
  plat::sim::SetRestoreFailures(3);
  uint64_t before = plat::sim::NowMicros();
  EXPECT_EQ(b.RestoreIfLost(&restored), 1);
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(plat::sim::NowMicros() - before, 30000u);
  plat::sim::LoseSoundBuffers();
  plat::sim::SetRestoreFailures(1000);
  before = plat::sim::NowMicros();
  EXPECT_EQ(b.RestoreIfLost(&restored), 0);
  EXPECT_EQ(restored, 0);
  EXPECT_EQ(plat::sim::NowMicros() - before, 500000u);
  EXPECT_EQ(b.Play(0, 0), 0) << "a buffer that stayed lost does not play";
}

TEST_F(CSoundBufferTest, WithoutABufferEveryOperationFails) {
  CSoundBuffer b;
  CSoundSource source;
  EXPECT_EQ(b.Play(0, 0), 0);
  EXPECT_EQ(b.Stop(), 0);
  EXPECT_EQ(b.Rewind(), 0);
  EXPECT_EQ(b.SetVolume(-100), 0);
  EXPECT_EQ(b.SetPan(0), 0);
  EXPECT_EQ(b.GetVolume(), 1);
  EXPECT_EQ(b.IsPlaying(), 0);
  EXPECT_EQ(b.IsLost(), 0);
  EXPECT_EQ(b.Fill(source, 0), 0);
}

}  // namespace
}  // namespace sound_test
