// Kernel services of the layer: last error, threads and locks, time, system
// information, files and path mapping, modules and resources, global memory, INI
// files and code pages.
#pragma once

#include "plat/types.h"
#include "plat/error.h"
#include "plat/codepage.h"
#include "plat/handle.h"
#include "plat/threads.h"
#include "plat/time.h"
#include "plat/sysinfo.h"
#include "plat/files.h"
#include "plat/module.h"
#include "plat/globalmem.h"
#include "plat/ini.h"
