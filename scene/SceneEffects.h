// The scene's sound vocabulary: the effect files addressed by id, the order in which
// they are loaded, and the effect ids the scene names.
#pragma once

#include <cstdint>

namespace scene_effects {

constexpr int32_t kCount = 54;
// The two effects played looping, stopped together.
constexpr int32_t kThreeGoWin = 49;
constexpr int32_t kThreeGoLose = 50;

// File of each effect id, relative to the sound folder.
extern const char* const Files[kCount];
// The ids in loading order: the result stingers 30 and 31 and the turn notices come
// early, the shouts (37..48) and the rest after them.
extern const int32_t LoadOrder[kCount];

}  // namespace scene_effects
