// The "this game's object is gone" signal. It outlives the object: a thread that ends
// the game elsewhere, or a loader that must keep the library until the window thread
// has left the game's code, holds its own share and waits on it after the object may
// already be deleted.
#pragma once

#include <memory>

#include "plat/module.h"
#include "plat/threads.h"
#include "plat/user.h"

class GameGone {
 public:
  // Null when the system has no event to give: a game cannot be made without one.
  static std::shared_ptr<GameGone> Make();
  ~GameGone();
  GameGone(const GameGone&) = delete;
  GameGone& operator=(const GameGone&) = delete;

  // A window of the game window's thread whose procedure is not the module's (the host
  // window, when it is that thread's): see WaitLeft. Set on that thread inside a frame
  // of the game, before the object can be gone.
  void PaceWith(HWND windowOfWindowThread) { paceWindow_ = windowOfWindowThread; }
  // Set as the object is deleted; waits and throws nothing.
  void Set() noexcept;
  // Until the object is gone and the window's thread has left the module's code. The
  // signal is set from the module's code, which that thread still has to return out
  // of: a message sent to the pace window is served only once it is back in a loop of
  // its own, and after the object is gone no frame of the game pumps any more. Serves
  // what is sent to the waiting thread meanwhile.
  void WaitLeft() const;
  // For an end that answered before its game was gone (its caller had a frame of the
  // module on its own stack): a thread of the module's keeps the library mapped until
  // WaitLeft would return, then gives it back. False when no thread could be made.
  static bool HoldLibraryUntilLeft(const std::shared_ptr<GameGone>& gone);

 private:
  explicit GameGone(HANDLE event) : event_(event) {}
  static DWORD WINAPI HoldProc(LPVOID share);
  HANDLE event_;
  HWND paceWindow_ = nullptr;
};
