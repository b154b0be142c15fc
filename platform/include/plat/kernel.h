// Kernel services of the layer: last error, threads and locks, time, system
// information, files and path mapping, modules and resources, global memory, INI
// files and code pages.
#pragma once

#include "plat/types.h"
#include "plat/error.h"
#include "plat/codepage.h"
#include "plat/handle.h"
#if __has_include("plat/threads.h")
#include "plat/threads.h"
#endif
#if __has_include("plat/time.h")
#include "plat/time.h"
#endif
#if __has_include("plat/sysinfo.h")
#include "plat/sysinfo.h"
#endif
#if __has_include("plat/files.h")
#include "plat/files.h"
#endif
#if __has_include("plat/module.h")
#include "plat/module.h"
#endif
#if __has_include("plat/globalmem.h")
#include "plat/globalmem.h"
#endif
#if __has_include("plat/ini.h")
#include "plat/ini.h"
#endif
