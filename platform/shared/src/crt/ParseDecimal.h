// The C runtime's decimal reading, shared by the layer's number parsers.
#pragma once

#include <cstdint>

namespace plat::crt::detail {

// Leading white space, optional sign, decimal digits; a magnitude beyond `limit`
// (the largest positive value) clamps to the type's range. Null reads as 0.
int64_t ParseDecimal(const char* text, uint64_t limit);

}  // namespace plat::crt::detail
