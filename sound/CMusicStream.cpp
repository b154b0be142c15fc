// Music streaming: the container header, the refill arithmetic around the play
// cursor, and the rewind at the end of each pass.
#include "sound/CMusicStream.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"

namespace {

constexpr uint32_t kMaskedOffsetAt = 16;
constexpr DWORD kStreamBufferFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;

}  // namespace

void CMusicStream::Reset() {
  decoder_.Clear();
  if (source_) source_->Close();
  source_.reset();
  ReleaseBuffer();
  total_ = played_ = lastCursor_ = writeOffset_ = decoded_ = ahead_ = 0;
  endOfStream_ = false;
  loop_ = 0;
}

void CMusicStream::Open(IDirectSound* ds, const std::string& path) {
  auto file = std::make_unique<CFileByteSource>();
  if (!file->Open(path)) {
    Reset();
    return;
  }
  OpenSource(ds, std::move(file));
}

void CMusicStream::OpenSource(IDirectSound* ds, std::unique_ptr<CByteSource> source) {
  Reset();
  if (!ds || !source) return;
  source_ = std::move(source);
  uint8_t header[kHeaderBytes] = {};
  const uint32_t got = source_->Read(header, kHeaderBytes);
  int64_t start = -1;
  if (got == kHeaderBytes && std::memcmp(header, "psn\0", 4) == 0) {
    start = int64_t{kHeaderBytes} + (LoadU32(header + kMaskedOffsetAt) ^ kOffsetMask);
  } else if (got >= 4 && std::memcmp(header, "OggS", 4) == 0) {
    start = 0;
  }
  // An offset beyond the file is refused with the rest.
  if (start < 0 || !source_->SetBase(start) || !decoder_.Open(source_.get())) {
    Reset();
    return;
  }
  format_ = decoder_.PcmFormat();
  total_ = PcmByteSize(decoder_.TotalSamples(), format_.nBlockAlign);
  if (total_ == 0) {
    Reset();
    return;
  }
  const DWORD bytes = kBufferSeconds * format_.nAvgBytesPerSec;
  DSBUFFERDESC desc = SoundBufferDesc(kStreamBufferFlags, bytes, &format_);
  ComPtr<IDirectSoundBuffer> buffer;
  if (FAILED(ds->CreateSoundBuffer(&desc, buffer.ReleaseAndGetAddressOf(), nullptr))) {
    Reset();
    return;
  }
  Attach(buffer.Get(), bytes);
  loop_ = 1;
  Refill();
}

void CMusicStream::Play(int32_t loop) {
  if (!Buffer()) return;
  if (IsPlaying()) StopAndRewind();
  loop_ = loop;
  Buffer()->Play(0, 0, DSBPLAY_LOOPING);
}

void CMusicStream::StopAndRewind() {
  if (Buffer()) {
    Buffer()->Stop();
    Buffer()->SetCurrentPosition(0);
  }
  played_ = lastCursor_ = writeOffset_ = decoded_ = ahead_ = 0;
  endOfStream_ = false;
  decoder_.SeekToStart();
  Refill();
}

int32_t CMusicStream::Decode(uint8_t* dest, uint32_t count, uint32_t* read) {
  *read = 0;
  if (endOfStream_) return 0;
  while (*read < count) {
    int32_t link = 0;
    const auto want = static_cast<int32_t>(std::min<uint32_t>(count - *read, INT32_MAX));
    const int32_t got = decoder_.Read(dest + *read, want, &link);
    if (got < 0) break;
    if (got == 0 || link != 0) {
      // The end of the data, or of the first logical stream, ends the pass.
      endOfStream_ = true;
      break;
    }
    *read += static_cast<uint32_t>(got);
    decoded_ += static_cast<uint32_t>(got);
    if (decoded_ >= total_) {
      endOfStream_ = true;
      break;
    }
  }
  return *read > 0 ? 1 : 0;
}

bool CMusicStream::DecodeInto(void* part, DWORD bytes) {
  uint32_t got = 0;
  Decode(static_cast<uint8_t*>(part), bytes, &got);
  writeOffset_ += got;
  return got == bytes;
}

void CMusicStream::Refill() {
  IDirectSoundBuffer* b = Buffer();
  if (!b || !decoder_.IsOpen()) return;
  DWORD cursor = 0;
  if (FAILED(b->GetCurrentPosition(&cursor, nullptr))) return;
  const uint32_t size = Size();
  const uint32_t advance = cursor >= lastCursor_ ? cursor - lastCursor_ : size - lastCursor_ + cursor;
  played_ += advance;
  if (played_ >= total_) {
    if (!loop_) {
      StopAndRewind();
      return;
    }
    played_ -= total_;
  }
  lastCursor_ = cursor;
  ahead_ = advance >= ahead_ ? 0 : ahead_ - advance;
  // A write offset on the cursor means an empty buffer, or a full one: only what is
  // queued ahead tells them apart (a full one must not be written over).
  const uint32_t free = writeOffset_ < cursor    ? cursor - writeOffset_
                        : writeOffset_ > cursor ? size - writeOffset_ + cursor
                        : ahead_ > 0            ? 0
                                                : size;
  if (free < kMinRefill) return;

  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  const uint32_t start = writeOffset_;
  if (FAILED(b->Lock(writeOffset_, std::min(size / 4, free), &p1, &n1, &p2, &n2, 0))) return;
  if (endOfStream_) {
    const uint8_t silence = SilenceByte(format_);
    std::memset(p1, silence, n1);
    if (p2) std::memset(p2, silence, n2);
    writeOffset_ += n1 + n2;
  } else if (DecodeInto(p1, n1) && p2 && n2 > 0) {
    DecodeInto(p2, n2);
  }
  if (endOfStream_ && loop_) {
    decoder_.SeekToStart();
    decoded_ = 0;
    endOfStream_ = false;
  }
  b->Unlock(p1, n1, p2, n2);
  ahead_ += writeOffset_ - start;
  writeOffset_ %= size;
}
