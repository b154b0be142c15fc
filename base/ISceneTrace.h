// What a test may watch the scene and its panels do: the effects asked for and stopped,
// the voice lines asked for, and the calls the stand-ins note until their work is built.
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
  // A stand-in's call, e.g. "SetStatusText(text)" or "CVMissionWnd::Tick".
  virtual void Called(std::string_view call) = 0;

 protected:
  ~ISceneTrace() = default;
};

// Notes a call in a trace that may be missing.
inline void TraceCall(ISceneTrace* trace, std::string_view call) {
  if (trace) trace->Called(call);
}
