// The game windows the module has handed to a host and that the host has not yet
// ended, and the ended ones while their gone signal lives. A host's pointer is trusted
// only when it is found here: a pointer the module never made touches nothing, and a
// second destroy only waits for the first's game to be gone.
#pragma once

#include <memory>
#include <optional>

#include "host/Dorvik2Api.h"
#include "plat/threads.h"

class CDorvik2Wnd;
class GameGone;
class GameFrame;

namespace live_clients {

// Makes the list, a global of the module.
void MakeGlobals();
// A game window just made for the host.
void Add(CDorvik2Wnd* wnd);
// The game window behind `client` while the host may still use it, with `frame`
// entered on it before the list lets go of it (an end claimed on another thread then
// waits for that frame); else null, and `frame` stays empty.
CDorvik2Wnd* Enter(IClientInterface* client, std::optional<GameFrame>& frame);
// Claims the end of the game behind `client`: the one caller that gets its window ends
// it. A later caller, on any thread, gets null, and `ending` the gone signal of that
// game while anyone still holds it (null when there is none, or for a pointer the
// module never made): it answers once the game is gone as the first would.
CDorvik2Wnd* Claim(IClientInterface* client, std::shared_ptr<GameGone>& ending);

// One frame's mark of its thread in the module's code. The marks are the frames
// themselves, linked in a list: entering and leaving never allocate.
struct ThreadMark {
  DWORD thread = 0;
  ThreadMark* next = nullptr;
};
void ThreadEntered(ThreadMark& mark) noexcept;
void ThreadLeft(ThreadMark& mark) noexcept;
// A frame of any game of the module is on the calling thread's stack: such a thread
// cannot wait for a game whose frames may sit on another thread waiting for this one.
bool ThreadInside() noexcept;

}  // namespace live_clients
