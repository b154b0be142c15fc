#include "tools/winhost/PartsProbes.h"

#include <ddraw.h>
#include <dsound.h>
#include <wincrypt.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace winhost {

namespace {

bool IsLost(IDirectSoundBuffer* buffer) {
  DWORD status = 0;
  return buffer && SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST) != 0;
}

const char* Name(HRESULT hr) {
  switch (hr) {
    case DS_OK: return "DS_OK";
    case DSERR_BUFFERLOST: return "DSERR_BUFFERLOST";
    case DSERR_PRIOLEVELNEEDED: return "DSERR_PRIOLEVELNEEDED";
    case DSERR_INVALIDCALL: return "DSERR_INVALIDCALL";
    case DSERR_ALLOCATED: return "DSERR_ALLOCATED";
    default: return "another error";
  }
}

}  // namespace

std::string SoundLossProbe::Loss::Describe() const {
  char s[400];
  std::snprintf(s, sizeof s,
                "probe buffer %s; write-primary level %s; probe %s while taken (Lock %s); normal level again %s; "
                "Restore after %s, probe %s",
                Name(made), Name(taken), lostWhileTaken ? "lost" : "not lost", Name(lockWhileTaken), Name(givenBack),
                Name(restoreAfter), lostAfter ? "still lost" : "not lost");
  return s;
}

SoundLossProbe::Loss SoundLossProbe::TakeAndGive(HWND window) {
  Loss loss;
  IDirectSound* mine = nullptr;
  IDirectSoundBuffer* probe = nullptr;
  if (FAILED(DirectSoundCreate(nullptr, &mine, nullptr))) return loss;
  mine->SetCooperativeLevel(window, DSSCL_NORMAL);
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = 44100;
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
  desc.dwBufferBytes = 4410;
  desc.lpwfxFormat = &format;
  loss.made = mine->CreateSoundBuffer(&desc, &probe, nullptr);
  IDirectSound* taker = nullptr;
  if (SUCCEEDED(DirectSoundCreate(nullptr, &taker, nullptr))) {
    loss.taken = taker->SetCooperativeLevel(window, DSSCL_WRITEPRIMARY);
    loss.lostWhileTaken = IsLost(probe);
    if (probe) {
      void* a = nullptr;
      void* b = nullptr;
      DWORD an = 0, bn = 0;
      loss.lockWhileTaken = probe->Lock(0, 64, &a, &an, &b, &bn, 0);
      if (SUCCEEDED(loss.lockWhileTaken)) probe->Unlock(a, an, b, bn);
    }
    // Given back as a program leaving that level does, before it lets go.
    loss.givenBack = taker->SetCooperativeLevel(window, DSSCL_NORMAL);
    taker->Release();
  }
  if (probe) {
    loss.restoreAfter = probe->Restore();
    loss.lostAfter = IsLost(probe);
    probe->Release();
  }
  mine->Release();
  return loss;
}

HostTone::~HostTone() {
  if (buffer_) buffer_->Release();
  if (sound_) sound_->Release();
}

std::vector<int16_t> HostTone::Samples() {
  // 80 ms of a 1 kHz sine at half the full scale, from its zero: an onset as sharp as an
  // effect's, and a pitch far from every effect's.
  constexpr DWORD kSamples = kRate * 80 / 1000;
  std::vector<int16_t> out(kSamples);
  for (DWORD i = 0; i < kSamples; ++i) out[i] = int16_t(std::lround(16000.0 * std::sin(2 * std::numbers::pi * 1000.0 * i / kRate)));
  return out;
}

bool HostTone::WriteWav(const std::string& path) {
  const std::vector<int16_t> samples = Samples();
  const uint32_t data = uint32_t(samples.size() * 2);
  std::string bytes = "RIFF";
  auto put = [&bytes](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(char(v >> (8 * i)));
  };
  put(36 + data, 4);
  bytes += "WAVEfmt ";
  put(16, 4), put(WAVE_FORMAT_PCM, 2), put(1, 2), put(kRate, 4), put(kRate * 2, 4), put(2, 2), put(16, 2);
  bytes += "data";
  put(data, 4);
  for (int16_t v : samples) put(uint16_t(v), 2);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool HostTone::Play(HWND window) {
  if (FAILED(DirectSoundCreate(nullptr, &sound_, nullptr)) || FAILED(sound_->SetCooperativeLevel(window, DSSCL_NORMAL)))
    return false;
  const std::vector<int16_t> tone = Samples();
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kRate * 2;
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GLOBALFOCUS;
  desc.dwBufferBytes = DWORD(tone.size() * 2);
  desc.lpwfxFormat = &format;
  if (FAILED(sound_->CreateSoundBuffer(&desc, &buffer_, nullptr))) return false;
  void* a = nullptr;
  void* b = nullptr;
  DWORD an = 0, bn = 0;
  if (FAILED(buffer_->Lock(0, desc.dwBufferBytes, &a, &an, &b, &bn, 0))) return false;
  std::memcpy(a, tone.data(), std::min<size_t>(an, tone.size() * 2));
  buffer_->Unlock(a, an, b, bn);
  return SUCCEEDED(buffer_->Play(0, 0, 0));
}

namespace {

constexpr uint32_t kProbeFill = 0x00336699;

IDirectDraw4* MakeDirectDraw4(HWND window) {
  IDirectDraw* dd = nullptr;
  IDirectDraw4* dd4 = nullptr;
  if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr))) return nullptr;
  if (FAILED(dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd4)))) dd4 = nullptr;
  dd->Release();
  if (dd4 && FAILED(dd4->SetCooperativeLevel(window, DDSCL_NORMAL))) {
    dd4->Release();
    dd4 = nullptr;
  }
  return dd4;
}

