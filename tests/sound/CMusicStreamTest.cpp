// The music stream: the container header, the refill arithmetic, looping and
// chained files, and a looping stream heard with no gap or repeat.
#include <cmath>

#include "SoundTestSupport.h"
#include "sound/CMusicStream.h"

namespace sound_test {
namespace cmusic_stream_test {

using testing_support::OggSpec;

constexpr uint32_t kCdBytesPerSecond = 176400;

class CMusicStreamTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ASSERT_EQ(DirectSoundCreate(nullptr, ds_.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  }
  static OggSpec Seconds(double s) {
    return OggSpec{.samples = std::llround(s * 44100), .noise = true};
  }
  std::string PutOgg(const std::string& name, const OggSpec& options) {
    return Put(name, testing_support::EncodeOgg(options));
  }
  // The file's PCM, decoded once through a sound source.
  Bytes Decoded(const std::string& path) {
    CSoundSource s;
    s.Open(path);
    Bytes pcm(s.GetSize());
    uint32_t got = 0;
    if (!s.ResetFile() || !s.Read(pcm.data(), s.GetSize(), &got)) return {};
    pcm.resize(got);
    return pcm;
  }
  // `ticks` game ticks of 50 ms, each refilling the stream.
  void Run(int ticks) {
    for (int i = 0; i < ticks; ++i) plat::sim::AdvanceClock(50), music_.Refill();
  }
  ComPtr<IDirectSound> ds_;
  CMusicStream music_;
};

TEST_F(CMusicStreamTest, ContainerHeaderPlacesTheStream) {
  const Bytes ogg = testing_support::EncodeOgg(Seconds(0.5));
  music_.Open(ds_.Get(), Put("psn100.psn", testing_support::WrapPsn(ogg, 100)));
  EXPECT_TRUE(music_.IsOpen()) << "stream at 128";
  music_.Open(ds_.Get(), Put("psn0.psn", testing_support::WrapPsn(ogg, 0)));
  EXPECT_TRUE(music_.IsOpen());
  Bytes beyond = testing_support::WrapPsn(ogg, 0);
  const uint32_t masked = static_cast<uint32_t>(beyond.size()) ^ testing_support::kPsnMask;  // 28 + size > file
  for (int i = 0; i < 4; ++i) beyond[16 + i] = static_cast<uint8_t>(masked >> (8 * i));
  music_.Open(ds_.Get(), Put("beyond.psn", beyond));
  EXPECT_FALSE(music_.IsOpen());
  Bytes neither = ogg;
  neither[0] = 'X';
  music_.Open(ds_.Get(), Put("neither.ogg", neither));
  EXPECT_FALSE(music_.IsOpen());
  Bytes wrongOffset = testing_support::WrapPsn(ogg, 100);
  wrongOffset[16] ^= 1;  // off by one: no Ogg page there
  const uint32_t files = plat::sim::OpenFileCount();
  music_.Open(ds_.Get(), Put("wrong.psn", wrongOffset));
  EXPECT_FALSE(music_.IsOpen());
  EXPECT_EQ(plat::sim::OpenFileCount(), files) << "a refused stream closes its file";
  EXPECT_EQ(music_.Buffer(), nullptr);
}

TEST_F(CMusicStreamTest, RefillWritesAQuarterAtMostAndSkipsBelow129FreeBytes) {
  music_.Open(ds_.Get(), PutOgg("m.ogg", Seconds(10)));
  ASSERT_TRUE(music_.IsOpen());
  music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 2 * kCdBytesPerSecond);
  music_.Refill(), music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 0u) << "four seconds: full";
  music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 0u) << "a full buffer is not written over";
  EXPECT_EQ(music_.DecodedBytes(), 4 * kCdBytesPerSecond);
  music_.Play(1);
  plat::sim::AdvanceClockMicros(725);  // 127.9 bytes: 124 after block rounding
  music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 0u);
  EXPECT_EQ(music_.LastPlayCursor(), 124u);
  plat::sim::AdvanceClockMicros(23);  // 131.9 bytes: 128
  music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 0u) << "128 free bytes";
  plat::sim::AdvanceClockMicros(6);  // 133 bytes: 132
  music_.Refill();
  EXPECT_EQ(music_.WriteOffset(), 132u);
  EXPECT_EQ(music_.PlayedBytes(), 132u);
}

