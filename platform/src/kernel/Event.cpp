// Event objects and WaitForSingleObject, the one wait on kernel handles (threads and
// events); both take real time whatever the clock mode.
#include <memory>

#include "core/HandleTable.h"
#include "kernel/Waitable.h"
#include "plat/error.h"
#include "plat/threads.h"

namespace plat::detail {
namespace {

class EventObject final : public Waitable {
 public:
  EventObject(bool manualReset, bool initial) : signal_(manualReset, initial) {}
  Signal& WaitSignal() override { return signal_; }

 private:
  Signal signal_;
};

std::shared_ptr<EventObject> FindEvent(HANDLE event) {
  auto object = Handles().Get<EventObject>(FromHandle(event), HandleKind::Event);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

}  // namespace
}  // namespace plat::detail

using namespace plat::detail;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
  const uintptr_t handle =
      Handles().Insert(HandleKind::Event, std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE));
  if (handle == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return ToHandle<HANDLE>(handle);
}

BOOL SetEvent(HANDLE event) {
  auto object = FindEvent(event);
  if (!object) return FALSE;
  object->WaitSignal().Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  auto object = FindEvent(event);
  if (!object) return FALSE;
  object->WaitSignal().Reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const uintptr_t value = FromHandle(handle);
  std::shared_ptr<Object> object = Handles().Find(value, HandleKind::Thread);
  if (!object) object = Handles().Find(value, HandleKind::Event);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  // The shared reference keeps the object alive even if another thread closes the handle.
  return static_cast<Waitable&>(*object).WaitSignal().Wait(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
