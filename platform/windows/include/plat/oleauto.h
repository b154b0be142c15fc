// OLE Automation strings, variants and safe arrays.
#pragma once

#include "plat/win32.h"

#include <oleauto.h>
