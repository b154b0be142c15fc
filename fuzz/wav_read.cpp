// Fuzz target for the RIFF/WAVE reader: any bytes give a size of 0 or a format and a
// size whose every byte can be read, and never one more. The sound source also takes
// Ogg bytes, whose size is that of the decoded samples: for those only the last rule
// holds, since compressed data decodes to more bytes than the file has, and a damaged
// stream may end early.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/CSoundSource.h"

namespace {
// A few header bytes may promise hours of silence; decoding them all proves nothing more.
constexpr uint32_t kMaxDecodedBytes = 64u << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSoundSource source;
  source.OpenMemory(data, size);
  const uint32_t total = source.GetSize();
  if (total == 0) return 0;
  const bool riff = source.GetKind() == CSoundSource::kWav;
  if (riff && total > size) std::abort();
  if (!riff && total > kMaxDecodedBytes) return 0;
  std::vector<uint8_t> buffer(4096);
  uint64_t read = 0;
  // A RIFF file rewinds to its data; an Ogg stream's seek may fail on damaged pages.
  if (!source.ResetFile()) {
    if (riff) std::abort();
    return 0;
  }
  for (;;) {
    uint32_t got = 0;
    if (!source.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got)) {
      if (riff) std::abort();
      break;
    }
    if (got == 0) break;
    read += got;
    if (read > total) std::abort();
  }
  if (riff && read != total) std::abort();
  return 0;
}