TEST_F(CMusicStreamTest, LoopingWrapsThePlayedBytesAndRewindsTheDecoder) {
  music_.Open(ds_.Get(), PutOgg("short.ogg", Seconds(0.5)));
  ASSERT_TRUE(music_.IsOpen());
  const uint32_t total = music_.TotalBytes();
  EXPECT_EQ(music_.WriteOffset(), total) << "the pass ended inside the first second";
  EXPECT_EQ(music_.DecodedBytes(), 0u) << "and the decoder was rewound";
  music_.Play(1);
  Run(14);
  EXPECT_EQ(music_.PlayedBytes(), 7 * kCdBytesPerSecond / 10 - total);
  EXPECT_EQ(music_.IsPlaying(), 1);
}

TEST_F(CMusicStreamTest, WithoutLoopTheStreamStopsAndRewindsAtTheEnd) {
  music_.Open(ds_.Get(), PutOgg("short.ogg", Seconds(0.5)));
  music_.Play(0);
  Run(12);
  EXPECT_EQ(music_.IsPlaying(), 0);
  EXPECT_EQ(music_.PlayedBytes(), 0u);
  EXPECT_EQ(Cursor(music_.Buffer()), 0u);
}

TEST_F(CMusicStreamTest, LoopingStreamIsHeardAsItsPcmRepeatedWithoutGapOrRepeat) {
  const std::string path = PutOgg("loop.ogg", Seconds(0.7));
  const Bytes pcm = Decoded(path);
  ASSERT_EQ(pcm.size(), static_cast<size_t>(Seconds(0.7).samples) * 4);
  music_.Open(ds_.Get(), path);
  ASSERT_TRUE(music_.IsOpen());
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  music_.Play(1);
  Run(100);  // five seconds: the 4-second buffer wraps too
  const std::vector<int16_t> heard = plat::sim::CapturedSound();
  ASSERT_EQ(heard.size(), 2u * 44100 * 5);
  const auto* bytes = reinterpret_cast<const uint8_t*>(heard.data());
  size_t mismatch = SIZE_MAX;
  for (size_t i = 0; i < heard.size() * 2 && mismatch == SIZE_MAX; ++i)
    if (bytes[i] != pcm[i % pcm.size()]) mismatch = i;
  EXPECT_EQ(mismatch, SIZE_MAX) << "first difference at byte " << mismatch << " (pass " << mismatch / pcm.size()
                                << ")";
}

TEST_F(CMusicStreamTest, ChainedFileEndsAtItsFirstLink) {
  const std::string path = Put("chain.ogg", testing_support::EncodeOggChain({Seconds(0.5), Seconds(1.5)}));
  music_.Open(ds_.Get(), path);
  ASSERT_TRUE(music_.IsOpen());
  EXPECT_EQ(music_.TotalBytes(), 2 * kCdBytesPerSecond);
  EXPECT_EQ(music_.WriteOffset(), 22050u * 4);
}

// The music's volume reaches its buffer (the stream's buffer is made with volume control).
TEST_F(CMusicStreamTest, TheStreamTakesTheVolumeItIsGiven) {
  music_.Open(ds_.Get(), PutOgg("quiet.ogg", Seconds(0.5)));
  ASSERT_TRUE(music_.IsOpen());
  EXPECT_EQ(music_.SetVolume(-1200), 1);
  LONG v = 0;
  ASSERT_EQ(music_.Buffer()->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -1200);
}

}  // namespace cmusic_stream_test

}  // namespace sound_test
