// The game windows the module has handed to a host and that the host has not yet
// ended. A host's pointer is trusted only when it is found here: a second destroy, or a
// pointer the module never made, then touches nothing.
#pragma once

#include "host/Dorvik2Api.h"

class CDorvik2Wnd;

namespace live_clients {

// Makes the list, a global of the module.
void MakeGlobals();
// A game window just made for the host.
void Add(CDorvik2Wnd* wnd);
// The game window behind `client` while the host may still use it, else null.
CDorvik2Wnd* Find(IClientInterface* client);
// As Find, with a frame of the game entered before the list lets go of it (an end
// claimed on another thread then waits for that frame); the caller leaves it.
CDorvik2Wnd* Enter(IClientInterface* client);
// Takes the game window behind `client` out of the live ones: the one caller that gets
// it ends it; every later caller, on any thread, gets null.
CDorvik2Wnd* Claim(IClientInterface* client);
// A game window deleted however it ended: never found again, even at the same address.
void Forget(CDorvik2Wnd* wnd);
// The frames of any game of the module on the calling thread's stack, counted as
// each starts and ends: a thread inside the module's code cannot wait for a game
// whose frames may sit on another thread waiting for this one.
void ThreadEntered();
void ThreadLeft();
bool ThreadInside();

}  // namespace live_clients
