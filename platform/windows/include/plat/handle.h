// Closing kernel handles. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
