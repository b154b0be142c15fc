// The trace a test installs in a scene or a sound part: every effect, stop and voice line
// asked for, in order, for the test to read back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ISceneTrace.h"

namespace testing_support {

class SceneTraceRecorder : public ISceneTrace {
 public:
  void EffectPlayed(int32_t id) override { effects.push_back(id); }
  void EffectStopped(int32_t id) override { stopped.push_back(id); }
  void VoicePlayed(int32_t id, int32_t seat) override { voices.push_back({id, seat}); }
  void Clear() { *this = SceneTraceRecorder{}; }

  std::vector<int32_t> effects;
  std::vector<int32_t> stopped;
  std::vector<std::array<int32_t, 2>> voices;  // {id, seat}
};

}  // namespace testing_support
