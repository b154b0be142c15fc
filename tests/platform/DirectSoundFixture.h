#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plat/dsound.h"
#include "plat/sim.h"

namespace sound_test {

inline WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * rate;
  return f;
}

// Any non-null window will do: the device only keeps it.
inline HWND FakeWindow() { return reinterpret_cast<HWND>(uintptr_t{0x10}); }

class DirectSoundTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::ResetSound();
    plat::sim::ClearFaults();
    ASSERT_EQ(DirectSoundCreate(nullptr, ds_.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  }
  void TearDown() override {
    buffers_.clear();
    ds_ = nullptr;
    plat::sim::ResetSound();
    plat::sim::ClearFaults();
  }
  IDirectSoundBuffer* Make(const WAVEFORMATEX& format, DWORD bytes, DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN) {
    WAVEFORMATEX f = format;
    DSBUFFERDESC d{sizeof(DSBUFFERDESC), flags, bytes, 0, &f};
    ComPtr<IDirectSoundBuffer> b;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr), DS_OK);
    buffers_.push_back(b);
    return b.Get();
  }
  IDirectSoundBuffer* MakeFilled(const WAVEFORMATEX& format, const std::vector<uint8_t>& bytes,
                                 DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN) {
    IDirectSoundBuffer* b = Make(format, static_cast<DWORD>(bytes.size()), flags);
    if (!b) return nullptr;
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    EXPECT_EQ(b->Lock(0, static_cast<DWORD>(bytes.size()), &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memcpy(p1, bytes.data(), n1);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    return b;
  }
  HRESULT TryCreate(DSBUFFERDESC d) {
    ComPtr<IDirectSoundBuffer> b;
    return ds_->CreateSoundBuffer(&d, b.ReleaseAndGetAddressOf(), nullptr);
  }
  static DWORD Status(IDirectSoundBuffer* b) {
    DWORD s = 0xDEAD;
    EXPECT_EQ(b->GetStatus(&s), DS_OK);
    return s;
  }
  static DWORD Cursor(IDirectSoundBuffer* b) {
    DWORD play = 0, write = 0;
    EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
    return play;
  }
  static uint64_t NowMs() { return plat::sim::NowMicros() / 1000; }
  ComPtr<IDirectSound> ds_;
  std::vector<ComPtr<IDirectSoundBuffer>> buffers_;
};

}  // namespace sound_test
