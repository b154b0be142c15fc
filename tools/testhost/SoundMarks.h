// Which sound was heard: a recording held against the samples of the sounds a run
// played at known moments, by their shape (normalised cross-correlation), so that one
// sound is told from another of a near pitch, and a sound started while another plays
// shows as a stretch no single sound explains.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "testhost/SoundOnsets.h"

namespace testhost {

// Two sounds are the same when their shapes agree this well (the real system's copy of
// an effect agrees to 0.999); a sound of another pitch falls far below, and one with a
// second mixed in below, unless the second is some 15 dB quieter.
inline constexpr double kSameSound = 0.98;
// Where a sound is looked for around the onset heard for it.
inline constexpr double kPlaceSearchMs = 15;
// How long after its start a sound may still be going on: its length, and the drops of
// a player that fell behind.
inline constexpr double kMostBehindMs = 500;

// A sound's own samples, one channel at the recording's rate.
struct NamedSound {
  std::string name;
  std::vector<float> samples;
};

// A channel's samples taken from `fromRate` to `toRate` (linear interpolation).
std::vector<float> Resampled(const std::vector<float>& samples, uint32_t fromRate, uint32_t toRate);

// How alike `a` from `aFrom` and `b` from `bFrom` are over `length` samples, by shape
// alone: 1 for the same up to loudness, about 0 for unrelated sounds. 0 when either
// stretch runs past its end or is silent.
double Likeness(const std::vector<float>& a, size_t aFrom, const std::vector<float>& b, size_t bFrom, size_t length);

// The best likeness of a whole sound to the recording started anywhere from `fromMs`
// to `toMs` of it, and where.
struct Placed {
  double likeness = 0;
  double atMs = -1;
};
Placed BestPlace(const SoundTrack& track, const std::vector<float>& sound, double fromMs, double toMs);

// Where a mark's sound was heard (ms of the recording) and its likeness there; the
// likest of the other sounds at the same place.
struct Identified {
  Placed named;
  std::string likestOther;
  double likestOtherLikeness = 0;
};
// The mark's sound `named` of `sounds`, searched for within `searchMs` of `heardMs`, each
// sound by 100 ms from its start (its first 5 ms left out).
Identified Identify(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                    size_t named);
// The same for a mark that may be any one of the sounds `alike` (the likest of them),
// against the others of `among` (all when empty).
Identified Identify(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                    const std::vector<size_t>& alike, const std::vector<size_t>& among = {});

// A sound placed on the recording (where it started, ms) that later stretches may
// continue: after a drop (a player that fell behind) the same sound goes on from where
// it was, later on the recording, never from its start again and never past its end.
struct Playing {
  const std::vector<float>* samples = nullptr;
  double startMs = 0;
  double heardUpToMs = 0;  // of the sound's own time, what the stretches so far showed
};

// The recording from `fromMs` to `toMs` with the sounds `going` on at `onsetMs` taken
// out, each at the loudness that fits it best just before the onset: what a sound
// started there sounds like alone. Its times are the recording's less `fromMs`.
SoundTrack WithoutGoingOn(const SoundTrack& track, double fromMs, double toMs, double onsetMs,
                          const std::vector<Playing>& going);

// Identify over what a sound started at `heardMs` sounds like alone, `going` taken out;
// the places found are the recording's.
Identified IdentifyOver(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                        const std::vector<size_t>& alike, const std::vector<size_t>& among,
                        const std::vector<Playing>& going);

// Whether `stretch` is the next part of `playing`'s sound, each 20 ms of it alike to at
// least `sameSound`; on yes, `playing` takes it.
bool Continues(const SoundTrack& track, const Stretch& stretch, Playing& playing, double sameSound);

}  // namespace testhost
