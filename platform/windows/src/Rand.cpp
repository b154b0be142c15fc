// rand() is the system C runtime's: the same generator, with its state per thread, and
// kept by the runtime rather than by the module, so nothing of it stays behind when the
// module is unloaded.
#include <cstdlib>

#include "plat/format.h"

namespace plat::crt {

int rand() { return std::rand(); }

void srand(uint32_t seed) { std::srand(seed); }

}  // namespace plat::crt
