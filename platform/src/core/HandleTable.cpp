#include "core/HandleTable.h"

namespace plat::detail {
namespace {
constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = 0x7FF;  // keeps values below 2^31
}  // namespace

uintptr_t HandleTable::Insert(HandleKind kind, std::shared_ptr<Object> object) {
  if (!object) return 0;
  std::lock_guard lock(mutex_);
  uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() >= kIndexMask) return 0;
    index = static_cast<uint32_t>(slots_.size());
    // Room for every slot to be freed: Remove (CloseHandle, DeleteObject) never
    // allocates, as the system's never fails for memory.
    free_.reserve(slots_.size() + 1);
    slots_.emplace_back();
  }
  Slot& s = slots_[index];
  s.generation = (s.generation + 1) & kGenerationMask;
  if (s.generation == 0) s.generation = 1;
  s.kind = kind;
  s.object = std::move(object);
  return (static_cast<uintptr_t>(s.generation) << kIndexBits) | (index + 1);
}

std::optional<uint32_t> HandleTable::LiveSlot(uintptr_t value, HandleKind kind) const {
  if (value == 0 || value >= (uintptr_t{1} << 31)) return std::nullopt;
  const auto index = static_cast<uint32_t>(value & kIndexMask);
  const auto generation = static_cast<uint32_t>(value >> kIndexBits);
  if (index == 0 || index - 1 >= slots_.size()) return std::nullopt;
  const Slot& s = slots_[index - 1];
  if (!s.object || s.generation != generation || s.kind != kind) return std::nullopt;
  return index - 1;
}

std::shared_ptr<Object> HandleTable::Find(uintptr_t value, HandleKind kind) const {
  std::lock_guard lock(mutex_);
  const std::optional<uint32_t> slot = LiveSlot(value, kind);
  return slot ? slots_[*slot].object : nullptr;
}

std::shared_ptr<Object> HandleTable::Remove(uintptr_t value, HandleKind kind) {
  std::lock_guard lock(mutex_);
  const std::optional<uint32_t> slot = LiveSlot(value, kind);
  if (!slot) return nullptr;
  free_.push_back(*slot);
  return std::move(slots_[*slot].object);
}

size_t HandleTable::LiveCount(HandleKind kind) const {
  std::lock_guard lock(mutex_);
  size_t n = 0;
  for (const Slot& s : slots_)
    if (s.object && s.kind == kind) ++n;
  return n;
}

std::vector<uintptr_t> HandleTable::LiveValues(HandleKind kind) const {
  std::lock_guard lock(mutex_);
  std::vector<uintptr_t> out;
  for (size_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (s.object && s.kind == kind)
      out.push_back((static_cast<uintptr_t>(s.generation) << kIndexBits) | (i + 1));
  }
  return out;
}

HandleTable& Handles() {
  static HandleTable* table = new HandleTable;
  return *table;
}

}  // namespace plat::detail
