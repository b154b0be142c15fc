// One frame of a game on the calling thread, held by every way into a game: an exported
// call, a host call on IClientInterface, a message of the game window. It counts the
// game's frame and the thread's presence in the module's code, and opens the game's
// picture scope; as it ends, however it ends (an exception too), it undoes them, and
// the game may be deleted there.
#pragma once

#include "graphics/XResEntryMgr.h"
#include "module/LiveClients.h"

class CDorvik2Wnd;

class GameFrame {
 public:
  explicit GameFrame(CDorvik2Wnd& game) noexcept;
  // The frame's last touch of the game, which may be deleted here.
  ~GameFrame();
  GameFrame(const GameFrame&) = delete;
  GameFrame& operator=(const GameFrame&) = delete;
  // False once the end is claimed: the frame's work touches nothing of the game.
  bool Runs() const { return runs_; }

 private:
  CDorvik2Wnd& game_;
  live_clients::ThreadMark mark_;
  bool runs_;
  // Ends after the frame settled the game: it reads nothing of it then.
  XResScreenScope screen_;
};
