// How a thread waits on its message queue. Under the virtual clock the window
// thread never sleeps: when nothing is ready it jumps time to the earliest due
// event (its deadline, a window timer, a multimedia timer), runs what fell due,
// and looks again. With nothing scheduled it fails loudly rather than hang.
#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "user/UserState.h"

namespace plat::detail::user {

// Called with `lock` held on the window-system lock; returns true when `ready`
// holds, false when the deadline (layer-clock milliseconds) passed first.
bool WaitOnQueue(std::unique_lock<std::mutex>& lock, ThreadQueue& q, std::optional<uint64_t> deadline,
                 const std::function<bool()>& ready);

// Due times of window timers, for the clock's jumps and Advance.
std::optional<uint64_t> NextWindowTimerDue(uint64_t now);

}  // namespace plat::detail::user
