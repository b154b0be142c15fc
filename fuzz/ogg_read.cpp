// Fuzz target for Ogg Vorbis over memory. The first byte picks the path: even, the
// sound source (format, size, read everything, never more than the size); odd, the
// music stream (container header, open, then refills with the cursor moved by
// amounts the input scripts). The sound source also takes RIFF/WAVE bytes, whose
// format is the file's own: only decoded Ogg is bound to 16-bit samples.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "plat/dsound.h"
#include "plat/sim.h"
#include "sound/CMusicStream.h"
#include "sound/CSoundSource.h"

namespace {

constexpr uint32_t kMaxReadBytes = 64u << 20;

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// What a RIFF file's own header says: the first "fmt " chunk's fields and the bytes
// of the first "data" chunk that are present. False when the walk finds neither.
struct RiffHeader {
  uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0;
  uint64_t dataPresent = 0;
};
bool WalkRiff(const uint8_t* data, size_t size, RiffHeader& h) {
  if (size < 12) return false;
  const uint64_t end = std::min<uint64_t>(8 + uint64_t{U32(data + 4)}, size);
  bool format = false, payload = false;
  for (uint64_t pos = 12; pos + 8 <= end;) {
    const uint8_t* chunk = data + pos;
    const uint32_t length = U32(chunk + 4);
    if (!format && std::memcmp(chunk, "fmt ", 4) == 0 && pos + 8 + 16 <= size) {
      h.tag = U16(chunk + 8);
      h.channels = U16(chunk + 10);
      h.rate = U32(chunk + 12);
      h.blockAlign = U16(chunk + 20);
      h.bits = U16(chunk + 22);
      format = true;
    } else if (!payload && std::memcmp(chunk, "data", 4) == 0) {
      h.dataPresent = std::min<uint64_t>(length, size - (pos + 8));
      payload = true;
    }
    pos += 8 + uint64_t{length} + (length & 1);
  }
  return format && payload;
}

void CheckRiffAgainstHeader(const CSoundSource& source, const uint8_t* data, size_t size) {
  RiffHeader h;
  if (!WalkRiff(data, size, h)) std::abort();
  const WAVEFORMATEX& f = source.GetFormat();
  if (f.wFormatTag != h.tag || f.nChannels != h.channels || f.nSamplesPerSec != h.rate ||
      f.nBlockAlign != h.blockAlign || f.wBitsPerSample != h.bits)
    std::abort();
  // Whole blocks of what is present, never more.
  const uint64_t align = std::max<uint16_t>(h.blockAlign, 1);
  if (source.GetSize() > h.dataPresent || h.dataPresent - source.GetSize() >= align) std::abort();
}

void ReadAll(const uint8_t* data, size_t size) {
  CSoundSource source;
  source.OpenMemory(data, size);
  const uint32_t total = source.GetSize();
  if (total == 0 || total > kMaxReadBytes) return;
  if (source.GetKind() == CSoundSource::kOgg) {
    if (source.GetFormat().nBlockAlign != 2 * source.GetFormat().nChannels) std::abort();
  } else {
    CheckRiffAgainstHeader(source, data, size);
  }
  std::vector<uint8_t> buffer(8192);
  uint64_t read = 0;
  source.ResetFile();
  for (;;) {
    uint32_t got = 0;
    if (!source.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got) || got == 0) break;
    read += got;
    if (read > total) std::abort();
  }
}

IDirectSound* Device() {
  static IDirectSound* ds = [] {
    plat::sim::UseVirtualClock();
    IDirectSound* d = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &d, nullptr))) std::abort();
    d->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t{0x10}), DSSCL_PRIORITY);
    return d;
  }();
  return ds;
}

void Stream(const uint8_t* script, size_t scriptSize, const uint8_t* data, size_t size) {
  CMusicStream music;
  music.OpenSource(Device(), std::make_unique<CMemoryByteSource>(data, size));
  if (!music.IsOpen()) return;
  music.Play(scriptSize > 0 ? script[0] & 1 : 1);
  for (size_t i = 1; i < scriptSize; ++i) {
    plat::sim::AdvanceClockMicros(uint64_t{script[i]} * 4000);
    music.Refill();
    if (music.WriteOffset() >= music.Size() || music.LastPlayCursor() >= music.Size()) std::abort();
  }
  music.StopAndRewind();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if ((data[0] & 1) == 0) {
    ReadAll(data + 1, size - 1);
    return 0;
  }
  // Odd: a script of up to 8 cursor steps, then the file.
  const size_t scriptSize = std::min<size_t>(size - 1, 8);
  Stream(data + 1, scriptSize, data + 1 + scriptSize, size - 1 - scriptSize);
  return 0;
}
