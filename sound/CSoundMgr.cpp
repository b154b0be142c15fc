// The sound table and the device's life. Decoding happens outside the lock: only the
// table and the device pointers are shared.
#include "sound/CSoundMgr.h"

CSoundMgr::~CSoundMgr() { CSoundMgr::ReleaseAll(); }

int32_t CSoundMgr::Init(HWND window, const std::string& basePath) {
  // A second Init starts from nothing rather than leaking the first table.
  ReleaseAll();
  CSoundLockScope scope(lock_);
  basePath_ = basePath;
  if (FAILED(DirectSoundCreate(nullptr, ds_.ReleaseAndGetAddressOf(), nullptr))) return 0;
  if (FAILED(ds_->SetCooperativeLevel(window, DSSCL_PRIORITY))) return 0;
  DSBUFFERDESC desc = SoundBufferDesc(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
  if (FAILED(ds_->CreateSoundBuffer(&desc, primary_.ReleaseAndGetAddressOf(), nullptr))) return 0;
  deviceReady_ = 1;
  playReady_ = 1;
  return 1;
}

int32_t CSoundMgr::LoadSound(const std::string& fileName, int32_t id, DWORD extraFlags) {
  ComPtr<IDirectSound> ds;
  std::string path;
  {
    CSoundLockScope scope(lock_);
    if (deviceReady_ != 1 || !ds_ || fileName.empty()) return 0;
    ds = ds_;
    path = basePath_ + fileName;
  }
  CSoundSource source;
  source.Open(path);
  const uint32_t size = source.GetSize();
  if (size == 0 || size > kMaxSoundBytes) return 0;
  WAVEFORMATEX format = source.GetFormat();
  format.cbSize = 0;
  DSBUFFERDESC desc = SoundBufferDesc(extraFlags | kEffectBufferFlags, size, &format);
  ComPtr<IDirectSoundBuffer> dsb;
  if (FAILED(ds->CreateSoundBuffer(&desc, dsb.ReleaseAndGetAddressOf(), nullptr))) return 0;
  auto buffer = std::make_unique<CSoundBuffer>();
  buffer->Attach(dsb.Get(), size);
  buffer->Fill(source, 0);
  source.Close();
  CSoundLockScope scope(lock_);
  // The replaced entry's buffer goes with it.
  table_[id] = std::move(buffer);
  return 1;
}

CSoundBuffer* CSoundMgr::Find(int32_t id) {
  auto it = table_.find(id);
  return it == table_.end() ? nullptr : it->second.get();
}

CSoundBuffer* CSoundMgr::GetSound(int32_t id) {
  CSoundLockScope scope(lock_);
  return Find(id);
}

int32_t CSoundMgr::Play(int32_t id, int32_t loop, int32_t resume, DWORD extraFlags) {
  CSoundLockScope scope(lock_);
  if (!BothReady()) return 0;
  CSoundBuffer* b = Find(id);
  return b ? b->Play(resume, (loop ? DSBPLAY_LOOPING : 0) | extraFlags) : 0;
}

int32_t CSoundMgr::PlayWithPan(int32_t id, LONG volume, LONG pan) {
  CSoundLockScope scope(lock_);
  if (!BothReady()) return 0;
  CSoundBuffer* b = Find(id);
  if (!b) return 0;
  if (volume <= 0) b->SetVolume(volume);
  b->SetPan(pan);
  return b->Play(0, 0);
}

int32_t CSoundMgr::Stop(int32_t id) {
  return OnBuffer(id, 0, [](CSoundBuffer& b) { return b.Stop(); });
}
int32_t CSoundMgr::SetVolume(int32_t id, LONG volume) {
  return OnBuffer(id, 0, [volume](CSoundBuffer& b) { return b.SetVolume(volume); });
}
LONG CSoundMgr::GetVolume(int32_t id) {
  return OnBuffer(id, LONG{1}, [](CSoundBuffer& b) { return b.GetVolume(); });
}
int32_t CSoundMgr::Rewind(int32_t id) {
  return OnBuffer(id, 0, [](CSoundBuffer& b) { return b.Rewind(); });
}
int32_t CSoundMgr::IsPlaying(int32_t id) {
  return OnBuffer(id, 0, [](CSoundBuffer& b) { return b.IsPlaying(); });
}
int32_t CSoundMgr::IsLooping(int32_t id) {
  return OnBuffer(id, 0, [](CSoundBuffer& b) { return b.IsLooping(); });
}
int32_t CSoundMgr::IsLost(int32_t id) {
  return OnBuffer(id, 0, [](CSoundBuffer& b) { return b.IsLost(); });
}

void CSoundMgr::SetEffectsVolume(LONG volume) {
  CSoundLockScope scope(lock_);
  if (deviceReady_ != 1) return;
  for (auto& [id, b] : table_) b->SetVolume(volume);
}

void CSoundMgr::StopAll() {
  CSoundLockScope scope(lock_);
  if (deviceReady_ != 1) return;
  for (auto& [id, b] : table_) b->Stop();
}

void CSoundMgr::SetBasePath(const std::string& path) {
  CSoundLockScope scope(lock_);
  basePath_ = path;
}

void CSoundMgr::SetPlayEnabled(int32_t flag) {
  CSoundLockScope scope(lock_);
  playReady_ = deviceReady_ > 0 ? flag : 0;
}

int32_t CSoundMgr::IsPlayEnabled() {
  CSoundLockScope scope(lock_);
  return playReady_;
}

void CSoundMgr::ReleaseTable() {
  for (auto& [id, b] : table_) b->Stop();
  table_.clear();
}

void CSoundMgr::ReleaseAll() {
  CSoundLockScope scope(lock_);
  ReleaseTable();
  primary_ = nullptr;
  ds_ = nullptr;
}
