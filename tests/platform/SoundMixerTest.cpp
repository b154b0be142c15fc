#include <random>

#include "DirectSoundFixture.h"

namespace sound_test {
namespace {

class SoundMixerTest : public DirectSoundTest {
 protected:
  void SetUp() override {
    DirectSoundTest::SetUp();
    plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  }
};

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) {
    out.push_back(static_cast<uint8_t>(s & 0xFF));
    out.push_back(static_cast<uint8_t>((static_cast<uint16_t>(s) >> 8) & 0xFF));
  }
  return out;
}

TEST_F(SoundMixerTest, UnityBufferReproducesItsBytesExactly) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> dist(-32768, 32767);
  std::vector<int16_t> samples(2 * 4410);
  for (auto& s : samples) s = static_cast<int16_t>(dist(rng));
  plat::sim::AdvanceClockMicros(1234);  // an odd start moment changes nothing
  plat::sim::ClearCapturedSound();
  IDirectSoundBuffer* b = MakeFilled(Pcm(2, 44100, 16), Pcm16(samples));
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  plat::sim::AdvanceClock(150);
  const std::vector<int16_t> heard = plat::sim::CapturedSound();
  ASSERT_GE(heard.size(), samples.size() + 2 * 2000);
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + samples.size(), heard.end(), [](int16_t s) { return s == 0; }))
      << "the buffer ended: silence follows";
}

TEST_F(SoundMixerTest, CaptureIsWrittenAsAWaveFile) {
  IDirectSoundBuffer* b = MakeFilled(Pcm(2, 44100, 16), Pcm16(std::vector<int16_t>(2 * 441, 1234)));
  plat::sim::ClearCapturedSound();
  b->Play(0, 0, 0);
  plat::sim::AdvanceClock(10);
  const std::string path = testing::TempDir() + "capture.wav";
  ASSERT_TRUE(plat::sim::WriteCapturedSound(path));
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  std::vector<uint8_t> bytes(44 + 4);
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  std::remove(path.c_str());
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(bytes[40] | (bytes[41] << 8), 441 * 4) << "data size";
  EXPECT_EQ(bytes[44] | (bytes[45] << 8), 1234);
}

}  // namespace
}  // namespace sound_test
