// Sleeps, tick counts, the performance counter and wall time. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
