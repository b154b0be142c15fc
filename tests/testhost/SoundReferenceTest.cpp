// A real recording against the sounds a script stores: a voice's other variant is its
// line, another line or a sound nobody stored fails, and a player's drop or a sound
// late past its window is no stray.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "testhost/SoundReference.h"

namespace sound_reference_test {

constexpr uint32_t kRate = 22050;

std::vector<float> Sine(double hz, double ms) {
  std::vector<float> out(size_t(kRate * ms / 1000));
  for (size_t i = 0; i < out.size(); ++i) out[i] = float(0.4 * std::sin(2 * std::numbers::pi * hz * double(i) / kRate));
  return out;
}

struct Heard {
  size_t sound;
  double atMs;
  size_t from = 0;  // of the sound's samples: a player that dropped goes on from here
};

testhost::SoundTrack Recording(const std::vector<testhost::NamedSound>& sounds, const std::vector<Heard>& heard) {
  testhost::SoundTrack track;
  track.rate = kRate;
  track.mono.assign(size_t(kRate * 6.0), 0.0f);
  for (const Heard& h : heard) {
    const std::vector<float>& samples = sounds[h.sound].samples;
    const size_t at = size_t(kRate * h.atMs / 1000);
    for (size_t i = h.from; i < samples.size() && at + i - h.from < track.mono.size(); ++i)
      track.mono[at + i - h.from] += samples[i];
  }
  return track;
}

// put, click, two variants of one voice line and another line 10 Hz above.
const std::vector<testhost::NamedSound> kSounds{{"put.ogg", Sine(500, 200)},
                                                {"click.ogg", Sine(700, 100)},
                                                {"Male1/stop1.ogg", Sine(1200, 100)},
                                                {"Male1/stop2.ogg", Sine(1201, 100)},
                                                {"Male1/hello1.ogg", Sine(1210, 100)}};
enum { kPut, kClick, kStop1, kStop2, kHello };
// The game's folder also holds sounds no script of these stores.
const std::vector<testhost::NamedSound> kFolder = [] {
  std::vector<testhost::NamedSound> folder = kSounds;
  folder.push_back({"Male2/stop1.ogg", Sine(1300, 100)});
  return folder;
}();
constexpr size_t kOtherSpeaker = 5;

// The script: the put, the stop line (either variant) and the click; its headless run
// heard them there.
const std::vector<testhost::ExpectedSound> kStored{
    {1000, kPut, {kPut}}, {2300, kStop1, {kStop1, kStop2}}, {3100, kClick, {kClick}}};
const std::vector<Heard> kHeadless{{kPut, 1000}, {kStop1, 2300}, {kClick, 3100}};

// The recording placed and judged as the comparison of a Windows play does, each onset
// allowed `lateMs` past its 100 ms.
testhost::ReferenceVerdict Judged(const std::vector<Heard>& real, double lateMs = 0,
                                  const std::vector<Heard>& headlessHeard = kHeadless) {
  const testhost::SoundTrack headless = Recording(kSounds, headlessHeard);
  const std::vector<double> expected = testhost::Onsets(headless);
  const testhost::SoundTrack track = Recording(kFolder, real);
  const std::vector<double> heard = testhost::Onsets(track);
  const double offset = testhost::BestOffset(expected, heard, -2000, 2000, 100);
  const std::vector<double> late(expected.size(), lateMs);
  const auto matches = testhost::MatchOnsetsWithin(expected, heard, offset, 100, late);
  const std::vector<double> widest(expected.size(), 100 + lateMs);
  const testhost::SoundNamer folder(kFolder, kRate);
  return testhost::CheckReference(track, headless, heard, offset, matches, widest, kStored, kSounds, folder);
}

TEST(SoundReferenceTest, EachSoundIsItsOwnAndAVoiceAnyVariantOfItsLine) {
  // Half a second later on the recording, the voice drawn as its other variant.
  const testhost::ReferenceVerdict good = Judged({{kPut, 1500}, {kStop2, 2800}, {kClick, 3600}});
  EXPECT_TRUE(good.Passed());
  EXPECT_EQ(good.told, 3u);
  EXPECT_TRUE(good.lines.empty());
  // Another line of the same speaker at the stop's moment.
  const testhost::ReferenceVerdict other = Judged({{kPut, 1500}, {kHello, 2800}, {kClick, 3600}});
  EXPECT_FALSE(other.Passed());
  EXPECT_EQ(other.notIt, 1u);
  ASSERT_EQ(other.lines.size(), 1u);
  EXPECT_EQ(other.lines[0].rfind("+2300 ms Male1/stop1.ogg: heard as Male1/hello1.ogg", 0), 0u) << other.lines[0];
  // An effect in place of another, and the line of a speaker no script stores, which the
  // folder names.
  EXPECT_EQ(Judged({{kClick, 1500}, {kStop1, 2800}, {kClick, 3600}}).notIt, 1u);
  const testhost::ReferenceVerdict speaker = Judged({{kPut, 1500}, {kOtherSpeaker, 2800}, {kClick, 3600}});
  EXPECT_EQ(speaker.notIt, 1u);
  ASSERT_EQ(speaker.lines.size(), 1u);
  EXPECT_NE(speaker.lines[0].find("heard as Male2/stop1.ogg"), std::string::npos) << speaker.lines[0];
}

// A sound like no file (a player that garbled it) is judged by its time, while the
// garbled ones stay a few of those heard as themselves.
TEST(SoundReferenceTest, ASoundHeardAsNoSoundFailsOnlyWhenManyAre) {
  testhost::NamedSound garbled{"noise", std::vector<float>(kRate / 10)};
  uint32_t seed = 1;
  for (float& v : garbled.samples) v = float(int32_t((seed = seed * 1103515245u + 12345u) >> 16) % 2001 - 1000) / 2500.0f;
  std::vector<testhost::NamedSound> played = kFolder;
  played.push_back(garbled);
  const size_t kGarbled = played.size() - 1;
  const auto judged = [&](const std::vector<Heard>& real) {
    const testhost::SoundTrack headless = Recording(kSounds, kHeadless);
    const std::vector<double> expected = testhost::Onsets(headless);
    const testhost::SoundTrack track = Recording(played, real);
    const std::vector<double> heard = testhost::Onsets(track);
    const double offset = testhost::BestOffset(expected, heard, -2000, 2000, 100);
    const auto matches = testhost::MatchOnsetsWithin(expected, heard, offset, 100, std::vector<double>(3, 0));
    const testhost::SoundNamer folder(kFolder, kRate);
    return testhost::CheckReference(track, headless, heard, offset, matches, std::vector<double>(3, 100), kStored,
                                    kSounds, folder);
  };
  const testhost::ReferenceVerdict one = judged({{kPut, 1500}, {kStop1, 2800}, {kGarbled, 3600}});
  EXPECT_EQ(one.unclear, 1u);
  EXPECT_EQ(one.told, 2u);
  EXPECT_FALSE(one.Passed());  // one of three: more than a quarter
  EXPECT_EQ(one.notIt, 0u);
}

TEST(SoundReferenceTest, ASoundNoneStoredIsAStrayButADropOrALateOneIsNot) {
  // A second click after the last sound.
  const testhost::ReferenceVerdict extra = Judged({{kPut, 1500}, {kStop1, 2800}, {kClick, 3600}, {kClick, 4700}});
  EXPECT_FALSE(extra.Passed());
  EXPECT_EQ(extra.strays, 1u);
  ASSERT_EQ(extra.lines.size(), 1u);
  EXPECT_EQ(extra.lines[0].rfind("+4200 ms: a sound of none expected", 0), 0u) << extra.lines[0];
  // The put's player fell behind after 80 ms and went on 150 ms later: its own onset.
  const size_t dropAt = kRate * 80 / 1000;
  const testhost::ReferenceVerdict drop =
      Judged({{kPut, 1500}, {kPut, 1730, dropAt}, {kStop1, 2800}, {kClick, 3600}});
  EXPECT_EQ(drop.strays, 0u);
  EXPECT_TRUE(drop.Passed());
  // The click 400 ms late: the timing's failure, no stray of its own.
  EXPECT_EQ(Judged({{kPut, 1500}, {kStop1, 2800}, {kClick, 4000}}).strays, 0u);
  // The put never heard, and a click 1.1 s before its moment, the onset nearest it, with
  // nothing going on: a sound that far from a missed one is not it, but a stray.
  const testhost::ReferenceVerdict far = Judged({{kClick, 400}, {kStop1, 2800}, {kClick, 3600}});
  EXPECT_EQ(far.strays, 1u);
  ASSERT_EQ(far.lines.size(), 1u);
  EXPECT_NE(far.lines[0].find(" ms: a sound of none expected"), std::string::npos) << far.lines[0];
}

TEST(SoundReferenceTest, SoundsThatMayMeetAreJudgedByTheirTime) {
  // Allowed 1.5 s late, each may fall on the next: their shapes may be mixes.
  const testhost::ReferenceVerdict mixed = Judged({{kPut, 1500}, {kHello, 2800}, {kClick, 3600}}, 1500);
  EXPECT_EQ(mixed.byTime, 3u);
  EXPECT_TRUE(mixed.Passed());
  // A sound the headless run itself heard mixed (a click 20 ms into the stop): its shape
  // is the game's, not the real system's to match.
  const std::vector<Heard> mixedThere{{kPut, 1000}, {kStop1, 2300}, {kClick, 2320}, {kClick, 3100}};
  const testhost::ReferenceVerdict headlessMix = Judged({{kPut, 1500}, {kStop1, 2800}, {kClick, 3600}}, 0, mixedThere);
  EXPECT_EQ(headlessMix.byTime, 1u);
  EXPECT_EQ(headlessMix.told, 2u);
}

}  // namespace sound_reference_test
