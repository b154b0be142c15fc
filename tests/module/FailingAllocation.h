// The program's allocation with a failure planted on the calling thread: after `n`
// more allocations there, the next throws std::bad_alloc (once). Negative: none fails.
#pragma once

#include <cstdint>

namespace testing_support {

void FailAllocationAfter(int32_t n);
// The planted failure has not been reached yet.
bool AllocationFailurePending();

}  // namespace testing_support
