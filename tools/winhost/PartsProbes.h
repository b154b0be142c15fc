// What the parts host asks of the system itself, beside the module: a sound buffer of
// its own that shows when the device's buffers are lost, a tone of its own, surfaces of
// its own, and a data file sealed through the system's CryptoAPI.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <dsound.h>

#include <cstdint>
#include <string>
#include <vector>

namespace winhost {

class SoundLossProbe {
 public:
  struct Loss {
    HRESULT made = E_FAIL;        // the probe buffer's creation
    HRESULT taken = E_FAIL;       // the write-primary level set by a second DirectSound object
    bool lostWhileTaken = false;  // the probe's status while the device was taken
    HRESULT lockWhileTaken = E_FAIL;
    HRESULT givenBack = E_FAIL;   // the normal level set again by the second object
    HRESULT restoreAfter = E_FAIL;
    bool lostAfter = true;        // the probe's status once it was let go and restored
    std::string Describe() const;
  };

  SoundLossProbe() = default;
  SoundLossProbe(const SoundLossProbe&) = delete;
  SoundLossProbe& operator=(const SoundLossProbe&) = delete;

  // Takes the default device for the primary buffer alone through `window`, looks at
  // the probe, lets the device go and restores the probe.
  Loss TakeAndGive(HWND window);
};

// A short tone of the host's own through DirectSound, a moment the recording shows
// beside the module's sounds; it plays until the object goes.
class HostTone {
 public:
  HostTone() = default;
  ~HostTone();
  HostTone(const HostTone&) = delete;
  HostTone& operator=(const HostTone&) = delete;
  // False when the device or the buffer could not be had or the tone did not start.
  bool Play(HWND window);
  // The tone's samples (16-bit, one channel, kRate), and as a WAV file.
  static constexpr uint32_t kRate = 22050;
  static std::vector<int16_t> Samples();
  static bool WriteWav(const std::string& path);

 private:
  IDirectSound* sound_ = nullptr;
  IDirectSoundBuffer* buffer_ = nullptr;
};

// Surfaces of the host's own made as the module makes its pictures' (system-memory
// off-screen surfaces of an IDirectDraw4, filled with one colour), to see what the
// system does to them: one whose DirectDraw object lives on, one whose object was
// released after the surface was made; and a primary surface, as the module's screen has.
class SurfaceLossProbe {
 public:
  explicit SurfaceLossProbe(HWND window);
  ~SurfaceLossProbe();
  SurfaceLossProbe(const SurfaceLossProbe&) = delete;
  SurfaceLossProbe& operator=(const SurfaceLossProbe&) = delete;
  // "lost" or "not lost" for each, and whether its pixels still hold the fill (after a
  // Restore when it was lost); the first call also blits the first onto a new object's
  // surface, before and after its own object is released.
  std::string State();
  // Whether the primary surface of the host's own object, made with the probe, was
  // lost: a rebuild of the module's screen is then due.
  bool PrimaryLost() const;

 private:
  IDirectDraw4* dd_ = nullptr;
  IDirectDraw4* primaryDd_ = nullptr;
  IDirectDrawSurface4* primary_ = nullptr;
  IDirectDrawSurface4* kept_ = nullptr;
  IDirectDrawSurface4* orphan_ = nullptr;
};

// The 8 pass bytes, then `plain` sealed with RC4 under the key CryptDeriveKey makes
// from the MD5 of the pass up to its first zero byte; empty when a call failed.
std::string SealWithCryptoApi(const std::string& passField, const std::string& plain);

}  // namespace winhost
