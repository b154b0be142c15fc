// DirectDraw, as the system declares it.
#pragma once

#include "plat/com.h"
#include "plat/win32.h"

#include <ddraw.h>
