// The C runtime: the system's msvcrt (_snprintf, _stricmp, _atoi64, ...) and wsprintfA,
// and the layer's own formatter and generator of the same dialect.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plat/format.h"
#include "plat/win32.h"
