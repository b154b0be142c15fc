// The USER services: windows, messages, timers, painting, input, dialogs, controls.
#pragma once

#include "plat/dialogs.h"
#include "plat/winuser.h"
