// Test control of the window's stand-in screen, until the DirectDraw screen exists.
#pragma once

#include <cstdint>

namespace screen_stub {
// What RestoreScreen answers from now on (1 at first).
void SetRestoreResult(int32_t result);
}  // namespace screen_stub
