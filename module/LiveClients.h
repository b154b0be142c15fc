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
// Takes the game window behind `client` out of the live ones: the one caller that gets
// it ends it; every later caller, on any thread, gets null.
CDorvik2Wnd* Claim(IClientInterface* client);
// A game window deleted however it ended: never found again, even at the same address.
void Forget(CDorvik2Wnd* wnd);

}  // namespace live_clients
