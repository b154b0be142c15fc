// GDI and msimg32: device contexts, bitmaps, DIB sections, regions, pens, brushes, blits. The Windows side: the system's own API.
#pragma once

#include "plat/win32.h"
