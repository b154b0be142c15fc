// IDirectSoundBuffer over the mixer: every call takes the mixer's lock and brings the
// mixer up to the current time before it changes what is heard.
#include "sound/SoundBuffer.h"

#include <algorithm>
#include <cstring>

#include "core/ComObject.h"
#include "core/Faults.h"

namespace plat::detail {
namespace {

class SoundBuffer final : public ComObject<IDirectSoundBuffer, IID_IDirectSoundBuffer> {
 public:
  explicit SoundBuffer(BufferState* state) : s_(state) {}
  ~SoundBuffer() override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    m.Update();
    m.Remove(s_);
  }

  HRESULT STDMETHODCALLTYPE GetCurrentPosition(DWORD* play, DWORD* write) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (s_->primary) return DSERR_INVALIDCALL;
    m.Update();
    if (play) *play = m.PlayCursor(*s_);
    if (write) *write = m.WriteCursor(*s_);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, DWORD* written) override {
    if (!format && !written) return DSERR_INVALIDPARAM;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    const DWORD size = sizeof(WAVEFORMATEX);
    if (format) std::memcpy(format, &s_->format, std::min(size, sizeAllocated));
    if (written) *written = format ? std::min(size, sizeAllocated) : size;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetVolume(LONG* volume) override {
    if (!volume) return DSERR_INVALIDPARAM;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!(s_->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = s_->volume;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetPan(LONG* pan) override {
    if (!pan) return DSERR_INVALIDPARAM;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!(s_->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = s_->pan;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetStatus(DWORD* status) override {
    if (!status) return DSERR_INVALIDPARAM;
    if (ShouldFail("IDirectSoundBuffer::GetStatus")) return DSERR_GENERIC;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    m.Update();
    *status = (s_->playing ? DSBSTATUS_PLAYING : 0) | (s_->playing && s_->looping ? DSBSTATUS_LOOPING : 0) |
              (s_->lost ? DSBSTATUS_BUFFERLOST : 0);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, DWORD* bytes1, LPVOID* region2,
                                 DWORD* bytes2, DWORD flags) override {
    if (!region1 || !bytes1) return DSERR_INVALIDPARAM;
    if (ShouldFail("IDirectSoundBuffer::Lock")) return DSERR_INVALIDCALL;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (s_->primary) return DSERR_PRIOLEVELNEEDED;
    if (s_->lost) return DSERR_BUFFERLOST;
    m.Update();
    const DWORD size = s_->Size();
    if (flags & DSBLOCK_ENTIREBUFFER) {
      offset = 0;
      bytes = size;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
      offset = m.WriteCursor(*s_);
    }
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    const DWORD second = bytes - first;
    if (second > 0 && (!region2 || !bytes2)) return DSERR_INVALIDPARAM;
    *region1 = s_->data.data() + offset;
    *bytes1 = first;
    if (region2) *region2 = second > 0 ? s_->data.data() : nullptr;
    if (bytes2) *bytes2 = second;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Play(DWORD reserved1, DWORD priority, DWORD flags) override {
    if (reserved1 != 0 || priority != 0) return DSERR_INVALIDPARAM;
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (s_->lost) return DSERR_BUFFERLOST;
    if (s_->primary) return DS_OK;
    m.Update();
    m.Start(*s_, (flags & DSBPLAY_LOOPING) != 0);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (s_->primary) return DSERR_INVALIDCALL;
    if (position >= s_->Size()) return DSERR_INVALIDPARAM;
    m.Update();
    m.SetPosition(*s_, position);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetFormat(const WAVEFORMATEX* format) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!s_->primary) return DSERR_INVALIDCALL;
    const auto level = m.levels.find(s_->device);
    if (level == m.levels.end() || level->second < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!format) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(*format)) return DSERR_BADFORMAT;
    // What the primary reports; the layer mixes at its own rate whatever it is, as a
    // kernel mixer does.
    s_->format = *format;
    s_->format.cbSize = 0;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!(s_->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    m.Update();
    s_->volume = volume;
    m.Log(s_->serial, SoundEventKind::Volume, m.Now());
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!(s_->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    m.Update();
    s_->pan = pan;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Stop() override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    m.Update();
    m.Halt(*s_, SoundEventKind::Stop, m.Now());
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2) override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (s_->primary) return DSERR_INVALIDCALL;
    const uint8_t* begin = s_->data.data();
    const uint8_t* end = begin + s_->data.size();
    auto inside = [&](LPVOID p, DWORD n) {
      const auto* q = static_cast<const uint8_t*>(p);
      return q >= begin && q <= end && n <= static_cast<size_t>(end - q);
    };
    if (!region1 || !inside(region1, bytes1)) return DSERR_INVALIDPARAM;
    if (region2 && !inside(region2, bytes2)) return DSERR_INVALIDPARAM;
    m.Update();
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Restore() override {
    Mixer& m = Mixer::Instance();
    std::lock_guard lock(m.Mutex());
    if (!s_->lost) return DS_OK;
    if (m.writePrimary && m.writePrimary != s_->device) return DSERR_BUFFERLOST;
    if (m.restoreFailures > 0) {
      --m.restoreFailures;
      return DSERR_BUFFERLOST;
    }
    std::fill(s_->data.begin(), s_->data.end(), uint8_t{0});
    s_->lost = false;
    m.Log(s_->serial, SoundEventKind::Restore, m.Now());
    return DS_OK;
  }

 private:
  BufferState* s_;
};

}  // namespace

IDirectSoundBuffer* NewSoundBuffer(BufferState state) {
  return new SoundBuffer(Mixer::Instance().Add(std::move(state)));
}

}  // namespace plat::detail
