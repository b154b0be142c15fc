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
namespace plat {
// The library's C and C++ runtime, linked into it, keeps records of each thread that
// ran its code (the threads library's record of the thread, with a handle of it and an
// event), which only the thread's end gives back, and a reserve for exceptions made at
// its start, which only the process's end gives back. The thread that unloads the
// library does not end, and the process goes on: both are given back here. Called last
// in the library's detach.
void ReleaseRuntimeRecords(HINSTANCE library);
}  // namespace plat

// Runs `attach` when the library is attached to the process and `detach` when
// FreeLibrary detaches it. `attach` answers whether the library may be used: on false
// the system detaches it at once and LoadLibrary fails. At the process's exit (a
// non-null reserved word) nothing is undone: other libraries may be gone already. At
// file scope, after both are declared.
#define PLAT_LIBRARY_ENTRY(attach, detach)                                          \
  extern "C" BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID reserved) { \
    if (reason == DLL_PROCESS_ATTACH) return attach() ? TRUE : FALSE;               \
    if (reason == DLL_PROCESS_DETACH && !reserved) {                                \
      detach();                                                                     \
      plat::ReleaseRuntimeRecords(library);                                         \
    }                                                                               \
    return TRUE;                                                                    \
  }
