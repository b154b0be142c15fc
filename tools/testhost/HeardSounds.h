// What a recording holds, as a game script stores it: each onset with the sound file
// heard there, told from every sound of the game's folder by its shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testhost/SoundMarks.h"
#include "testhost/SoundOnsets.h"

namespace testhost {

struct HeardSound {
  uint32_t ms = 0;   // the onset, rounded to the millisecond
  std::string name;  // of `sounds`
  double likeness = 0;
  bool operator==(const HeardSound& other) const { return ms == other.ms && name == other.name; }
};

// The sounds of a folder made ready to be told apart at any onset: ranked by their
// spectra (a shape placed anywhere in the window has the same), then the few likest
// placed sample by sample.
class SoundNamer {
 public:
  SoundNamer(const std::vector<NamedSound>& sounds, uint32_t rate);
  // The likest of the sounds started at `onsetMs` of `track` (of the namer's rate), over
  // what it sounds like alone (`going` taken out); `started`, when given, takes the sound
  // placed where it was found. No name when the rates differ.
  HeardSound At(const SoundTrack& track, double onsetMs, const std::vector<Playing>& going,
                Playing* started = nullptr) const;

 private:
  const std::vector<NamedSound>& sounds_;
  uint32_t rate_;
  std::vector<std::vector<float>> shapes_;
  std::vector<std::vector<double>> spectra_;
};

// Each onset of `track` with the likest of `sounds` started there, over what it sounds
// like alone (the sounds named before it that go on taken out); as many sounds as
// `startsMs` (when the sounds were started, as a sound card knows) has within a
// loudness window of the onset, each named over what the ones before left, and one when
// none is. The sounds are first ranked by their spectra (a shape placed anywhere in the
// window has the same), then the few likest placed sample by sample: the same recording
// always names the same sounds.
std::vector<HeardSound> NameHeardSounds(const SoundTrack& track, const std::vector<NamedSound>& sounds,
                                        const std::vector<double>& startsMs = {});

}  // namespace testhost
