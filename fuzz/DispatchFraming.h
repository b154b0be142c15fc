// How the dispatcher's fuzz target cuts an input: one host message block per OnReceive,
// blocks split at a separator, one tick of the table between blocks. The seed writer
// that turns the scripted games into inputs frames them the same way.
#pragma once

#include <cstdint>
#include <string_view>

namespace dispatch_fuzz {

inline constexpr std::string_view kBlockSeparator = "DVBK";
inline constexpr uint32_t kTickMs = 50;

}  // namespace dispatch_fuzz
