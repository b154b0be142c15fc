// The real run's record against the headless one: differences inside the marked text
// places pass, the rest are gathered into places; onsets are found where a sound
// starts, and a constant latency between the recordings is found and taken off.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "testhost/FrameComparison.h"
#include "testhost/SoundOnsets.h"

namespace {

using testhost::ComparedImage;

ComparedImage Flat(int w, int h, uint8_t v) { return ComparedImage{w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 3, v)}; }

void Set(ComparedImage& image, int x, int y, uint8_t v) {
  for (int c = 0; c < 3; ++c) image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3 + size_t(c)] = v;
}

TEST(FrameComparisonTest, DifferencesInsideGrownTextPlacesPassAndOthersFormPlaces) {
  ComparedImage headless = Flat(64, 32, 10), marked = headless, real = headless;
  Set(marked, 10, 10, 200);  // a text cell at (10, 10)
  Set(real, 12, 11, 99);     // the other renderer's glyph, just beside it
  Set(real, 50, 20, 99);     // a card pixel that differs
  Set(real, 51, 21, 99);
  const auto text = testhost::TextPlaces(headless, marked, 3, 2);
  const auto d = testhost::CompareFrames(real, headless, text, 8);
  ASSERT_TRUE(d.comparable);
  EXPECT_EQ(d.differing, 3);
  EXPECT_EQ(d.outsideText, 2);
  ASSERT_EQ(d.places.size(), 1u);
  EXPECT_EQ(testhost::DescribeBox(d.places[0]), "(48, 16)-(56, 24) 2 px");
  EXPECT_FALSE(testhost::CompareFrames(Flat(8, 8, 0), headless, text, 8).comparable);
}

// A table with a line under where a card lies, and a card of a face colour with a
// dark border over it.
void PaintCard(ComparedImage& image, int left, int top) {
  for (int y = top; y < top + 20; ++y)
    for (int x = left; x < left + 14; ++x)
      Set(image, x, y, (x == left || y == top || x == left + 13 || y == top + 19) ? 16 : 200);
}

ComparedImage Table() {
  ComparedImage table = Flat(64, 48, 40);
  for (int x = 8; x < 40; ++x) Set(table, x, 10, 70);  // a slot's outline, hidden by the card
  return table;
}

TEST(FrameComparisonTest, ACardTwoPixelsOffIsTheSameAndAMissingCardDiffers) {
  ComparedImage headless = Table(), real = Table();
  PaintCard(headless, 10, 10);
  PaintCard(real, 12, 12);  // each run jittered it a pixel, the other way
  const std::vector<uint8_t> noText(size_t(64) * 48, 0);
  auto d = testhost::CompareFrames(real, headless, noText, 8, 2);
  ASSERT_TRUE(d.comparable);
  EXPECT_GT(d.displaced, 0);
  EXPECT_EQ(d.outsideText, 0) << "the outline the moved card uncovers is part of the displacement";
  EXPECT_GT(testhost::CompareFrames(real, headless, noText, 8, 0).outsideText, 0) << "without a reach it differs";
  // Three pixels off is beyond the jitter.
  ComparedImage far = Table();
  PaintCard(far, 13, 13);
  EXPECT_GT(testhost::CompareFrames(far, headless, noText, 8, 2).outsideText, 0);
  // The card missing: its inside differs, only its edge band passes as displaced.
  d = testhost::CompareFrames(Table(), headless, noText, 8, 2);
  ASSERT_EQ(d.places.size(), 1u);
  EXPECT_EQ(testhost::DescribeBox(d.places[0]), "(8, 8)-(24, 32) 170 px");
}

void SetRgb(ComparedImage& image, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
  p[0] = r, p[1] = g, p[2] = b;
}

TEST(FrameComparisonTest, KeyColourIsCountedAsAnyDepthShowsItAndFringesMixedAwayFromItAreNot) {
  ComparedImage capture = Flat(8, 2, 0);
  SetRgb(capture, 0, 0, 0xFF, 0x00, 0xFF);  // the 32-bit key
  SetRgb(capture, 1, 0, 0xF8, 0x00, 0xF8);  // the 16-bit key widened without replicating its top bits
  SetRgb(capture, 2, 0, 0xF0, 0x00, 0xF0);  // a shadow's faintest edge over the key
  SetRgb(capture, 3, 0, 0xEF, 0x00, 0xEF);  // one step further mixed: a fringe, not the key
  SetRgb(capture, 4, 0, 0xFF, 0x10, 0xFF);  // a pale glyph edge over the key
  SetRgb(capture, 5, 1, 0xFF, 0x63, 0xF9);  // a yellow glyph's edge over the key
  SetRgb(capture, 6, 1, 0xC8, 0x96, 0xFA);  // a violet card
  EXPECT_EQ(testhost::KeyColourPixels(capture), 3);
}

