// Which sound a recording holds: a mark's sound told from one 4 % apart in pitch, a sound
// going on after a drop of its player explained by its own continuation, and a second
// sound over the first, a restart or a loop not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "testhost/HeardSounds.h"
#include "testhost/SoundMarks.h"

namespace {

constexpr uint32_t kRate = 22050;

std::vector<float> Sine(double hz, double ms, double phase = 0) {
  std::vector<float> out(size_t(kRate * ms / 1000));
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = float(0.4 * std::sin(2 * std::numbers::pi * hz * double(i) / kRate + phase));
  return out;
}

// A recording of `ms` of quiet with `sound` added from `atMs`.
void Add(testhost::SoundTrack& track, const std::vector<float>& sound, double atMs, size_t from = 0,
         size_t count = SIZE_MAX) {
  const size_t at = size_t(kRate * atMs / 1000);
  for (size_t i = from; i < sound.size() && i - from < count && at + i - from < track.mono.size(); ++i)
    track.mono[at + i - from] += sound[i];
}

testhost::SoundTrack Quiet(double ms) {
  testhost::SoundTrack track;
  track.rate = kRate;
  track.mono.assign(size_t(kRate * ms / 1000), 0.0f);
  return track;
}

const std::vector<testhost::NamedSound> kSounds{{"join", Sine(360, 300)}, {"leave", Sine(375, 100)}};

// The likeness at the stretch starting near `atMs`, through a Playing that started there.
bool Explained(const testhost::SoundTrack& track, const std::vector<float>& sound, double startMs) {
  testhost::Playing playing{&sound, startMs, 0};
  for (const testhost::Stretch& s : testhost::LoudStretches(track))
    if (!testhost::Continues(track, s, playing, 0.98)) return false;
  return true;
}

TEST(SoundMarksTest, AMarksSoundIsToldFromOneOfANearPitch) {
  testhost::SoundTrack track = Quiet(1000);
  Add(track, Sine(360, 300, 1.0), 200);  // the join, at another phase than its file's
  const testhost::Identified join = testhost::Identify(track, 205, 15, kSounds, 0);
  EXPECT_GT(join.named.likeness, 0.99);
  EXPECT_EQ(join.likestOther, "leave");
  EXPECT_LT(join.likestOtherLikeness, 0.9);
  // Marked as the leave, the join played there is not it.
  const testhost::Identified leave = testhost::Identify(track, 205, 15, kSounds, 1);
  EXPECT_LT(leave.named.likeness, 0.9);
  EXPECT_GT(leave.likestOtherLikeness, 0.99);
}

TEST(SoundMarksTest, ASoundGoingOnAfterADropIsItsOwnAndNothingElseIs) {
  const std::vector<float>& join = kSounds[0].samples;
  const size_t half = join.size() / 2;
  // Played whole, or with a 40 ms drop in the middle after which it goes on.
  testhost::SoundTrack whole = Quiet(1000), dropped = Quiet(1000);
  Add(whole, join, 200);
  Add(dropped, join, 200, 0, half);
  Add(dropped, join, 200 + 150 + 40, half);
  EXPECT_TRUE(Explained(whole, join, 200));
  EXPECT_TRUE(Explained(dropped, join, 200));
  // Started again from its beginning after the drop: a second play.
  testhost::SoundTrack restarted = Quiet(1000);
  Add(restarted, join, 200, 0, half);
  Add(restarted, join, 390);
  EXPECT_FALSE(Explained(restarted, join, 200));
  // Played looping: longer than the sound.
  testhost::SoundTrack looped = Quiet(1000);
  Add(looped, join, 200);
  Add(looped, join, 500);
  EXPECT_FALSE(Explained(looped, join, 200));
  // The leave started while the join plays, a third as loud.
  testhost::SoundTrack over = Quiet(1000);
  Add(over, join, 200);
  std::vector<float> quieter = kSounds[1].samples;
  for (float& v : quieter) v /= 3;
  Add(over, quieter, 300);
  EXPECT_FALSE(Explained(over, join, 200));
}

// A sound whose end joins its start without a seam (500 Hz: the 20 ms pieces are whole
// periods), played twice in a row: the stretch runs past the sound's end.
TEST(SoundMarksTest, ASeamlessLoopRunsPastTheSoundsEnd) {
  const std::vector<float> hum = Sine(500, 100, 0.5);
  testhost::SoundTrack once = Quiet(600), twice = Quiet(600);
  Add(once, hum, 200);
  Add(twice, hum, 200);
  Add(twice, hum, 300);
  EXPECT_TRUE(Explained(once, hum, 200));
  EXPECT_FALSE(Explained(twice, hum, 200));
}

TEST(SoundMarksTest, LikenessIsShapeAloneAndNothingPastTheEnds) {
  const std::vector<float> a = Sine(500, 50);
  std::vector<float> louder = a;
  for (float& v : louder) v *= 2;
  EXPECT_NEAR(testhost::Likeness(a, 0, louder, 0, a.size()), 1.0, 1e-6);
  EXPECT_EQ(testhost::Likeness(a, 1, louder, 0, a.size()), 0);
  EXPECT_EQ(testhost::Likeness(a, 0, std::vector<float>(a.size(), 0.0f), 0, a.size()), 0);
  EXPECT_EQ(testhost::Resampled(a, kRate, kRate * 2).size(), a.size() * 2);
}

// A sound started over another is told over what it sounds like alone: the join's
// continuation taken out, the leave started 60 ms into it is the leave, as loud as the
// join or a third as loud.
TEST(SoundMarksTest, ASoundStartedOverAnotherIsToldAlone) {
  const std::vector<float>& join = kSounds[0].samples;
  for (const float loudness : {1.0f, 1.0f / 3}) {
    testhost::SoundTrack over = Quiet(1000);
    Add(over, join, 200);
    std::vector<float> leave = kSounds[1].samples;
    for (float& v : leave) v *= loudness;
    Add(over, leave, 260);
    const std::vector<testhost::Playing> going{{&join, 200, 0}};
    const testhost::Identified alone = testhost::IdentifyOver(over, 260, 8, kSounds, {1}, {}, going);
    EXPECT_GT(alone.named.likeness, 0.98) << loudness;
    EXPECT_NEAR(alone.named.atMs, 260, 1) << loudness;
    EXPECT_LT(alone.likestOtherLikeness, 0.9) << loudness;
    // Over the mix itself the leave is not told.
    EXPECT_LT(testhost::Identify(over, 260, 8, kSounds, 1).named.likeness, 0.98) << loudness;
  }
}

// The sounds a recording holds, each onset named by the likest file: two started
// together (as the sound card tells) are both named, the louder first.
TEST(SoundMarksTest, HeardSoundsAreNamedOverWhatTheOnesBeforeLeft) {
  std::vector<testhost::NamedSound> files = kSounds;
  files.push_back({"Female1/hello1.ogg", Sine(290, 100)});
  testhost::SoundTrack track = Quiet(1500);
  Add(track, files[0].samples, 200);
  std::vector<float> quieter = files[2].samples;
  for (float& v : quieter) v /= 2;
  Add(track, quieter, 200);
  Add(track, files[1].samples, 800);
  const std::vector<testhost::HeardSound> together = testhost::NameHeardSounds(track, files, {200, 200, 800});
  ASSERT_EQ(together.size(), 3u);
  EXPECT_EQ(together[0].name, "join");
  EXPECT_EQ(together[1].name, "Female1/hello1.ogg");
  EXPECT_EQ(together[1].ms, together[0].ms);
  EXPECT_NEAR(together[0].ms, 200, 5);
  EXPECT_EQ(together[2].name, "leave");
  EXPECT_NEAR(together[2].ms, 800, 5);
  // Told over what the join left, the voice is itself.
  EXPECT_GT(together[1].likeness, 0.9);
  // Without the card's starts each onset holds one sound.
  const std::vector<testhost::HeardSound> single = testhost::NameHeardSounds(track, files);
  ASSERT_EQ(single.size(), 2u);
  EXPECT_EQ(single[0].name, "join");
}

// Each expected onset may have its own tolerance: a late one within its own is
// matched, and the offset is the one that matches the most.
TEST(SoundMarksTest, EachOnsetKeepsItsOwnTolerance) {
  const std::vector<double> expected = {100, 400, 900};
  const std::vector<double> heard = {1100, 1400 + 150, 1900};
  EXPECT_EQ(testhost::BestOffset(expected, heard, 0, 2000, std::vector<double>{20, 200, 20}), 1000);
  const double offset = testhost::BestOffset(expected, heard, 0, 2000, std::vector<double>{20, 20, 20});
  EXPECT_EQ(offset, 1000);
  const auto matched = testhost::MatchOnsets(expected, heard, offset);
  EXPECT_EQ(matched[1].ErrorMs(), 150);
}

}  // namespace
