// What a person hears, as a test may watch it: the effects asked for and stopped and the
// voice lines asked for, one by one (the mixed sound output cannot tell them apart).
// The product installs none, and then nothing is recorded.
#pragma once

#include <cstdint>
#include <string_view>

class ISceneTrace {
 public:
  // Every in-range effect id a play was asked for, heard or not.
  virtual void EffectPlayed(int32_t id) = 0;
  // Every in-range effect id a stop was asked for, playing or not.
  virtual void EffectStopped(int32_t id) = 0;
  // Every voice line asked for, with the seat as given (-1: the turn user's).
  virtual void VoicePlayed(int32_t id, int32_t seat) = 0;

 protected:
  ~ISceneTrace() = default;
};
