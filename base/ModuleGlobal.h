// The module's global objects: each made once, by the library's entry, which makes
// them all in one list before the host can call anything (or at its first use where no
// entry ran: a program the module's code is linked into), and destroyed together when
// the library is unloaded, the last made first.
#pragma once

#include <atomic>
#include <cstdint>

namespace module_globals {

using Destroyer = void (*)(void* global);
// How many globals the table remembers.
constexpr int32_t kCapacity = 32;
// Remembers how to destroy a global just made. One beyond the table's room is refused
// (false) and the refusal is remembered: the library's entry then refuses the load, so
// the table's size is never outgrown in silence.
bool Register(Destroyer destroy, void* global);
// A registration was refused since the last DestroyAll.
bool Overflowed();
// Destroys every global made so far, the last made first, and forgets them; a global
// used afterwards is made anew. Called once the module's last caller has gone.
void DestroyAll();
// Globals currently made (for tests).
int32_t Count();

}  // namespace module_globals

// One global of type T. Constant-initialised, so it is usable in any order during
// the library's load; the first thread to use it makes it, and the others see the
// same object.
template <class T>
class ModuleGlobal {
 public:
  constexpr ModuleGlobal() = default;
  ModuleGlobal(const ModuleGlobal&) = delete;
  ModuleGlobal& operator=(const ModuleGlobal&) = delete;

  T& Get() {
    if (T* made = object_.load(std::memory_order_acquire)) return *made;
    T* fresh = new T;
    T* expected = nullptr;
    if (!object_.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel)) {
      delete fresh;
      return *expected;
    }
    module_globals::Register(&ModuleGlobal::Destroy, this);
    return *fresh;
  }

 private:
  static void Destroy(void* self) { delete static_cast<ModuleGlobal*>(self)->object_.exchange(nullptr); }

  std::atomic<T*> object_{nullptr};
};
