// Fuzz target for Ogg Vorbis over memory. The first byte picks the path: even, the
// sound source (format, size, read everything, never more than the size); odd, the
// music stream (container header, open, then refills with the cursor moved by
// amounts the input scripts).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "plat/dsound.h"
#include "plat/sim.h"
#include "sound/CMusicStream.h"
#include "sound/CSoundSource.h"

namespace {

constexpr uint32_t kMaxReadBytes = 64u << 20;

void ReadAll(const uint8_t* data, size_t size) {
  CSoundSource source;
  source.OpenMemory(data, size);
  const uint32_t total = source.GetSize();
  if (total == 0 || total > kMaxReadBytes) return;
  if (source.GetFormat().nBlockAlign != 2 * source.GetFormat().nChannels) std::abort();
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
