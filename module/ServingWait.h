// The module's own waits for another thread: a thread that waits here still serves
// what other threads send to it, so two window threads that wait for each other's
// games both go on.
#pragma once

#include "plat/threads.h"
#include "plat/user.h"

// Waits until `handle` (an event or a thread) is signalled or `milliseconds` have
// passed, serving the messages sent to the calling thread meanwhile; posted messages
// stay queued. WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitServingSends(HANDLE handle, DWORD milliseconds);
