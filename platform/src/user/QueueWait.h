// How a thread waits on its message queue, on the layer clock's rules: under the
// virtual clock the window thread never sleeps but moves time to the earliest due
// event (its deadline, a window timer, a multimedia timer) and looks again.
#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "user/UserState.h"

namespace plat::detail::user {

enum class QueueWaitResult {
  Ready,
  Timeout,
  Stuck,  // the window thread would block forever (already reported)
};

// Called with `lock` held on the window-system lock; returns when `ready` holds or
// the deadline (layer-clock milliseconds) passed.
QueueWaitResult WaitOnQueue(std::unique_lock<std::mutex>& lock, std::optional<uint64_t> deadline,
                            const std::function<bool()>& ready);

// Registers window timers with the clock, once.
void EnsureWindowTimerSource();

}  // namespace plat::detail::user
