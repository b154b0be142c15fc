// The time-limit guard: a packaged task on a detached thread and a bounded wait.
#include "TimeLimit.h"

#include <chrono>
#include <future>
#include <thread>

namespace testing_support {

bool FinishesWithin(std::function<void()> work, int seconds) {
  std::packaged_task<void()> task(std::move(work));
  std::future<void> done = task.get_future();
  std::thread(std::move(task)).detach();
  return done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
}

}  // namespace testing_support
