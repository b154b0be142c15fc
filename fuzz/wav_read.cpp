// Fuzz target for the RIFF/WAVE reader: any bytes give a size of 0 or a format and a
// size whose every byte can be read, and never one more.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/CSoundSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSoundSource source;
  source.OpenMemory(data, size);
  const uint32_t total = source.GetSize();
  if (total == 0) return 0;
  if (total > size) std::abort();
  std::vector<uint8_t> buffer(4096);
  uint32_t read = 0;
  if (!source.ResetFile()) std::abort();
  for (;;) {
    uint32_t got = 0;
    if (!source.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got)) std::abort();
    if (got == 0) break;
    read += got;
  }
  if (read != total) std::abort();
  return 0;
}
