// DirectSound of the layer: the device, the primary buffer and static or streaming
// secondary buffers, played by a software mixer whose cursors follow the layer clock.
// The wave format declarations live here too, since only sound uses them.
#pragma once

#include "plat/com.h"
#include "plat/types.h"

// ---- Wave formats ----------------------------------------------------------------

constexpr WORD WAVE_FORMAT_PCM = 1;

// 18 bytes, as stored in a "fmt " chunk; a non-PCM format is followed by cbSize
// extra bytes in the same allocation.
#pragma pack(push, 2)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

// ---- Results -----------------------------------------------------------------------

constexpr HRESULT DS_OK = S_OK;
constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000Au);
constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001Eu);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046u);
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
constexpr HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AAu);

// ---- Flags and limits --------------------------------------------------------------

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_STICKYFOCUS = 0x00004000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;

constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;

// dwSize must be sizeof(DSBUFFERDESC). A primary buffer has no size and no format.
struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
};
using LPDSBUFFERDESC = DSBUFFERDESC*;
using LPCDSBUFFERDESC = const DSBUFFERDESC*;

// ---- Interfaces --------------------------------------------------------------------

inline constexpr IID IID_IDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// Every buffer call may come from any thread; the layer serialises them.
struct IDirectSoundBuffer : IUnknown {
  // Play cursor and write cursor (10 ms ahead of play, block-aligned, modulo the size).
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
  // Copies at most `sizeAllocated` bytes of the format; `written` gets the full size.
  virtual HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, DWORD* written) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVolume(LONG* volume) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPan(LONG* pan) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatus(DWORD* status) = 0;
  // Two regions when the locked range crosses the end of the buffer.
  virtual HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, DWORD* bytes1,
                                         LPVOID* region2, DWORD* bytes2, DWORD flags) = 0;
  // `reserved1` and `priority` must be 0.
  virtual HRESULT STDMETHODCALLTYPE Play(DWORD reserved1, DWORD priority, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD newPosition) = 0;
  // The primary buffer's format, at DSSCL_PRIORITY or above; a secondary buffer's is
  // fixed when it is made.
  virtual HRESULT STDMETHODCALLTYPE SetFormat(const WAVEFORMATEX* format) = 0;
  // Hundredths of a decibel, DSBVOLUME_MIN..DSBVOLUME_MAX; needs DSBCAPS_CTRLVOLUME.
  virtual HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) = 0;
  // DSBPAN_LEFT..DSBPAN_RIGHT; the other side is attenuated; needs DSBCAPS_CTRLPAN.
  virtual HRESULT STDMETHODCALLTYPE SetPan(LONG pan) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2) = 0;
  // Gives back a lost buffer's memory (its contents are zeroes afterwards).
  virtual HRESULT STDMETHODCALLTYPE Restore() = 0;

 protected:
  ~IDirectSoundBuffer() = default;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

struct IDirectSound : IUnknown {
  // The outer unknown must be null.
  virtual HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                                      LPUNKNOWN outer) = 0;
  // Needed before any buffer is made.
  virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) = 0;

 protected:
  ~IDirectSound() = default;
};
using LPDIRECTSOUND = IDirectSound*;

// Only the default device exists: `device` must be null, `outer` null.
HRESULT WINAPI DirectSoundCreate(const GUID* device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
