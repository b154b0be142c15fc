// Threads, events, waits, critical sections and interlocked operations. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
