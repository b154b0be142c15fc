// What the library's own C and C++ runtime keeps for the life of the library and
// gives back only at a thread's or the process's end, given back when FreeLibrary
// detaches it instead.
#include "plat/module.h"

#include <pthread.h>

#include <array>

// The C++ runtime's reserve for throwing when the heap is exhausted, made when the
// runtime starts. It has no destructor: made once a process, it was never meant to
// be freed, but a library linked with its own runtime makes it at every load.
namespace __gnu_cxx {
void __freeres();
}

namespace plat {
namespace {

// The library's thread callbacks, found in its own image, called for the thread that
// unloads it as if that thread ended.
void EndThreadRecords(HINSTANCE library) {
  auto* base = reinterpret_cast<BYTE*>(library);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_TLS)
    return;
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
  if (!directory.VirtualAddress) return;
  const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + directory.VirtualAddress);
  // The callbacks' table holds addresses, ending with a null one.
  for (auto* callback = reinterpret_cast<PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks); callback && *callback;
       ++callback)
    (*callback)(library, DLL_THREAD_DETACH, nullptr);
}

// Every thread-local storage index a process has: the 64 of the thread's own block and
// the 1,024 of its expansion.
constexpr DWORD kTlsIndexes = TLS_MINIMUM_AVAILABLE + 1024;

}  // namespace

void ReleaseRuntimeRecords(HINSTANCE library) {
  if (!library) return;
  // The threads library keeps its record of each thread in a storage index of its own,
  // taken at its first record and never given back: a process that loads the library a
  // thousand times would run out. Ending this thread's records empties this thread's
  // slot of that index, which tells which one it is. Asking for this thread's identity
  // makes its record when it has none (a loader that lets the library go after the
  // host's thread did, say), so the index is always found.
  pthread_self();
  std::array<void*, kTlsIndexes> before;
  for (DWORD index = 0; index < kTlsIndexes; ++index) before[index] = TlsGetValue(index);
  EndThreadRecords(library);
  for (DWORD index = 0; index < kTlsIndexes; ++index)
    if (before[index] && !TlsGetValue(index)) TlsFree(index);
  // Nothing of the library throws any more: its code has stopped running.
  __gnu_cxx::__freeres();
}

}  // namespace plat
