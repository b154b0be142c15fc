// System information and version. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
