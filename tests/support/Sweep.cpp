// Seeded sweeps: case generator, CRC32 and the one-case replay switch.
#include "support/Sweep.h"

#include <cstdlib>

namespace testing_support {

uint64_t CaseRng::Next() {
  uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
  const auto* p = static_cast<const uint8_t*>(data);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

namespace {
int32_t ReplayCase() {
  const char* v = std::getenv("DORVIK_CASE");
  if (!v || !*v) return -1;
  return int32_t(std::strtol(v, nullptr, 10));
}
}  // namespace

bool ReplayingOneCase() { return ReplayCase() >= 0; }

std::vector<int32_t> SweepCases(int32_t count) {
  std::vector<int32_t> cases;
  const int32_t one = ReplayCase();
  if (one >= 0) {
    cases.push_back(one);
    return cases;
  }
  for (int32_t i = 0; i < count; ++i) cases.push_back(i);
  return cases;
}

}  // namespace testing_support
