// Shared set-up of the sound tests: a scratch sound folder, a fresh sound device
// state, and small readers of what a DirectSound buffer holds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/dsound.h"
#include "plat/sim.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

namespace sound_test {

using testing_support::Bytes;

inline HWND FakeWindow() { return reinterpret_cast<HWND>(uintptr_t{0x10}); }

class SoundTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ResetSound();
    plat::sim::ClearFaults();
  }
  void TearDown() override {
    plat::sim::ResetSound();
    plat::sim::ClearFaults();
  }
  std::string Put(const std::string& name, const Bytes& bytes) {
    dir_.Write(name, testing_support::AsString(bytes));
    return dir_ / name;
  }
  std::string Folder() const { return dir_.path(); }
  // A WAV of `bytes` data bytes (a ramp) in the given format.
  static Bytes Wav(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t bytes, uint8_t seed = 1) {
    testing_support::WavSpec w{.channels = channels, .rate = rate, .bits = bits, .data = Bytes(bytes), .extra = {}};
    for (uint32_t i = 0; i < bytes; ++i) w.data[i] = static_cast<uint8_t>(i * 13 + seed);
    return testing_support::MakeWav(w);
  }
  static Bytes Contents(IDirectSoundBuffer* b, DWORD size) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (!b || FAILED(b->Lock(0, size, &p1, &n1, &p2, &n2, 0))) return {};
    Bytes out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    b->Unlock(p1, n1, p2, n2);
    return out;
  }
  static DWORD Cursor(IDirectSoundBuffer* b) {
    DWORD play = 0;
    return b && SUCCEEDED(b->GetCurrentPosition(&play, nullptr)) ? play : 0xFFFFFFFF;
  }
  testing_support::TempDir dir_;
};

}  // namespace sound_test
