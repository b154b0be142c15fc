// The original compiler's rand(): tests pin the sequences that the module's random
// choices draw from, so the generator and its per-thread state are reproduced.
#include "plat/format.h"

namespace plat::crt {
namespace {

// Constant-initialised, so no constructor runs; every thread starts at seed 1.
thread_local uint32_t randState = 1;

}  // namespace

int rand() {
  randState = randState * 214013u + 2531011u;
  return static_cast<int>((randState >> 16) & kRandMax);
}

void srand(uint32_t seed) { randState = seed; }

}  // namespace plat::crt
