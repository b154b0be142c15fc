// The effect manager: the DirectSound device and primary buffer, and the sound table
// of short effects decoded once and addressed by id. One lock covers the table, so
// the loader may fill it while the window thread changes volumes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "plat/dsound.h"
#include "sound/CSoundBuffer.h"
#include "sound/SoundLock.h"

class CSoundMgr {
 public:
  CSoundMgr() = default;
  virtual ~CSoundMgr();
  CSoundMgr(const CSoundMgr&) = delete;
  CSoundMgr& operator=(const CSoundMgr&) = delete;

  int32_t Init(HWND window, const std::string& basePath);
  int32_t LoadSound(const std::string& fileName, int32_t id, DWORD extraFlags);
  int32_t Play(int32_t id, int32_t loop, int32_t resume, DWORD extraFlags);
  int32_t PlayWithPan(int32_t id, LONG volume, LONG pan);
  int32_t Stop(int32_t id);
  int32_t SetVolume(int32_t id, LONG volume);
  LONG GetVolume(int32_t id);
  int32_t Rewind(int32_t id);
  int32_t IsPlaying(int32_t id);
  int32_t IsLooping(int32_t id);
  int32_t IsLost(int32_t id);
  // Null when the id is not in the table (looking does not add it).
  CSoundBuffer* GetSound(int32_t id);
  void SetEffectsVolume(LONG volume);
  void StopAll();
  void SetBasePath(const std::string& path);
  void SetPlayEnabled(int32_t flag);
  int32_t IsPlayEnabled();
  virtual void ReleaseAll();

  int32_t IsDeviceReady() const { return deviceReady_; }
  // The device's primary buffer, whose format is the output's (null before Init).
  IDirectSoundBuffer* Primary() const { return primary_.Get(); }

  // Sizes a sound may have in the table.
  static constexpr uint32_t kMaxSoundBytes = 64u << 20;
  static constexpr DWORD kEffectBufferFlags =
      DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_LOCSOFTWARE | DSBCAPS_STATIC;

 protected:
  // Call with the lock held.
  bool BothReady() const { return deviceReady_ == 1 && playReady_ == 1 && ds_; }
  CSoundBuffer* Find(int32_t id);
  // A by-id operation that needs the device-ready flag; `failure` when it cannot run.
  template <class R, class F>
  R OnBuffer(int32_t id, R failure, F op) {
    CSoundLockScope scope(lock_);
    if (deviceReady_ != 1) return failure;
    CSoundBuffer* b = Find(id);
    return b ? op(*b) : failure;
  }
  void ReleaseTable();

  CSoundLock lock_;
  ComPtr<IDirectSound> ds_;
  ComPtr<IDirectSoundBuffer> primary_;
  std::map<int32_t, std::unique_ptr<CSoundBuffer>> table_;
  std::string basePath_;
  int32_t deviceReady_ = 0;
  int32_t playReady_ = 0;
};
