// The boxes open right now and their auto-close timers, by generation. A timer's user
// value is its box's generation, so a time-out that arrives late (after its box
// ended) finds nothing and cannot close another box. Under the real clock the
// callback runs on the multimedia timer's thread, hence the lock.
#pragma once

#include <cstdint>
#include "base/ModuleGlobal.h"
#include <vector>

#include "plat/mmsystem.h"
#include "plat/threads.h"
#include "plat/user.h"

class CMsgBoxTimers {
 public:
  static CMsgBoxTimers& Instance();

  // A new open box whose time-out answers with `timeoutCommand`; its generation.
  uint32_t Open(int32_t timeoutCommand);
  void SetDialog(uint32_t generation, HWND dialog);
  // Starts the box's one-shot auto-close; false when the timer cannot be made.
  bool Arm(uint32_t generation, uint32_t delayMs, UINT resolution);
  // Kills the box's timer; it never fires afterwards, and a callback of it in progress
  // has ended when this returns.
  void Disarm(uint32_t generation);
  // Disarms and forgets the box.
  void Close(uint32_t generation);
  // The generation of the open box shown by `dialog` (0 when none).
  uint32_t GenerationOf(HWND dialog);

  // What a time-out does: when its generation is still open with a running timer that
  // has not answered yet, posts the box its answer.
  void Timeout(uint32_t generation);

 private:
  struct Box {
    uint32_t generation;
    HWND dialog;
    UINT timer;
    int32_t timeoutCommand;
    bool answered;
  };

  friend class ModuleGlobal<CMsgBoxTimers>;
  CMsgBoxTimers();
  ~CMsgBoxTimers();
  Box* FindLocked(uint32_t generation);

  CRITICAL_SECTION lock_;
  std::vector<Box> open_;
  uint32_t nextGeneration_ = 1;
};

// The multimedia timer callback; `user` carries the box's generation.
void CALLBACK MsgBoxTimeout(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);
