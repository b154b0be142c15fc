// Storage of the modal hook. The hook is copied out before it runs, so it may replace
// itself or open a nested modal loop that calls it again.
#include "user/ModalHook.h"

#include <mutex>

#include "plat/sim_user.h"

namespace plat::detail::user {
namespace {

struct HookSlot {
  std::mutex mutex;
  plat::sim::ModalHook hook;
};

HookSlot& Slot() {
  static HookSlot* slot = new HookSlot;
  return *slot;
}

}  // namespace

void RunModalHook(HWND dialog) {
  plat::sim::ModalHook hook;
  {
    std::lock_guard lock(Slot().mutex);
    hook = Slot().hook;
  }
  if (hook) hook(dialog);
}

void ClearModalHook() {
  std::lock_guard lock(Slot().mutex);
  Slot().hook = nullptr;
}

}  // namespace plat::detail::user

namespace plat::sim {

void SetModalHook(ModalHook hook) {
  auto& slot = plat::detail::user::Slot();
  std::lock_guard lock(slot.mutex);
  slot.hook = std::move(hook);
}

}  // namespace plat::sim
