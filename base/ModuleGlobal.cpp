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
constexpr int32_t kCapacity = 32;
std::array<Entry, kCapacity> g_entries{};
std::atomic<int32_t> g_count{0};

}  // namespace

void Register(Destroyer destroy, void* global) {
  const int32_t slot = g_count.fetch_add(1, std::memory_order_acq_rel);
  if (slot >= kCapacity) {
    g_count.fetch_sub(1, std::memory_order_acq_rel);
    return;
  }
  g_entries[static_cast<size_t>(slot)] = Entry{destroy, global};
}

void DestroyAll() {
  // A destructor may use a global made earlier (a buffer released into its pool): the
  // last made goes first. One it makes anew on the way is taken next.
  for (int32_t count; (count = g_count.load(std::memory_order_acquire)) > 0;) {
    const Entry entry = g_entries[static_cast<size_t>(count - 1)];
    g_count.store(count - 1, std::memory_order_release);
    entry.destroy(entry.global);
  }
}

int32_t Count() { return g_count.load(std::memory_order_acquire); }

}  // namespace module_globals
