// What the library's own C and C++ runtime keeps for the life of the library and
// gives back only at a thread's or the process's end, given back when FreeLibrary
// detaches it instead.
#include "plat/module.h"

#include <pthread.h>

#include <array>
#include <cstdint>

static_assert(__MINGW64_VERSION_MAJOR == 10 && __WINPTHREADS_VERSION == 0x00050000,
              "the threads library's storage index is given back by what version 10 does at a thread's end: "
              "check ReleaseRuntimeRecords against this version's before building with it");

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
  //
  // This relies on the threads library of MinGW-w64 10 (winpthreads 0.5.0): it never
  // frees that index itself, and its thread callback empties exactly that one slot. A
  // version that frees the index, or empties other slots, would make this free an index
  // that another thread may have just been given; so an index is freed only when exactly
  // one slot changed, and the build refuses another version until this is checked again
  // (the life test's storage-index count fails when the index is no longer given back).
  pthread_self();
  std::array<void*, kTlsIndexes> before;
  for (DWORD index = 0; index < kTlsIndexes; ++index) before[index] = TlsGetValue(index);
  EndThreadRecords(library);
  DWORD emptied = kTlsIndexes;
  int32_t changed = 0;
  for (DWORD index = 0; index < kTlsIndexes; ++index) {
    if (TlsGetValue(index) == before[index]) continue;
    ++changed;
    if (before[index] && !TlsGetValue(index)) emptied = index;
  }
  if (changed == 1 && emptied != kTlsIndexes) TlsFree(emptied);
  // Nothing of the library throws any more: its code has stopped running.
  __gnu_cxx::__freeres();
}

}  // namespace plat