std::vector<uint8_t> Wav16(const std::vector<int16_t>& samples, uint32_t rate) {
  std::vector<uint8_t> b;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put(36 + uint32_t(samples.size()) * 2, 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put(uint32_t(samples.size()) * 2, 4);
  for (int16_t s : samples) put(uint16_t(s), 2);
  return b;
}

TEST(SoundOnsetsTest, BurstsAreFoundAndALatencyIsTakenOff) {
  constexpr uint32_t kRate = 8000;
  std::vector<int16_t> samples(kRate, 0);  // one second of silence with bursts at 200 and 600 ms
  for (int start : {1600, 4800})
    for (int i = 0; i < 400; ++i) samples[size_t(start + i)] = int16_t((i % 8 < 4) ? 12000 : -12000);
  testhost::SoundTrack track;
  std::string error;
  ASSERT_TRUE(testhost::ReadWav(Wav16(samples, kRate), track, error)) << error;
  const auto onsets = testhost::Onsets(track);
  ASSERT_EQ(onsets.size(), 2u);
  EXPECT_NEAR(onsets[0], 200, 5);
  EXPECT_NEAR(onsets[1], 600, 5);
  const std::vector<double> heard = {onsets[0] + 310, onsets[1] + 316};
  const double offset = testhost::BestOffset(onsets, heard, -1000, 1000, 100);
  for (const auto& m : testhost::MatchOnsets(onsets, heard, offset)) EXPECT_LE(std::fabs(m.ErrorMs()), 10);
  EXPECT_FALSE(testhost::ReadWav({'R', 'I', 'F', 'F'}, track, error));
}

// The windows' times are the samples' own: 220 samples at 44.1 kHz are 4.99 ms, and a
// sound 30 s into a recording is found at 30 s, not 68 ms later.
TEST(SoundOnsetsTest, TimesFarIntoARecordingStayOnTheSamplesClock) {
  testhost::SoundTrack track;
  track.rate = 44100;
  track.mono.assign(size_t(track.rate) * 31, 0.0f);
  for (size_t i = 0; i < 4410; ++i) track.mono[size_t(track.rate) * 30 + i] = (i / 20) % 2 ? 0.5f : -0.5f;
  const auto onsets = testhost::Onsets(track);
  ASSERT_EQ(onsets.size(), 1u);
  EXPECT_NEAR(onsets[0], 30000, 5);
  const auto stretches = testhost::LoudStretches(track);
  ASSERT_EQ(stretches.size(), 1u);
  EXPECT_NEAR(stretches[0].fromMs, 30000, 5);
  EXPECT_NEAR(stretches[0].toMs, 30100, 5);
}

// A sound may come as much later as the run measured itself late there, and no earlier
// nor later than that: one late where the run came on time is missed, even when another
// sound's onset lies just outside its window, and the on-time sounds still place it.
TEST(SoundOnsetsTest, EachOnsetIsHeardInsideItsOwnWindowOfMeasuredLateness) {
  const std::vector<double> expected = {1000, 2000, 2450, 3000};
  // The recording starts 500 ms earlier; the sound at 2000 is heard 300 ms late.
  const std::vector<double> heard = {1505, 2800, 2948, 3497};
  const double offset = testhost::BestOffset(expected, heard, -1000, 1000, 100);
  EXPECT_NEAR(offset, 500, 5);
  const auto on = testhost::MatchOnsetsWithin(expected, heard, offset, 100, {0, 0, 0, 0});
  ASSERT_EQ(on.size(), 4u);
  EXPECT_NEAR(on[0].heardMs, 1005, 5);
  EXPECT_LT(on[1].heardMs, 0);  // the next sound's onset, 448 ms after it, is not taken
  EXPECT_NEAR(on[2].heardMs, 2448, 5);
  EXPECT_NEAR(on[3].heardMs, 2997, 5);
  // Measured 150 ms late there: still 50 ms short.
  EXPECT_LT(testhost::MatchOnsetsWithin(expected, heard, offset, 100, {0, 150, 0, 0})[1].heardMs, 0);
  // Measured 250 ms late there: its own onset, nearer than the next sound's.
  EXPECT_NEAR(testhost::MatchOnsetsWithin(expected, heard, offset, 100, {0, 250, 0, 0})[1].heardMs, 2300, 5);
  // Lateness never lets a sound come early.
  EXPECT_LT(testhost::MatchOnsetsWithin({1150}, {1505}, offset, 100, {1000}).front().heardMs, 0);
}

}  // namespace
