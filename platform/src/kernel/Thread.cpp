// Layer threads: std::threads behind thread handles, started at once but held at a
// gate until their suspend count reaches zero, and always detached, so a handle can
// be closed at any time without joining.
#include <atomic>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "core/Faults.h"
#include "core/HandleTable.h"
#include "kernel/Clock.h"
#include "kernel/Waitable.h"
#include "plat/error.h"
#include "plat/module.h"
#include "plat/threads.h"

namespace plat::detail {
namespace {

// Shared by the handle and the running thread: whichever goes last frees it.
struct ThreadControl {
  LPTHREAD_START_ROUTINE start = nullptr;
  LPVOID parameter = nullptr;
  DWORD id = 0;
  Signal finished{true, false};
  std::mutex mutex;
  std::condition_variable gate;
  // Guarded by `mutex`.
  DWORD suspendCount = 0;
  bool abandoned = false;  // the last handle went before the thread was ever resumed
  bool terminated = false;
  bool ended = false;  // the start routine returned (or never will run)
  DWORD exitCode = STILL_ACTIVE;
  int priority = THREAD_PRIORITY_NORMAL;
  std::atomic<bool> cancel{false};
  // Given back by FreeLibraryAndExitThread once the start routine has left the stack.
  HMODULE releaseAtEnd = nullptr;
};

// Thrown by FreeLibraryAndExitThread through the start routine's frames (whose code is
// still loaded) to the thread's own frame.
struct ThreadExit {
  DWORD exitCode;
};

class ThreadObject final : public Waitable {
 public:
  explicit ThreadObject(std::shared_ptr<ThreadControl> control) : control_(std::move(control)) {}
  ~ThreadObject() override {
    {
      std::lock_guard lock(control_->mutex);
      if (control_->suspendCount > 0) control_->abandoned = true;
    }
    control_->gate.notify_all();
  }
  Signal& WaitSignal() override { return control_->finished; }
  ThreadControl& Control() { return *control_; }

 private:
  std::shared_ptr<ThreadControl> control_;
};

constexpr DWORD kFirstThreadId = 0x104;
constexpr DWORD kThreadIdStep = 4;  // Windows thread ids are multiples of four

DWORD NextThreadId() {
  static std::atomic<DWORD>* next = new std::atomic<DWORD>(kFirstThreadId);
  return next->fetch_add(kThreadIdStep);
}

thread_local DWORD t_threadId = 0;
thread_local ThreadControl* t_control = nullptr;

void RunThread(const std::shared_ptr<ThreadControl>& c) {
  t_threadId = c->id;
  t_control = c.get();
  bool run;
  {
    std::unique_lock lock(c->mutex);
    c->gate.wait(lock, [&] { return c->suspendCount == 0 || c->abandoned || c->terminated; });
    run = c->suspendCount == 0 && !c->terminated;
  }
  DWORD result = 0;
  if (run) {
    try {
      result = c->start(c->parameter);
    } catch (const ThreadExit& exit) {
      result = exit.exitCode;
    }
  }
  if (HMODULE module = std::exchange(c->releaseAtEnd, nullptr)) FreeLibrary(module);
  {
    std::lock_guard lock(c->mutex);
    if (!c->terminated) c->exitCode = result;
    c->ended = true;
  }
  t_control = nullptr;
  // Counted out before the handle signals: whoever waited for it sees no live thread.
  LayerThreadEnded();
  c->finished.Set();
}

std::shared_ptr<ThreadObject> FindThread(HANDLE thread) {
  auto object = Handles().Get<ThreadObject>(FromHandle(thread), HandleKind::Thread);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

bool IsKnownPriority(int priority) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
      return true;
    default:
      return false;
  }
}

}  // namespace
}  // namespace plat::detail

using namespace plat::detail;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    LPDWORD threadId) {
  if (!start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (ShouldFail("CreateThread")) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto control = std::make_shared<ThreadControl>();
  control->start = start;
  control->parameter = parameter;
  control->id = NextThreadId();
  control->suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
  const uintptr_t handle = Handles().Insert(HandleKind::Thread, std::make_shared<ThreadObject>(control));
  if (handle == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  LayerThreadStarted();
  try {
    std::thread([control] { RunThread(control); }).detach();
  } catch (const std::system_error&) {
    LayerThreadEnded();
    Handles().Remove(handle, HandleKind::Thread);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (threadId) *threadId = control->id;
  return ToHandle<HANDLE>(handle);
}

DWORD ResumeThread(HANDLE thread) {
  auto object = FindThread(thread);
  if (!object) return static_cast<DWORD>(-1);
  ThreadControl& c = object->Control();
  DWORD previous;
  {
    std::lock_guard lock(c.mutex);
    previous = c.suspendCount;
    if (c.suspendCount > 0) --c.suspendCount;
  }
  c.gate.notify_all();
  return previous;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  auto object = FindThread(thread);
  if (!object) return FALSE;
  if (!IsKnownPriority(priority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(object->Control().mutex);
  object->Control().priority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  auto object = FindThread(thread);
  if (!object) return THREAD_PRIORITY_ERROR_RETURN;
  std::lock_guard lock(object->Control().mutex);
  return object->Control().priority;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto object = FindThread(thread);
  if (!object) return FALSE;
  if (!exitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(object->Control().mutex);
  *exitCode = object->Control().exitCode;
  return TRUE;
}

DWORD GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = NextThreadId();
  return t_threadId;
}

BOOL TerminateThread(HANDLE thread, DWORD exitCode) {
  auto object = FindThread(thread);
  if (!object) return FALSE;
  ThreadControl& c = object->Control();
  {
    std::lock_guard lock(c.mutex);
    if (c.ended || c.terminated) return TRUE;  // already over: nothing to stop
    c.terminated = true;
    c.exitCode = exitCode;
    c.cancel.store(true);
  }
  c.gate.notify_all();
  c.finished.Set();
  return TRUE;
}

bool plat::ThreadCancelRequested() { return t_control && t_control->cancel.load(); }

void FreeLibraryAndExitThread(HMODULE module, DWORD exitCode) {
  if (!t_control) {
    // Not a thread of the layer: there is no frame of its own to end it at.
    FreeLibrary(module);
    std::terminate();
  }
  t_control->releaseAtEnd = module;
  throw ThreadExit{exitCode};
}
