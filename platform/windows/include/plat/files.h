// Files through Windows paths: the system's own, and the layer's stdio opener and path
// mapping over them (on this side a path maps to its full path).
#pragma once

#include "plat/paths.h"
#include "plat/win32.h"
