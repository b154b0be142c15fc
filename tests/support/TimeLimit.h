// A guard for tests of code that might hang: the work runs on a thread of its own and
// the test learns whether it finished in time (a hang fails the test, it does not stop
// the run). Compiled outside the module's code page, where <chrono> is usable.
#pragma once

#include <functional>

namespace testing_support {

// True when `work` returned within `seconds` of real time. On a time-out the thread is
// left behind, detached.
bool FinishesWithin(std::function<void()> work, int seconds);

}  // namespace testing_support
