// Seeded sweeps (pixman's pattern): case i seeds its own generator, every output is
// folded into one CRC32 that the test pins, and DORVIK_CASE=i (or a test program's
// --case=i) replays one case alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testing_support {

// splitmix64: the same numbers on every platform and library, unlike std distributions.
class CaseRng {
 public:
  explicit CaseRng(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
  uint64_t Next();
  // Uniform in [0, n) for n >= 1.
  int32_t Below(int32_t n) { return int32_t(Next() % uint64_t(n)); }
  // Uniform in [lo, hi].
  int32_t Range(int32_t lo, int32_t hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int32_t percent) { return Below(100) < percent; }
  uint8_t Byte() { return uint8_t(Next()); }

 private:
  uint64_t m_state;
};

uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

// The cases to run: every one of [0, count), or only DORVIK_CASE when it is set.
std::vector<int32_t> SweepCases(int32_t count);
// True when DORVIK_CASE names one case (the pinned sum is not checked then).
bool ReplayingOneCase();

}  // namespace testing_support
