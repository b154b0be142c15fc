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

// Each onset of `track` with the likest of `sounds` started there. The sounds are first
// ranked by their spectra (a shape placed anywhere in the window has the same), then the
// few likest placed sample by sample: the same recording always names the same sounds.
std::vector<HeardSound> NameHeardSounds(const SoundTrack& track, const std::vector<NamedSound>& sounds);

}  // namespace testhost
