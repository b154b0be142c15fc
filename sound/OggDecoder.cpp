// libvorbisfile behind callbacks that read, seek and close a CByteSource.
#include "sound/OggDecoder.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kLittleEndian = 0;
constexpr int kWordBytes = 2;
constexpr int kSigned = 1;
constexpr WORD kBitsPerSample = 16;

size_t ReadCallback(void* dest, size_t size, size_t count, void* source) {
  if (size == 0 || count == 0) return 0;
  const size_t want = size * count;
  const auto capped = static_cast<uint32_t>(want > UINT32_MAX ? UINT32_MAX : want);
  return static_cast<CByteSource*>(source)->Read(dest, capped) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
  auto* s = static_cast<CByteSource*>(source);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += s->Tell();
  else if (whence == SEEK_END) target += s->Size();
  else if (whence != SEEK_SET) return -1;
  return s->Seek(target) ? 0 : -1;
}

int CloseCallback(void* source) {
  static_cast<CByteSource*>(source)->Close();
  return 0;
}

long TellCallback(void* source) {  // conventions: allow (the library's callback type)
  return static_cast<CByteSource*>(source)->Tell();
}

static_assert(kOggHole == OV_HOLE);

}  // namespace

COggDecoder::COggDecoder() : vf_(std::make_unique<OggVorbis_File>()) { std::memset(vf_.get(), 0, sizeof(OggVorbis_File)); }

COggDecoder::~COggDecoder() { Clear(); }

bool COggDecoder::Open(CByteSource* source) {
  Clear();
  if (!source) return false;
  const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
  open_ = ov_open_callbacks(source, vf_.get(), nullptr, 0, callbacks) == 0;
  if (!open_) std::memset(vf_.get(), 0, sizeof(OggVorbis_File));
  return open_;
}

void COggDecoder::Clear() {
  if (open_) ov_clear(vf_.get());
  open_ = false;
  std::memset(vf_.get(), 0, sizeof(OggVorbis_File));
}

int32_t COggDecoder::Channels(int32_t link) const {
  const vorbis_info* info = open_ ? ov_info(vf_.get(), link) : nullptr;
  return info ? info->channels : 0;
}

int32_t COggDecoder::Rate(int32_t link) const {
  const vorbis_info* info = open_ ? ov_info(vf_.get(), link) : nullptr;
  return info ? static_cast<int32_t>(info->rate) : 0;
}

WAVEFORMATEX COggDecoder::PcmFormat() const {
  WAVEFORMATEX f{};
  // The stream's comments are of no interest; the first link gives the format.
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(Channels(0));
  f.nSamplesPerSec = static_cast<DWORD>(Rate(0));
  f.wBitsPerSample = kBitsPerSample;
  f.nBlockAlign = static_cast<WORD>(2 * f.nChannels);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  return f;
}

int64_t COggDecoder::TotalSamples() const { return open_ ? ov_pcm_total(vf_.get(), -1) : -1; }

int32_t COggDecoder::Read(uint8_t* dest, int32_t count, int32_t* link) {
  if (!open_) return OV_EINVAL;
  int bitstream = 0;
  const auto got = static_cast<int32_t>(
      ov_read(vf_.get(), reinterpret_cast<char*>(dest), count, kLittleEndian, kWordBytes, kSigned, &bitstream));
  if (link) *link = bitstream;
  return got;
}

bool COggDecoder::SeekToStart() { return open_ && ov_pcm_seek(vf_.get(), 0) == 0; }
bool COggDecoder::TimeSeekToStart() { return open_ && ov_time_seek(vf_.get(), 0.0) == 0; }

uint32_t PcmByteSize(int64_t samples, uint32_t blockAlign) {
  if (samples <= 0 || blockAlign == 0 || samples > int64_t{UINT32_MAX}) return 0;
  const uint64_t bytes = static_cast<uint64_t>(samples) * blockAlign;
  return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}
