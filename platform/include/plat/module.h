// Modules and their resources. A module is a shared object of the process (or the main
// program); resources are not read from the binary but registered by the module from its
// load-time initialiser, and looked up the Windows way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plat/dialog_template.h"
#include "plat/types.h"

using FARPROC = INT_PTR (*)();

// Integer resource ids travel as pointers whose value fits 16 bits.
inline LPSTR MAKEINTRESOURCEA(uintptr_t id) { return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<WORD>(id))); }
#define MAKEINTRESOURCE MAKEINTRESOURCEA
inline bool IS_INTRESOURCE(const void* p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_FONT MAKEINTRESOURCEA(8)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)

// Finds a loaded module by file name, ignoring ASCII case, the directory, the extension
// (".dll", ".so", ".so.N") and a "lib" prefix on disk: "Dorvik2", "dorvik2.dll" and
// "libdorvik2.so" name the same module. Null = the main program. The handle stays the
// same for the life of the process.
HMODULE GetModuleHandleA(LPCSTR moduleName);
// The module's native path (for example "/opt/game/libdorvik2.so"), in CP949. The
// directory separator is "/", which the path mapping accepts back. Windows contract:
// returns the length copied; a short buffer gets a truncated, terminated path, the
// result `size` and ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// Accepted: there are no per-thread notifications to disable.
BOOL DisableThreadLibraryCalls(HMODULE module);
// dlopen through the path mapping; a bare name is searched the loader's way, then as
// "lib<name>.so" and "<name>.so".
HMODULE LoadLibraryA(LPCSTR fileName);
// Symbols by name only (ordinals are refused with ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// Releases one LoadLibraryA reference; the handle itself stays valid. The last one
// unloads the shared object, which runs its library entry's detach.
BOOL FreeLibrary(HMODULE module);

constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_PIN = 0x1;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x2;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x4;
// The module named by `moduleName` (GetModuleHandleA's rules) or, with
// GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, the one whose code or data holds that address.
// Takes a reference that FreeLibrary gives back, unless UNCHANGED_REFCOUNT is given;
// PIN keeps the module loaded for good. FALSE with ERROR_MOD_NOT_FOUND, or
// ERROR_INVALID_PARAMETER for no out pointer or both PIN and UNCHANGED_REFCOUNT.
BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module);
// Gives back one reference to `module` and ends the calling thread with `exitCode`.
// The reference goes only once the thread's start routine has left the stack, so the
// routine's own library may be the one freed. Only on a thread made by CreateThread;
// on another thread it gives the reference back and returns.
[[noreturn]] void FreeLibraryAndExitThread(HMODULE module, DWORD exitCode);

// `name` and `type` are strings (case-insensitive; "#101" means id 101) or integer ids
// made with MAKEINTRESOURCEA. A null module is the main program.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The loaded resource is the resource handle itself: LockResource gives its bytes, which
// live as long as the process.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resourceData);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Obsolete on Windows as well: does nothing and returns FALSE.
BOOL FreeResource(HGLOBAL resourceData);

namespace plat {

// The module whose code or data holds `address` (pass the address of one of the module's
// own functions); null when none does.
HMODULE ModuleFromAddress(const void* address);

// Registers a resource of `module` (null = the main program); the bytes are copied.
// Registering the same type and name again replaces what later lookups find; handles
// already handed out keep the old bytes.
bool RegisterResource(HMODULE module, LPCSTR type, LPCSTR name, const void* bytes, size_t size);

// Dialog templates (plat/dialog_template.h) follow FindResourceA's naming rules. A
// template registered again replaces the old one for later lookups; pointers already
// returned stay valid.

}  // namespace plat

// What a library of this side is: a shared object whose exports are the symbols it
// marks, found by its name plus this suffix, with a load-time initialiser as its entry.
#define PLAT_EXPORT __attribute__((visibility("default")))
#define PLAT_LIBRARY_SUFFIX ".so"
namespace plat {
// True while FreeLibrary unloads a library on this thread: its detach runs then, and
// not at the process's exit, when the libraries it uses may be gone already.
bool LibraryUnloading();
}  // namespace plat

// Runs `attach` when the library is loaded (or, linked into a program, before main),
// and `detach` when FreeLibrary unloads it (not at the process's exit). `attach` answers
// whether the library may be used: on false, LoadLibraryA runs `detach`, unloads the
// library and fails with ERROR_DLL_INIT_FAILED, as the system does for an entry that
// refuses. At file scope, after both are declared.
namespace plat {
// The entry of the library being loaded on this thread refused.
void RefuseLibraryLoad();
}  // namespace plat
#define PLAT_LIBRARY_ENTRY(attach, detach)                               \
  __attribute__((constructor)) static void PlatLibraryEntry() {          \
    if (!attach()) plat::RefuseLibraryLoad();                            \
  }                                                                      \
  __attribute__((destructor)) static void PlatLibraryExit() {            \
    if (plat::LibraryUnloading()) detach();                              \
  }
