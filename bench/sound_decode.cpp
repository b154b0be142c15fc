// Sound speed as ratios to real time: Ogg Vorbis decoding through the sound source
// (30 s of q5 44.1 kHz stereo from memory), and the mixer rendering 20 voices.
// The counters report audio seconds per second of work.
#include <benchmark/benchmark.h>

#include <vector>

#include "plat/dsound.h"
#include "plat/sim.h"
#include "sound/CSoundSource.h"
#include "support/SoundFixtures.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int64_t kSeconds = 30;

const testing_support::Bytes& Music() {
  static const auto* bytes = new testing_support::Bytes([] {
    testing_support::OggSpec o;
    o.samples = kRate * kSeconds;
    o.noise = true;  // the hardest signal to decode
    o.quality = 0.5f;
    return testing_support::EncodeOgg(o);
  }());
  return *bytes;
}

void BM_DecodeOgg(benchmark::State& state) {
  const auto& ogg = Music();
  std::vector<uint8_t> pcm(1 << 16);
  for (auto _ : state) {
    CSoundSource source;
    source.OpenMemory(ogg.data(), ogg.size());
    source.ResetFile();
    uint32_t got = 0;
    do {
      source.Read(pcm.data(), static_cast<uint32_t>(pcm.size()), &got);
    } while (got > 0);
  }
  state.counters["x_real_time"] =
      benchmark::Counter(static_cast<double>(kSeconds) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeOgg)->Unit(benchmark::kMillisecond);

void BM_Mix20Voices(benchmark::State& state) {
  plat::sim::UseVirtualClock();
  plat::sim::ResetSound();
  IDirectSound* ds = nullptr;
  DirectSoundCreate(nullptr, &ds, nullptr);
  ds->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t{0x10}), DSSCL_PRIORITY);
  std::vector<IDirectSoundBuffer*> voices;
  for (int i = 0; i < 20; ++i) {
    // Mixed rates and sizes, as effects and voice lines are.
    WAVEFORMATEX f{WAVE_FORMAT_PCM, static_cast<WORD>(1 + i % 2), i % 3 == 0 ? 44100u : 22050u, 0, 0, 16, 0};
    f.nBlockAlign = static_cast<WORD>(2 * f.nChannels);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    DSBUFFERDESC d{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN, f.nAvgBytesPerSec, 0, &f};
    IDirectSoundBuffer* b = nullptr;
    ds->CreateSoundBuffer(&d, &b, nullptr);
    b->SetVolume(-600);
    b->Play(0, 0, DSBPLAY_LOOPING);
    voices.push_back(b);
  }
  plat::sim::SetSoundSink(plat::sim::SoundSink::Capture);
  constexpr uint32_t kStepMs = 100;
  for (auto _ : state) {
    plat::sim::AdvanceClock(kStepMs);
    plat::sim::ClearCapturedSound();
  }
  state.counters["x_real_time"] =
      benchmark::Counter(kStepMs / 1000.0 * state.iterations(), benchmark::Counter::kIsRate);
  for (IDirectSoundBuffer* b : voices) b->Release();
  ds->Release();
  plat::sim::ResetSound();
}
BENCHMARK(BM_Mix20Voices)->Unit(benchmark::kMillisecond);

}  // namespace
