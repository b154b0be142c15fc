// Private profile (INI) files. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
