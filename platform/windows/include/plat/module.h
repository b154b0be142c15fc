// Modules and their resources, the system's own. The module's dialog templates are
// resources compiled into the library; registering one checks that it is there and is
// the template the module's table describes.
#pragma once

#include "plat/dialog_template.h"
#include "plat/win32.h"

// A library of this side is a DLL: its exports are named, with their ordinals, by its
// module-definition file, and its entry is DllMain.
#define PLAT_EXPORT
#define PLAT_LIBRARY_SUFFIX ".DLL"
// Runs `function` when the library is attached to the process. At file scope, after
// `function` is declared.
#define PLAT_LIBRARY_ENTRY(function)                                    \
  extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {     \
    if (reason == DLL_PROCESS_ATTACH) function();                       \
    return TRUE;                                                        \
  }
