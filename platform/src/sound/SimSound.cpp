// Test control of the sound output: thin wrappers over the mixer, plus the writer
// that turns a capture into a WAV file.
#include <cstdio>

#include "plat/sim.h"
#include "sound/Mixer.h"

namespace plat::sim {
namespace {

using detail::Mixer;

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

void SetAudioAvailable(bool available) {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.audioAvailable = available;
}

void SetSoundSink(SoundSink sink) {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.SetSink(sink);
}

std::vector<int16_t> CapturedSound() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.Update();
  return m.capture;
}

void ClearCapturedSound() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.Update();
  m.capture.clear();
}

bool WriteCapturedSound(const std::string& nativePath) {
  const std::vector<int16_t> pcm = CapturedSound();
  constexpr uint32_t kChannels = 2, kBytesPerSample = 2;
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * kBytesPerSample);
  std::string out = "RIFF";
  PutLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, kChannels, 2);
  PutLe(out, kMixRate, 4);
  PutLe(out, kMixRate * kChannels * kBytesPerSample, 4);
  PutLe(out, kChannels * kBytesPerSample, 2);
  PutLe(out, 16, 2);
  out += "data";
  PutLe(out, dataBytes, 4);
  for (int16_t s : pcm) PutLe(out, static_cast<uint16_t>(s), 2);
  FILE* f = std::fopen(nativePath.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<SoundEvent> SoundEvents() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.Update();
  return m.Events();
}

void ClearSoundEvents() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.Update();
  m.ClearEvents();
}

void LoseSoundBuffers() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.LoseAll();
}

void SetRestoreFailures(uint32_t count) {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.restoreFailures = count;
}

uint32_t NextSoundBufferSerial() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  return m.nextSerial;
}

uint32_t LiveSoundBuffers() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  return static_cast<uint32_t>(m.Buffers().size());
}

void ResetSound() {
  Mixer& m = Mixer::Instance();
  std::lock_guard lock(m.Mutex());
  m.Reset();
}

}  // namespace plat::sim
