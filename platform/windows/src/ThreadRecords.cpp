// The library's thread callbacks, found in its own image, called for the thread that
// unloads it as if that thread ended.
#include "plat/module.h"

namespace plat {

void ReleaseThreadRecords(HINSTANCE library) {
  if (!library) return;
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

}  // namespace plat
