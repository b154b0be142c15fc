// GlobalAlloc and friends. Fixed blocks are known by address, moveable ones through the
// handle table; both kinds hold their bytes in one heap allocation that never moves.
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "core/Faults.h"
#include "core/HandleTable.h"
#include "plat/error.h"
#include "plat/globalmem.h"

namespace {

using plat::detail::HandleKind;

// The largest block the layer hands out; a request above it is refused before allocating.
constexpr SIZE_T kMaxBlock = SIZE_T{1} << 31;

struct Block : plat::detail::Object {
  std::unique_ptr<uint8_t[]> bytes;
  SIZE_T size = 0;
  uint32_t locks = 0;
};

struct FixedBlocks {
  std::mutex mutex;
  std::map<const void*, std::shared_ptr<Block>> byAddress;
};

FixedBlocks& Fixed() {
  static FixedBlocks* fixed = new FixedBlocks;
  return *fixed;
}

// The block behind a fixed address or a moveable handle; null with the last error set.
std::shared_ptr<Block> FindBlock(HGLOBAL memory, bool* isFixed = nullptr) {
  if (!memory) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  {
    auto& f = Fixed();
    std::lock_guard lock(f.mutex);
    auto it = f.byAddress.find(memory);
    if (it != f.byAddress.end()) {
      if (isFixed) *isFixed = true;
      return it->second;
    }
  }
  if (isFixed) *isFixed = false;
  auto block = plat::detail::Handles().Get<Block>(plat::detail::FromHandle(memory), HandleKind::Global);
  if (!block) SetLastError(ERROR_INVALID_HANDLE);
  return block;
}

std::mutex& LockCountMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (plat::detail::ShouldFail("GlobalAlloc") || bytes > kMaxBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto block = std::make_shared<Block>();
  // One byte at least, so even an empty block has an address of its own.
  block->bytes.reset(new (std::nothrow) uint8_t[bytes ? bytes : 1]());
  if (!block->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  block->size = bytes;
  if (!(flags & GMEM_MOVEABLE)) {
    HGLOBAL address = block->bytes.get();
    auto& f = Fixed();
    std::lock_guard lock(f.mutex);
    f.byAddress.emplace(address, std::move(block));
    return address;
  }
  uintptr_t value = plat::detail::Handles().Insert(HandleKind::Global, std::move(block));
  if (!value) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return plat::detail::ToHandle<HGLOBAL>(value);
}

LPVOID GlobalLock(HGLOBAL memory) {
  bool fixed = false;
  auto block = FindBlock(memory, &fixed);
  if (!block) return nullptr;
  if (!fixed) {
    std::lock_guard lock(LockCountMutex());
    ++block->locks;
  }
  return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  bool fixed = false;
  auto block = FindBlock(memory, &fixed);
  if (!block) return FALSE;
  std::lock_guard lock(LockCountMutex());
  if (fixed || block->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (!memory) return nullptr;
  {
    auto& f = Fixed();
    std::lock_guard lock(f.mutex);
    if (f.byAddress.erase(memory)) return nullptr;
  }
  if (plat::detail::Handles().Remove(plat::detail::FromHandle(memory), HandleKind::Global)) return nullptr;
  SetLastError(ERROR_INVALID_HANDLE);
  return memory;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  auto block = FindBlock(memory);
  if (!block) return 0;
  return block->size;
}
