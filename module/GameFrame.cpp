// The frame's entry and exit: the counts under the game's lock, the thread's mark under the list's.
#include "module/GameFrame.h"

#include "module/CDorvik2Wnd.h"

GameFrame::GameFrame(CDorvik2Wnd& game) noexcept
    : game_(game), runs_((live_clients::ThreadEntered(mark_), game.EnterFrame())), screen_(game.handed_) {}

GameFrame::~GameFrame() {
  game_.Finish();
  // The game may be gone: only the frame's own mark is touched.
  live_clients::ThreadLeft(mark_);
}
