// Ogg Vorbis decoding over a byte source, through libvorbisfile's callback
// interface: seeks stay relative to the source's base (the music container's
// header is never seen) and the source may be memory.
#pragma once

#include <cstdint>
#include <memory>

#include "plat/dsound.h"
#include "sound/ByteSource.h"

struct OggVorbis_File;

// Read's answer for a gap in the data (libvorbisfile's OV_HOLE); reading goes on after it.
constexpr int32_t kOggHole = -3;

class COggDecoder {
 public:
  COggDecoder();
  ~COggDecoder();
  COggDecoder(const COggDecoder&) = delete;
  COggDecoder& operator=(const COggDecoder&) = delete;

  // After a successful open the decoder owns the closing: Clear closes the source
  // (once, through the close callback). After a failed open the source is untouched
  // and the caller closes it.
  bool Open(CByteSource* source);
  bool IsOpen() const { return open_; }
  void Clear();

  // 16-bit PCM of the first link: block align 2 x channels.
  WAVEFORMATEX PcmFormat() const;
  // Channels and rate of a link (-1: the current one); 0 when unknown.
  int32_t Channels(int32_t link) const;
  int32_t Rate(int32_t link) const;
  // Samples of the whole stream, all links; <= 0 when unknown.
  int64_t TotalSamples() const;

  // Little-endian signed 16-bit PCM. Returns bytes (0 at the end) or a negative error;
  // `link` receives the logical stream the bytes came from.
  int32_t Read(uint8_t* dest, int32_t count, int32_t* link);
  bool SeekToStart();
  bool TimeSeekToStart();

 private:
  std::unique_ptr<OggVorbis_File> vf_;
  bool open_ = false;
};

// Data size of a decoded stream: samples x block align, 0 when unknown or when it
// does not fit 32 bits.
uint32_t PcmByteSize(int64_t samples, uint32_t blockAlign);
