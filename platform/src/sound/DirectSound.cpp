// IDirectSound and DirectSoundCreate: the one default device, which checks buffer
// descriptions and formats before the mixer gets a buffer.
#include <atomic>
#include <new>

#include "core/ComObject.h"
#include "core/Faults.h"
#include "kernel/Clock.h"
#include "plat/dsound.h"
#include "sound/Mixer.h"
#include "sound/SoundBuffer.h"

namespace plat::detail {
namespace {

constexpr WORD kOutputChannels = 2;
constexpr WORD kOutputBits = 16;

WAVEFORMATEX OutputFormat() {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = kOutputChannels;
  f.nSamplesPerSec = sim::kMixRate;
  f.nBlockAlign = kOutputChannels * kOutputBits / 8;
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  f.wBitsPerSample = kOutputBits;
  return f;
}

}  // namespace

bool IsPlayableFormat(const WAVEFORMATEX& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
         f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
         f.nAvgBytesPerSec == f.nBlockAlign * f.nSamplesPerSec;
}

namespace {

class SoundDevice final : public ComObject<IDirectSound, IID_IDirectSound> {
 public:
  HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                              LPUNKNOWN outer) override {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!desc || desc->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
    if (outer) return DSERR_NOAGGREGATION;
    if (level_.load() == 0) return DSERR_PRIOLEVELNEEDED;
    if (ShouldFail("CreateSoundBuffer")) return DSERR_OUTOFMEMORY;

    BufferState state;
    state.device = this;
    state.flags = desc->dwFlags;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
      state.primary = true;
      state.format = OutputFormat();
    } else {
      if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
      if (!IsPlayableFormat(*desc->lpwfxFormat)) return DSERR_BADFORMAT;
      state.format = *desc->lpwfxFormat;
      state.format.cbSize = 0;
      const DWORD bytes = desc->dwBufferBytes;
      if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes % state.format.nBlockAlign != 0)
        return DSERR_INVALIDPARAM;
      try {
        state.data.assign(bytes, state.Silence());
      } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
      }
    }
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    *buffer = NewSoundBuffer(std::move(state));
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override {
    if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    if (ShouldFail("SetCooperativeLevel")) return DSERR_ALLOCATED;
    level_.store(level);
    // The write-primary level takes the output for this device alone: every other
    // device's buffers lose their memory until it is given up.
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    m.levels[this] = level;
    if (level == DSSCL_WRITEPRIMARY) {
      m.writePrimary = this;
      m.LoseAll(this);
    } else if (m.writePrimary == this) {
      m.writePrimary = nullptr;
    }
    return DS_OK;
  }

  ~SoundDevice() override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (m.writePrimary == this) m.writePrimary = nullptr;
    m.levels.erase(this);
  }

 private:
  std::atomic<DWORD> level_{0};
};

}  // namespace
}  // namespace plat::detail

HRESULT WINAPI DirectSoundCreate(const GUID* device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  using namespace plat::detail;
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (device) return DSERR_NODRIVER;
  if (outer) return DSERR_NOAGGREGATION;
  Mixer& m = Mixer::Instance();
  {
    std::lock_guard lock(m.Mutex());
    if (!m.audioAvailable) return DSERR_NODRIVER;
    if (!IsVirtual()) m.StartRealTimeThread();
  }
  if (ShouldFail("DirectSoundCreate")) return DSERR_NODRIVER;
  *directSound = new SoundDevice;
  return DS_OK;
}
