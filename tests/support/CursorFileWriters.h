// Writers of the cursor files the window layer reads: a single-image cursor or icon
// (.cur) and a RIFF "ACON" animated cursor (.ani) whose frames are icons.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {

// One 32 x 32 image of 8 bytes; type 2 is a cursor, 1 an icon.
std::vector<uint8_t> CurFile(uint16_t type, uint16_t hotX, uint16_t hotY);
// An animated cursor claiming `frames` frames, holding one icon image.
std::vector<uint8_t> AniFile(uint32_t frames);

}  // namespace testing_support