IDirectDrawSurface4* MakeFilled(IDirectDraw4* dd) {
  if (!dd) return nullptr;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = 16;
  desc.dwHeight = 16;
  IDirectDrawSurface4* surface = nullptr;
  if (FAILED(dd->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = kProbeFill;
  surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  return surface;
}

// "lost, restored: fill kept" and the like.
std::string Look(IDirectDrawSurface4* surface) {
  if (!surface) return "no surface";
  std::string out = surface->IsLost() == DDERR_SURFACELOST ? "lost" : "not lost";
  if (out == "lost") out += SUCCEEDED(surface->Restore()) ? ", restored" : ", Restore failed";
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
  if (FAILED(locked)) return out + ", Lock failed";
  const bool kept = (*static_cast<const uint32_t*>(desc.lpSurface) & 0xFFFFFFu) == (kProbeFill & 0xFFFFFFu) ||
                    desc.ddpfPixelFormat.dwRGBBitCount != 32;
  surface->Unlock(nullptr);
  return out + (kept ? ", fill kept" : ", fill gone");
}

}  // namespace

SurfaceLossProbe::SurfaceLossProbe(HWND window) {
  dd_ = MakeDirectDraw4(window);
  kept_ = MakeFilled(dd_);
  IDirectDraw4* gone = MakeDirectDraw4(window);
  orphan_ = MakeFilled(gone);
  if (gone) gone->Release();
  primaryDd_ = MakeDirectDraw4(window);
  if (primaryDd_) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(primaryDd_->CreateSurface(&desc, &primary_, nullptr))) primary_ = nullptr;
  }
}

bool SurfaceLossProbe::PrimaryLost() const { return primary_ && primary_->IsLost() == DDERR_SURFACELOST; }

SurfaceLossProbe::~SurfaceLossProbe() {
  if (primary_) primary_->Release();
  if (primaryDd_) primaryDd_->Release();
  if (orphan_) orphan_->Release();
  if (kept_) kept_->Release();
  if (dd_) dd_->Release();
}

namespace {

// A blit of `source` onto a surface of a new DirectDraw object: its result code.
std::string BlitOntoNewObject(IDirectDrawSurface4* source) {
  IDirectDraw4* fresh = MakeDirectDraw4(GetDesktopWindow());
  IDirectDrawSurface4* target = MakeFilled(fresh);
  std::string out = "no target";
  if (target) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X",
                  static_cast<unsigned>(target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr)));
    out = code;
    target->Release();
  }
  if (fresh) fresh->Release();
  return out;
}

}  // namespace

std::string SurfaceLossProbe::State() {
  std::string out = std::string("a primary: ") + (primary_ ? (PrimaryLost() ? "lost" : "not lost") : "none") +
                    "; its object's: " + Look(kept_) + "; a released object's: " + Look(orphan_);
  // A rebuild's way: the pictures' object stays or goes, a new one is made, and the
  // old surfaces are blitted onto the new object's surface.
  if (dd_ && kept_) {
    out += "; blitted onto a new object's surface: " + BlitOntoNewObject(kept_) + " while its object lives, ";
    dd_->Release();
    dd_ = nullptr;
    out += BlitOntoNewObject(kept_) + " once it was released";
  }
  return out;
}

std::string SealWithCryptoApi(const std::string& passField, const std::string& plain) {
  if (passField.size() != 8) return {};
  const size_t passLength = strnlen(passField.data(), passField.size());
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  std::string out;
  std::vector<BYTE> body(plain.begin(), plain.end());
  DWORD length = DWORD(body.size());
  if (CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
      CryptHashData(hash, reinterpret_cast<const BYTE*>(passField.data()), DWORD(passLength), 0) &&
      CryptDeriveKey(provider, CALG_RC4, hash, 0, &key) &&
      CryptEncrypt(key, 0, TRUE, 0, body.data(), &length, DWORD(body.size())))
    out = passField + std::string(body.begin(), body.begin() + length);
  if (key) CryptDestroyKey(key);
  if (hash) CryptDestroyHash(hash);
  if (provider) CryptReleaseContext(provider, 0);
  return out;
}

}  // namespace winhost
