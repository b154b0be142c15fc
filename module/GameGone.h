// The "this game's object is gone" signal. It outlives the object: a thread that ends
// the game elsewhere, or a loader that must keep the library until the window thread
// has left the game's code, holds its own share and waits on it after the object may
// already be deleted.
#pragma once

#include <memory>

#include "plat/threads.h"

class GameGone {
 public:
  // Null when the system has no event to give: a game cannot be made without one.
  static std::shared_ptr<GameGone> Make();
  ~GameGone();
  GameGone(const GameGone&) = delete;
  GameGone& operator=(const GameGone&) = delete;

  // Set as the object is deleted; waits and throws nothing.
  void Set() noexcept;
  // Until the object is gone: true, or false when `milliseconds` passed first.
  bool Wait(DWORD milliseconds) const;

 private:
  explicit GameGone(HANDLE event) : event_(event) {}
  HANDLE event_;
};
