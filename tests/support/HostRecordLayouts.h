// The host records whose older senders stop before the last fields, shared by the
// record tests and the script runner's `short` messages.
#pragma once

#include <cstdint>

#include "host/HostMessage.h"

namespace testing_support {

// The record types whose older senders stop before the last fields, with the size
// after the type code without those fields.
struct OlderLayout { uint32_t code; uint32_t olderSize; };
inline constexpr OlderLayout kOlderLayouts[] = {
    {HM_JOIN_GAME, 508}, {HM_LEAVE_GAME, 16}, {HM_ENTRY_LIMIT_REMOVED, 12}, {HM_TURN_WITH_CARDS, 24}, {HM_VIP_STATE, 32},
};

}  // namespace testing_support
