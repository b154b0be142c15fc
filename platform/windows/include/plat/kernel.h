// Kernel services: last error, threads and locks, time, system information, files,
// modules and resources, global memory, INI files and code pages.
#pragma once

#include "plat/codepage.h"
#include "plat/error.h"
#include "plat/files.h"
#include "plat/globalmem.h"
#include "plat/handle.h"
#include "plat/ini.h"
#include "plat/module.h"
#include "plat/sysinfo.h"
#include "plat/threads.h"
#include "plat/time.h"
#include "plat/types.h"
