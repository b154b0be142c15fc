// The layer's handle table. Every handle value is an index with a generation, so a
// closed or forged handle is refused instead of dereferenced. Objects are shared:
// a call that looked an object up keeps it alive even if another thread closes it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace plat::detail {

enum class HandleKind : uint8_t {
  Thread,
  Event,
  File,
  FindFile,
  Global,
  Module,
  Resource,
  RegistryKey,
  Window,
  DeviceContext,
  GdiObject,
  Cursor,
  CryptProvider,
  CryptHash,
  CryptKey,
  Other,
};

struct Object {
  virtual ~Object() = default;
};

class HandleTable {
 public:
  // Returns a nonzero value below 2^31 (so it never equals INVALID_HANDLE_VALUE or a
  // predefined registry key).
  uintptr_t Insert(HandleKind kind, std::shared_ptr<Object> object);
  std::shared_ptr<Object> Find(uintptr_t value, HandleKind kind) const;
  // Removes and returns the object; null when the value is not live or of another kind.
  std::shared_ptr<Object> Remove(uintptr_t value, HandleKind kind);
  size_t LiveCount(HandleKind kind) const;
  // Live values of a kind, in slot order.
  std::vector<uintptr_t> LiveValues(HandleKind kind) const;

  template <class T>
  std::shared_ptr<T> Get(uintptr_t value, HandleKind kind) const {
    return std::static_pointer_cast<T>(Find(value, kind));
  }

 private:
  struct Slot {
    uint32_t generation = 0;
    HandleKind kind = HandleKind::Other;
    std::shared_ptr<Object> object;
  };
  // The slot `value` names when it holds a live object of `kind`. Call with the lock held.
  std::optional<uint32_t> LiveSlot(uintptr_t value, HandleKind kind) const;

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
};

HandleTable& Handles();

template <class H>
H ToHandle(uintptr_t value) {
  return reinterpret_cast<H>(value);
}
inline uintptr_t FromHandle(const void* h) { return reinterpret_cast<uintptr_t>(h); }

}  // namespace plat::detail
