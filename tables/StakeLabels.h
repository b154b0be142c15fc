// The stake of a channel as the notices name it, by the stake index a host text holds.
#pragma once

#include <cstdint>

inline constexpr int32_t kStakeLabelCount = 9;
extern const char* const kStakeLabels[kStakeLabelCount];

// Index 0..8; any other index names the lowest common stake.
const char* StakeLabel(int32_t index);
