// One secondary DirectSound buffer with the game's play, volume and fill rules, and
// the file channel that remembers which sound it holds.
#pragma once

#include <cstdint>
#include <string>

#include "plat/dsound.h"
#include "sound/CSoundSource.h"

// A buffer description of the system's own size with every field it is not given
// cleared (the system's has more fields than the module sets).
inline DSBUFFERDESC SoundBufferDesc(DWORD flags, DWORD bytes, LPWAVEFORMATEX format) {
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof(DSBUFFERDESC);
  desc.dwFlags = flags;
  desc.dwBufferBytes = bytes;
  desc.lpwfxFormat = format;
  return desc;
}

class CSoundBuffer {
 public:
  CSoundBuffer() = default;
  virtual ~CSoundBuffer() = default;
  CSoundBuffer(const CSoundBuffer&) = delete;
  CSoundBuffer& operator=(const CSoundBuffer&) = delete;

  // Takes a new reference to the buffer.
  void Attach(IDirectSoundBuffer* buffer, DWORD size);
  void ReleaseBuffer();
  IDirectSoundBuffer* Buffer() const { return buffer_.Get(); }
  DWORD Size() const { return size_; }

  // Each gives 0 without a buffer or when DirectSound refuses, else 1.
  int32_t Play(int32_t resume, DWORD flags);
  int32_t Stop();
  int32_t Rewind();
  int32_t SetVolume(LONG volume);
  int32_t SetPan(LONG pan);
  // The volume; 1 without a buffer or when the call fails.
  LONG GetVolume();
  int32_t IsPlaying();
  int32_t IsLooping();
  int32_t IsLost();
  // 1 when the buffer was lost and has been restored (tried at most kRestoreTries
  // times, 10 ms apart); 0 when it was not lost, or stayed lost.
  int32_t RestoreIfLost(int32_t* restored);
  // The whole sound of the source from its start; the rest of the buffer is silence,
  // or, with `repeat`, the sound again.
  int32_t Fill(CSoundSource& source, int32_t repeat);

  static constexpr int32_t kRestoreTries = 50;
  static constexpr DWORD kRestoreWaitMs = 10;

 protected:
  int32_t loop_ = 0;

 private:
  DWORD Status(bool* ok);

  ComPtr<IDirectSoundBuffer> buffer_;
  DWORD size_ = 0;
};

// Silence of a format: 0x80 bytes for 8-bit sound, zero bytes otherwise.
uint8_t SilenceByte(const WAVEFORMATEX& format);

// A buffer with the bookkeeping the sound manager's reuse rules read: which file it
// holds, in which format, and how often and when it was last played.
class CSoundChannel : public CSoundBuffer {
 public:
  const WAVEFORMATEX& Format() const { return format_; }
  const std::string& FileName() const { return fileName_; }
  uint32_t PlayCount() const { return playCount_; }
  uint32_t LastPlayTick() const { return lastPlayTick_; }

  // Before a new buffer is made for `format`: no plays counted, and no extra format
  // bytes, since the buffer holds plain PCM. The description the buffer is made from.
  WAVEFORMATEX* Reformat(const WAVEFORMATEX& format) {
    playCount_ = 0;
    format_ = format;
    format_.cbSize = 0;
    return &format_;
  }
  // The file now loaded into the buffer, not yet replayed.
  void Load(const std::string& fileName, uint32_t now) {
    fileName_ = fileName;
    lastPlayTick_ = now;
    reserved_ = 0;
    playCount_ = 0;
  }
  void Replayed(uint32_t now) {
    ++playCount_;
    lastPlayTick_ = now;
  }
  // The buffer no longer holds a file a later play could find.
  void Forget() { fileName_.clear(); }

 protected:
  WAVEFORMATEX format_{};

 private:
  uint32_t reserved_ = 0;
  std::string fileName_;
  uint32_t playCount_ = 0;
  uint32_t lastPlayTick_ = 0;
};
