// The open-box table and the auto-close callback. The timer kill does not happen under
// the lock: it waits for a callback in progress, which may be waiting for the lock. The
// callback never waits for the window thread (it posts the answer), so that wait ends.
#include "module/CMsgBoxTimers.h"
#include "base/ModuleGlobal.h"

namespace {

class Held {
 public:
  explicit Held(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  ~Held() { LeaveCriticalSection(cs_); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};

}  // namespace

namespace {
ModuleGlobal<CMsgBoxTimers> g_timers;
}  // namespace

CMsgBoxTimers& CMsgBoxTimers::Instance() { return g_timers.Get(); }

CMsgBoxTimers::CMsgBoxTimers() { InitializeCriticalSection(&lock_); }
CMsgBoxTimers::~CMsgBoxTimers() { DeleteCriticalSection(&lock_); }

CMsgBoxTimers::Box* CMsgBoxTimers::FindLocked(uint32_t generation) {
  for (Box& b : open_)
    if (b.generation == generation) return &b;
  return nullptr;
}

uint32_t CMsgBoxTimers::Open(int32_t timeoutCommand) {
  Held held(&lock_);
  uint32_t generation = nextGeneration_++;
  if (nextGeneration_ == 0) nextGeneration_ = 1;
  open_.push_back(Box{generation, nullptr, 0, timeoutCommand, false});
  return generation;
}

void CMsgBoxTimers::SetDialog(uint32_t generation, HWND dialog) {
  Held held(&lock_);
  if (Box* b = FindLocked(generation)) b->dialog = dialog;
}

bool CMsgBoxTimers::Arm(uint32_t generation, uint32_t delayMs, UINT resolution) {
  Disarm(generation);
  // Holding the lock across the start keeps a very short timer from firing before
  // its id is stored; the callback then waits for the lock.
  Held held(&lock_);
  Box* b = FindLocked(generation);
  if (!b) return false;
  // Killed synchronously: once Disarm has returned, no callback of the box runs, so the
  // box, and the library with it, may go.
  b->timer = timeSetEvent(delayMs, resolution, MsgBoxTimeout, generation, TIME_ONESHOT | TIME_KILL_SYNCHRONOUS);
  return b->timer != 0;
}

void CMsgBoxTimers::Disarm(uint32_t generation) {
  UINT timer = 0;
  {
    Held held(&lock_);
    if (Box* b = FindLocked(generation)) {
      timer = b->timer;
      b->timer = 0;
    }
  }
  if (timer) timeKillEvent(timer);
}

void CMsgBoxTimers::Close(uint32_t generation) {
  Disarm(generation);
  Held held(&lock_);
  std::erase_if(open_, [&](const Box& b) { return b.generation == generation; });
}

uint32_t CMsgBoxTimers::GenerationOf(HWND dialog) {
  Held held(&lock_);
  for (const Box& b : open_)
    if (dialog && b.dialog == dialog) return b.generation;
  return 0;
}

void CMsgBoxTimers::Timeout(uint32_t generation) {
  Held held(&lock_);
  Box* b = FindLocked(generation);
  // A box whose time-out already answered, or that has no dialog, gets no answer. The
  // timer's id stays with the box, so that its end still waits for this callback.
  if (!b || !b->timer || b->answered || !b->dialog) return;
  b->answered = true;
  PostMessageA(b->dialog, WM_COMMAND, static_cast<WPARAM>(b->timeoutCommand), 0);
}

void CALLBACK MsgBoxTimeout(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  CMsgBoxTimers::Instance().Timeout(static_cast<uint32_t>(user));
}
