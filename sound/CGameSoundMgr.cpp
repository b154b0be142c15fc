// File channels and their reuse rules, and the music channel's operations.
#include "sound/CGameSoundMgr.h"

#include "plat/time.h"

namespace {

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
         a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign &&
         a.wBitsPerSample == b.wBitsPerSample;
}

}  // namespace

CGameSoundMgr::~CGameSoundMgr() { CGameSoundMgr::ReleaseAll(); }

int32_t CGameSoundMgr::FindLocked(const std::string& fileName) {
  for (int32_t i = 0; i < kChannels; ++i)
    if (channels_[i].Buffer() && channels_[i].FileName() == fileName) return i;
  return -1;
}

int32_t CGameSoundMgr::FindChannel(const std::string& fileName) {
  CSoundLockScope scope(lock_);
  return FindLocked(fileName);
}

int32_t CGameSoundMgr::ChooseChannel(int32_t firstFree, const WAVEFORMATEX& format, uint32_t size, uint32_t now,
                                     bool* reuse) {
  *reuse = false;
  if (firstFree >= 0) return firstFree;
  for (int32_t i = kChannels - 1; i >= 0; --i) {
    const CSoundChannel& c = channels_[i];
    if (c.PlayCount() < 2 && SameFormat(c.Format(), format) && c.Size() >= size && c.Size() <= size + kReuseSlack) {
      *reuse = true;
      return i;
    }
  }
  // Signed, so that a line replayed often (a large count) scores low and survives.
  int32_t best = 0;
  int64_t bestScore = INT64_MIN;
  for (int32_t i = 0; i < kChannels; ++i) {
    const CSoundChannel& c = channels_[i];
    const int64_t score = int64_t{now - c.LastPlayTick()} - int64_t{c.PlayCount()} * kReplayWorthMs;
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

int32_t CGameSoundMgr::PlayFile(const std::string& fileName, LONG volume) {
  ComPtr<IDirectSound> ds;
  std::string path;
  {
    CSoundLockScope scope(lock_);
    if (!BothReady() || fileName.empty()) return 0;
    const uint32_t now = timeGetTime();
    const int32_t held = FindLocked(fileName);
    if (held >= 0) {
      CSoundChannel& c = channels_[held];
      c.Play(0, 0);
      if (volume <= 0) c.SetVolume(volume);
      c.Replayed(now);
      return kReplayed;
    }
    ds = ds_;
    path = basePath_ + fileName;
  }
  CSoundSource source;
  source.Open(path);
  const uint32_t size = source.GetSize();
  if (size == 0 || size > kMaxSoundBytes) return 0;

  CSoundLockScope scope(lock_);
  if (!BothReady()) return 0;
  int32_t firstFree = -1;
  for (int32_t i = 0; i < kChannels && firstFree < 0; ++i)
    if (!channels_[i].Buffer()) firstFree = i;
  const uint32_t now = timeGetTime();
  bool reuse = false;
  CSoundChannel& c = channels_[ChooseChannel(firstFree, source.GetFormat(), size, now, &reuse)];
  if (!reuse) {
    c.Stop();
    c.ReleaseBuffer();
    DSBUFFERDESC desc = SoundBufferDesc(kChannelBufferFlags, size, c.Reformat(source.GetFormat()));
    ComPtr<IDirectSoundBuffer> dsb;
    if (FAILED(ds->CreateSoundBuffer(&desc, dsb.ReleaseAndGetAddressOf(), nullptr))) {
      c.Forget();
      return 0;
    }
    c.Attach(dsb.Get(), size);
  }
  c.Load(fileName, now);
  if (c.Fill(source, 0)) {
    c.Play(0, 0);
    if (volume <= 0) c.SetVolume(volume);
  }
  return 1;
}

void CGameSoundMgr::SetChannelsVolume(LONG volume) {
  CSoundLockScope scope(lock_);
  for (CSoundChannel& c : channels_)
    if (c.Buffer()) c.SetVolume(volume);
}

void CGameSoundMgr::StopChannels() {
  CSoundLockScope scope(lock_);
  for (CSoundChannel& c : channels_)
    if (c.IsPlaying()) c.Stop();
}

int32_t CGameSoundMgr::StopFile(const std::string& fileName) {
  CSoundLockScope scope(lock_);
  const int32_t i = FindLocked(fileName);
  return i < 0 ? 0 : channels_[i].Stop();
}

int32_t CGameSoundMgr::SetFileVolume(const std::string& fileName, LONG volume) {
  CSoundLockScope scope(lock_);
  const int32_t i = FindLocked(fileName);
  return i < 0 ? 0 : channels_[i].SetVolume(volume);
}

int32_t CGameSoundMgr::IsFilePlaying(const std::string& fileName) {
  CSoundLockScope scope(lock_);
  const int32_t i = FindLocked(fileName);
  return i < 0 ? 0 : channels_[i].IsPlaying();
}

template <class F>
int32_t CGameSoundMgr::OnMusic(F op) {
  CSoundLockScope scope(lock_);
  if (!BothReady()) return 0;
  return op();
}

int32_t CGameSoundMgr::OpenMusic(const std::string& fileName) {
  return OnMusic([&] {
    music_.Open(ds_.Get(), basePath_ + fileName);
    return music_.IsOpen() ? 1 : 0;
  });
}
int32_t CGameSoundMgr::PlayMusic(int32_t loop) {
  return OnMusic([&] {
    music_.Play(loop);
    return music_.Buffer() ? 1 : 0;
  });
}
int32_t CGameSoundMgr::UpdateMusic() {
  return OnMusic([&] {
    music_.Refill();
    return 1;
  });
}
int32_t CGameSoundMgr::StopMusic() {
  return OnMusic([&] {
    music_.StopAndRewind();
    return 1;
  });
}
int32_t CGameSoundMgr::RewindMusic() {
  return OnMusic([&] { return music_.Rewind(); });
}
int32_t CGameSoundMgr::SetMusicVolume(LONG volume) {
  return OnMusic([&] { return music_.SetVolume(volume); });
}
int32_t CGameSoundMgr::IsMusicPlaying() {
  return OnMusic([&] { return music_.IsPlaying(); });
}

void CGameSoundMgr::ReleaseAll() {
  {
    CSoundLockScope scope(lock_);
    for (CSoundChannel& c : channels_) {
      c.Stop();
      c.ReleaseBuffer();
      c.Forget();
    }
    music_.StopAndRewind();
    music_.Reset();
  }
  CSoundMgr::ReleaseAll();
}
