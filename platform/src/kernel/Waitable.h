// The signalled state shared by the kernel objects WaitForSingleObject accepts
// (threads and events), and the handle-table base that exposes it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "core/HandleTable.h"
#include "plat/threads.h"

namespace plat::detail {

class Signal {
 public:
  Signal(bool manualReset, bool initial) : manualReset_(manualReset), set_(initial) {}

  void Set() {
    {
      std::lock_guard lock(mutex_);
      set_ = true;
    }
    if (manualReset_) {
      changed_.notify_all();
    } else {
      changed_.notify_one();
    }
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
  }
  // Whether it is set now; taking consumes an auto-reset signal, as a wait that it
  // releases does.
  bool TryTake() {
    std::lock_guard lock(mutex_);
    if (!set_) return false;
    if (!manualReset_) set_ = false;
    return true;
  }
  // Real-time wait. Releasing a waiter consumes an auto-reset signal.
  bool Wait(DWORD milliseconds) {
    std::unique_lock lock(mutex_);
    auto isSet = [this] { return set_; };
    if (milliseconds == INFINITE) {
      changed_.wait(lock, isSet);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), isSet)) {
      return false;
    }
    if (!manualReset_) set_ = false;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  const bool manualReset_;
  bool set_;
};

class Waitable : public Object {
 public:
  virtual Signal& WaitSignal() = 0;
};

}  // namespace plat::detail
