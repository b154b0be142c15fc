// The COM object of one DirectSound buffer over its mixer state.
#pragma once

#include "plat/dsound.h"
#include "sound/Mixer.h"

namespace plat::detail {

// Registers the state with the mixer (call with the mixer lock held) and returns the
// object with one reference.
IDirectSoundBuffer* NewSoundBuffer(BufferState state);

// A PCM format the layer plays: 1 or 2 channels of 8 or 16 bits, its sizes consistent.
bool IsPlayableFormat(const WAVEFORMATEX& f);

}  // namespace plat::detail
