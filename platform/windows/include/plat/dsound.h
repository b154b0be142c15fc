// DirectSound, as the system declares it.
#pragma once

#include "plat/com.h"
#include "plat/mmsystem.h"
#include "plat/win32.h"

#include <dsound.h>
