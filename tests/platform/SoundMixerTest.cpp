#include <cmath>
#include <numbers>
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

// Interleaved stereo: left a sine of `hz`, right the same.
std::vector<int16_t> StereoSine(double hz, uint32_t frames, double amplitude) {
  std::vector<int16_t> s;
  for (uint32_t i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / 44100.0)));
    s.push_back(v);
    s.push_back(v);
  }
  return s;
}

double Rms(const std::vector<int16_t>& pcm, uint32_t channel) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = channel; i < pcm.size(); i += 2, ++n) sum += static_cast<double>(pcm[i]) * pcm[i];
  return n ? std::sqrt(sum / n) : 0.0;
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

TEST_F(SoundMixerTest, PanFullyLeftSilencesTheRightChannel) {
  IDirectSoundBuffer* b = MakeFilled(Pcm(2, 44100, 16), Pcm16(StereoSine(441, 4410, 20000)));
  ASSERT_EQ(b->SetPan(DSBPAN_LEFT), DS_OK);
  plat::sim::ClearCapturedSound();
  b->Play(0, 0, 0);
  plat::sim::AdvanceClock(100);
  const auto heard = plat::sim::CapturedSound();
  EXPECT_GT(Rms(heard, 0), 14000);
  EXPECT_EQ(Rms(heard, 1), 0.0);
}

TEST_F(SoundMixerTest, EightBitMonoToneKeepsItsFrequencyAndItsSilenceIsZero) {
  constexpr uint32_t kRate = 22050;
  std::vector<uint8_t> tone(kRate);
  for (uint32_t i = 0; i < kRate; ++i)
    tone[i] = static_cast<uint8_t>(128 + std::lround(100 * std::sin(2 * std::numbers::pi * 441 * (i + 0.5) / kRate)));
  IDirectSoundBuffer* b = MakeFilled(Pcm(1, kRate, 8), tone);
  plat::sim::ClearCapturedSound();
  b->Play(0, 0, 0);
  plat::sim::AdvanceClock(1000);
  const auto heard = plat::sim::CapturedSound();
  int crossings = 0;
  for (size_t i = 2; i < heard.size(); i += 2)
    if ((heard[i - 2] < 0) != (heard[i] < 0)) ++crossings;
  EXPECT_NEAR(crossings, 882, 2) << "441 Hz for one second";
  EXPECT_EQ(Rms(heard, 0), Rms(heard, 1)) << "mono goes to both sides";

  IDirectSoundBuffer* quiet = MakeFilled(Pcm(1, kRate, 8), std::vector<uint8_t>(kRate, 0x80));
  plat::sim::ClearCapturedSound();
  quiet->Play(0, 0, 0);
  plat::sim::AdvanceClock(200);
  const auto silence = plat::sim::CapturedSound();
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(SoundMixerTest, ChangesTakeEffectAtTheMomentTheyAreMade) {
  IDirectSoundBuffer* b = MakeFilled(Pcm(2, 44100, 16), Pcm16(std::vector<int16_t>(2 * 44100, 10000)));
  plat::sim::ClearCapturedSound();
  b->Play(0, 0, DSBPLAY_LOOPING);
  plat::sim::AdvanceClock(10);  // 441 frames at full volume
  b->SetVolume(DSBVOLUME_MIN);
  plat::sim::AdvanceClock(10);
  const auto heard = plat::sim::CapturedSound();
  ASSERT_EQ(heard.size(), 2u * 882);
  EXPECT_EQ(heard[2 * 440], 10000);
  EXPECT_EQ(heard[2 * 441], 0);
}

}  // namespace
}  // namespace sound_test
