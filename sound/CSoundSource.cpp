// Sound sources: WAV through the RIFF reader (with the program's resources as the
// fallback for a file that cannot be opened twice), Ogg Vorbis through the decoder.
#include "sound/CSoundSource.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kOggPiece = 1024;
// Holes are reported once each; a stream that reports nothing else is broken.
constexpr int32_t kMaxHolesInARow = 64;

bool HasSignature(const uint8_t* b, const char (&sig)[5]) { return std::memcmp(b, sig, 4) == 0; }

}  // namespace

void CSoundSource::Open(const std::string& path, const WAVEFORMATEX*, int32_t) {
  Close();
  auto file = std::make_unique<CFileByteSource>();
  if (!file->Open(path)) return;
  path_ = path;
  Recognise(std::move(file));
}

void CSoundSource::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  Recognise(std::make_unique<CMemoryByteSource>(data, size));
}

void CSoundSource::Recognise(std::unique_ptr<CByteSource> source) {
  uint8_t sig[4] = {};
  if (source->Read(sig, 4) != 4) return;
  if (HasSignature(sig, "RIFF")) {
    // The WAV reader opens the file anew, as the multimedia reader would.
    if (!path_.empty()) {
      source->Close();
      source = ReopenOrResource();
      if (!source) return;
    }
    OpenWav(std::move(source));
  } else if (HasSignature(sig, "OggS")) {
    OpenOgg(std::move(source));
  }
}

std::unique_ptr<CByteSource> CSoundSource::ReopenOrResource() {
  auto file = std::make_unique<CFileByteSource>();
  if (file->Open(path_)) return file;
  for (const char* type : {"WAVE", "WAV"}) {
    HRSRC res = FindResourceA(nullptr, path_.c_str(), type);
    if (!res) continue;
    HGLOBAL loaded = LoadResource(nullptr, res);
    const DWORD size = SizeofResource(nullptr, res);
    const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes || size == 0) return nullptr;
    return std::make_unique<CMemoryByteSource>(std::vector<uint8_t>(bytes, bytes + size));
  }
  return nullptr;
}

void CSoundSource::OpenWav(std::unique_ptr<CByteSource> source) {
  kind_ = kWav;
  source_ = std::move(source);
  if (!riff_.Open(source_.get())) return;
  format_ = riff_.Format();
  formatExtra_ = riff_.FormatExtra();
  size_ = riff_.DataSize();
}

void CSoundSource::OpenOgg(std::unique_ptr<CByteSource> source) {
  kind_ = kOgg;
  if (!source->Seek(0) || !ogg_.Open(source.get())) {
    source->Close();  // the decoder never took it: closed here, once
    return;
  }
  source_ = std::move(source);
  format_ = ogg_.PcmFormat();
  size_ = PcmByteSize(ogg_.TotalSamples(), format_.nBlockAlign);
}

int32_t CSoundSource::ResetFile() {
  linkEnded_ = false;
  delivered_ = 0;
  if (kind_ == kWav) return riff_.Rewind() ? 1 : 0;
  if (kind_ == kOgg) return ogg_.TimeSeekToStart() ? 1 : 0;
  return 0;
}

int32_t CSoundSource::Read(uint8_t* dest, uint32_t count, uint32_t* read) {
  if (!dest || !read) return 0;
  *read = 0;
  if (kind_ == kWav) {
    if (!source_) return 0;
    *read = riff_.Read(dest, count);
    return 1;
  }
  if (kind_ == kOgg) return ReadOgg(dest, count, read);
  return 0;
}

int32_t CSoundSource::ReadOgg(uint8_t* dest, uint32_t count, uint32_t* read) {
  if (!ogg_.IsOpen()) return 0;
  uint8_t scratch[kOggPiece];
  uint32_t done = 0;
  int32_t holes = 0;
  count = std::min(count, size_ - std::min(size_, delivered_));
  while (done < count && !linkEnded_) {
    const auto piece = static_cast<int32_t>(std::min(kOggPiece, count - done));
    int32_t link = 0;
    const int32_t got = ogg_.Read(scratch, piece, &link);
    if (got == kOggHole && ++holes < kMaxHolesInARow) continue;
    if (got <= 0) break;
    holes = 0;
    if (ogg_.Channels(link) != format_.nChannels || static_cast<DWORD>(ogg_.Rate(link)) != format_.nSamplesPerSec) {
      linkEnded_ = true;
      break;
    }
    std::memcpy(dest + done, scratch, static_cast<uint32_t>(got));
    done += static_cast<uint32_t>(got);
  }
  delivered_ += done;
  *read = done;
  return 1;
}

void CSoundSource::Close() {
  ogg_.Clear();
  if (source_) source_->Close();
  source_.reset();
  riff_ = CRiffReader();
  kind_ = kNone;
  format_ = {};
  formatExtra_.clear();
  size_ = 0;
  path_.clear();
  linkEnded_ = false;
  delivered_ = 0;
}
