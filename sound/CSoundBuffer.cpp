// The game's buffer operations over IDirectSoundBuffer.
#include "sound/CSoundBuffer.h"

#include <cstring>

#include "plat/time.h"

uint8_t SilenceByte(const WAVEFORMATEX& format) { return format.wBitsPerSample == 8 ? 0x80 : 0x00; }

void CSoundBuffer::Attach(IDirectSoundBuffer* buffer, DWORD size) {
  buffer_ = ComPtr<IDirectSoundBuffer>(buffer);
  size_ = buffer ? size : 0;
}

void CSoundBuffer::ReleaseBuffer() {
  buffer_ = nullptr;
  size_ = 0;
}

DWORD CSoundBuffer::Status(bool* ok) {
  DWORD status = 0;
  *ok = buffer_ && SUCCEEDED(buffer_->GetStatus(&status));
  return *ok ? status : 0;
}

int32_t CSoundBuffer::RestoreIfLost(int32_t* restored) {
  if (restored) *restored = 0;
  bool ok = false;
  if (!(Status(&ok) & DSBSTATUS_BUFFERLOST)) return 0;
  for (int32_t i = 0; i < kRestoreTries; ++i) {
    if (buffer_->Restore() != DSERR_BUFFERLOST) {
      if (restored) *restored = 1;
      return 1;
    }
    Sleep(kRestoreWaitMs);
  }
  return 0;
}

int32_t CSoundBuffer::Play(int32_t resume, DWORD flags) {
  if (!buffer_) return 0;
  RestoreIfLost(nullptr);
  if (!resume) {
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
  }
  return SUCCEEDED(buffer_->Play(0, 0, flags)) ? 1 : 0;
}

int32_t CSoundBuffer::Stop() { return buffer_ && SUCCEEDED(buffer_->Stop()) ? 1 : 0; }
int32_t CSoundBuffer::Rewind() { return buffer_ && SUCCEEDED(buffer_->SetCurrentPosition(0)) ? 1 : 0; }
int32_t CSoundBuffer::SetVolume(LONG volume) { return buffer_ && SUCCEEDED(buffer_->SetVolume(volume)) ? 1 : 0; }
int32_t CSoundBuffer::SetPan(LONG pan) { return buffer_ && SUCCEEDED(buffer_->SetPan(pan)) ? 1 : 0; }

LONG CSoundBuffer::GetVolume() {
  LONG volume = 0;
  return buffer_ && SUCCEEDED(buffer_->GetVolume(&volume)) ? volume : 1;
}

int32_t CSoundBuffer::IsPlaying() {
  bool ok = false;
  return (Status(&ok) & DSBSTATUS_PLAYING) ? 1 : 0;
}
int32_t CSoundBuffer::IsLooping() {
  bool ok = false;
  return (Status(&ok) & DSBSTATUS_LOOPING) ? 1 : 0;
}
int32_t CSoundBuffer::IsLost() {
  bool ok = false;
  return (Status(&ok) & DSBSTATUS_BUFFERLOST) ? 1 : 0;
}

int32_t CSoundBuffer::Fill(CSoundSource& source, int32_t repeat) {
  if (!buffer_) return 0;
  RestoreIfLost(nullptr);
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(buffer_->Lock(0, size_, &p1, &n1, &p2, &n2, 0))) return 0;
  auto* dest = static_cast<uint8_t*>(p1);
  const uint8_t silence = SilenceByte(source.GetFormat());
  uint32_t got = 0;
  int32_t result = 1;
  if (!source.ResetFile() || !source.Read(dest, n1, &got)) {
    result = 0;
  } else {
    uint32_t filled = got;
    // A sound that reads as nothing on the way round would loop for ever: the rest
    // is silence instead.
    while (repeat && filled > 0 && filled < n1) {
      uint32_t again = 0;
      if (!source.ResetFile() || !source.Read(dest + filled, n1 - filled, &again) || again == 0) break;
      filled += again;
    }
    if (filled < n1) std::memset(dest + filled, silence, n1 - filled);
  }
  buffer_->Unlock(p1, n1, p2, n2);
  return result;
}
