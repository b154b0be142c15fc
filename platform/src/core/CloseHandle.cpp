// A kernel object dies when its last reference goes: the handle table's reference
// is dropped here, and any call still using the object keeps its own.
#include "plat/handle.h"

#include "core/HandleTable.h"
#include "plat/error.h"

BOOL CloseHandle(HANDLE handle) {
  using plat::detail::HandleKind;
  const uintptr_t value = plat::detail::FromHandle(handle);
  for (HandleKind kind : {HandleKind::Thread, HandleKind::Event, HandleKind::File, HandleKind::FindFile}) {
    if (plat::detail::Handles().Remove(value, kind)) return TRUE;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
