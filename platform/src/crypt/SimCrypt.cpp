// Test view of the cryptography objects: how many handles of each kind are live.
#include "plat/sim_crypt.h"

#include "core/HandleTable.h"

namespace plat::sim {

CryptHandleCounts LiveCryptHandles() {
  const auto& table = detail::Handles();
  return {static_cast<uint32_t>(table.LiveCount(detail::HandleKind::CryptProvider)),
          static_cast<uint32_t>(table.LiveCount(detail::HandleKind::CryptHash)),
          static_cast<uint32_t>(table.LiveCount(detail::HandleKind::CryptKey))};
}

}  // namespace plat::sim
