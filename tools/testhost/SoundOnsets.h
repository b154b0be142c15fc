// When sounds start: a WAV file read into one channel, the moments where its loudness
// jumps, and the real system's moments matched against the headless run's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct SoundTrack {
  uint32_t rate = 0;
  std::vector<float> mono;  // -1 to 1, the channels' mean
  double Ms() const { return rate ? 1000.0 * double(mono.size()) / double(rate) : 0.0; }
};

// PCM of 8, 16 or 32 bits, or 32-bit float, plain or extensible; false with `error`.
// A data chunk longer than the file (as a writer that never finished leaves it) is
// read to the file's end.
bool ReadWav(const std::vector<uint8_t>& bytes, SoundTrack& out, std::string& error);

// The onsets in ms: where a window's loudness rises above a floor and well above the
// windows just before it, at most one per `gapMs`.
std::vector<double> Onsets(const SoundTrack& track, double gapMs = 60.0);

struct OnsetMatch {
  double expectedMs = 0;  // the headless run's onset
  double heardMs = -1;    // the nearest real onset after the offset; -1 none
  double ErrorMs() const { return heardMs < 0 ? 1e9 : heardMs - expectedMs; }
};

// Each expected onset with the nearest heard one, `offsetMs` taken from the heard
// times first (where the real recording's time 0 stands in the headless one's).
std::vector<OnsetMatch> MatchOnsets(const std::vector<double>& expected, const std::vector<double>& heard,
                                    double offsetMs);

// Each expected onset with the heard one nearest it inside its window: from `earlyMs`
// before it to `earlyMs` and its own lateness (`lateMs`, one for each, how late the
// run measured itself there) after it, `offsetMs` taken from the heard times first;
// heardMs -1 when none is inside.
std::vector<OnsetMatch> MatchOnsetsWithin(const std::vector<double>& expected, const std::vector<double>& heard,
                                          double offsetMs, double earlyMs, const std::vector<double>& lateMs);
// The offset, between `fromMs` and `toMs` in 1 ms steps, that puts the most expected
// onsets within `toleranceMs` of a heard one (the smallest total error among equals).
double BestOffset(const std::vector<double>& expected, const std::vector<double>& heard, double fromMs, double toMs,
                  double toleranceMs);
// The same with a tolerance for each expected onset.
double BestOffset(const std::vector<double>& expected, const std::vector<double>& heard, double fromMs, double toMs,
                  const std::vector<double>& toleranceMs);

// The stretches of the recording (ms) whose loudness stays above the onsets' floor.
struct Stretch {
  double fromMs = 0;
  double toMs = 0;
};
std::vector<Stretch> LoudStretches(const SoundTrack& track);

// A stretch of the expected timeline where nothing may sound but the marked sounds.
struct QuietWindow {
  double fromMs = 0;
  double toMs = 0;
};

}  // namespace testhost
