// The shell's "open this document" call.
#pragma once

#include "plat/win32.h"

#include <shellapi.h>
