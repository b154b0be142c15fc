// The table of the module's globals in the order they were made.
#include "base/ModuleGlobal.h"

#include <array>

namespace module_globals {
namespace {

struct Entry {
  Destroyer destroy;
  void* global;
};
// A plain table, constant-initialised: it needs no global of its own to exist first.
std::array<Entry, kCapacity> g_entries{};
std::atomic<int32_t> g_count{0};
std::atomic<bool> g_overflowed{false};

}  // namespace

bool Register(Destroyer destroy, void* global) {
  const int32_t slot = g_count.fetch_add(1, std::memory_order_acq_rel);
  if (slot >= kCapacity) {
    g_count.fetch_sub(1, std::memory_order_acq_rel);
    g_overflowed.store(true, std::memory_order_release);
    return false;
  }
  g_entries[static_cast<size_t>(slot)] = Entry{destroy, global};
  return true;
}

bool Overflowed() { return g_overflowed.load(std::memory_order_acquire); }

void DestroyAll() {
  // A destructor may use a global made earlier (a buffer released into its pool): the
  // last made goes first. One it makes anew on the way is taken next.
  for (int32_t count; (count = g_count.load(std::memory_order_acquire)) > 0;) {
    const Entry entry = g_entries[static_cast<size_t>(count - 1)];
    g_count.store(count - 1, std::memory_order_release);
    entry.destroy(entry.global);
  }
  g_overflowed.store(false, std::memory_order_release);
}

int32_t Count() { return g_count.load(std::memory_order_acquire); }

}  // namespace module_globals
