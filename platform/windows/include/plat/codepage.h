// Code pages: the system's conversions, and the module's CP949 helpers over them.
#pragma once

#include "plat/utf16.h"
#include "plat/win32.h"
