// A real recording of a game held against the sounds its script stores: which sound
// each is, and nothing played where none is expected. The recording is placed on the
// script's timeline by its onsets, matched to those of the headless run of the same
// script beforehand; this judges what the timing cannot: the sound itself.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "testhost/HeardSounds.h"
#include "testhost/SoundMarks.h"
#include "testhost/SoundOnsets.h"

namespace testhost {

// A sound the script expects: when (its timeline), which of the sounds, and those that
// may stand for it (the other variants of a voice's line, which the module draws from
// a seed each system takes from its own clock).
struct ExpectedSound {
  double ms = 0;
  size_t sound = 0;
  std::vector<size_t> alike;
};

struct ReferenceVerdict {
  size_t told = 0;     // heard as themselves
  size_t byTime = 0;   // mixes (over another expected sound, or so in the headless run): judged by their time
  size_t notIt = 0;    // heard as some other sound
  size_t unclear = 0;  // heard as no sound at all: a player's drop, or a fault of the player
  size_t strays = 0;   // onsets of no expected sound, nor inside one going on
  std::vector<std::string> lines;  // each sound not itself and each stray, said
  // A loaded machine's player drops into a few sounds; a fault of the player garbles
  // them all.
  bool Passed() const { return notIt == 0 && strays == 0 && unclear * 4 <= told; }
};

// Judges `expected` on `track`, whose onsets are `heard` (ms of the recording), against
// `headless`, the recording of the run that stored them (on the script's timeline);
// `matches` pairs the script's onsets with the heard ones (heardMs on the script's
// timeline, -1 for one not heard, which the timing already fails), `offsetMs` turns the
// script's times into the recording's, and `widestMs` is how late each of `matches` may
// come. A sound alone, and heard alone in the headless run, must be its own (or a variant
// of its line), with no file of the whole folder `folder` names likelier; every heard
// onset not matched must fall inside an expected sound going on (a player that fell
// behind drops and goes on).
ReferenceVerdict CheckReference(const SoundTrack& track, const SoundTrack& headless, const std::vector<double>& heard,
                                double offsetMs, const std::vector<OnsetMatch>& matches,
                                const std::vector<double>& widestMs,
                                const std::vector<ExpectedSound>& expected, const std::vector<NamedSound>& sounds,
                                const SoundNamer& folder);

}  // namespace testhost
