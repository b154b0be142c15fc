// Component objects: the system's IUnknown and GUIDs, and the layer's counted holder.
#pragma once

#include <objbase.h>

#include "plat/comptr.h"
#include "plat/win32.h"
