// Multimedia timers and wave formats.
#pragma once

#include "plat/win32.h"

#include <mmsystem.h>
