// Sound files made at test time: Ogg Vorbis streams from libvorbisenc (tones or
// seeded noise, chained links, the "psn" music container) and WAV files with the
// awkward cases readers must survive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

struct OggSpec {
  int32_t channels = 2;
  int32_t rate = 44100;
  int64_t samples = 44100;  // per channel
  bool noise = false;       // seeded noise instead of a sine
  double hz = 440.0;
  uint32_t seed = 1;
  float quality = 0.3f;     // libvorbisenc VBR quality, -0.1 .. 1.0
};

// One logical stream.
Bytes EncodeOgg(const OggSpec& options);
// Links one after the other, each with its own serial number.
Bytes EncodeOggChain(const std::vector<OggSpec>& links);
// The music container: a 28-byte header whose masked offset puts the stream at
// 28 + `offset`; the gap is filled with 0xEE.
Bytes WrapPsn(const Bytes& ogg, uint32_t offset);
constexpr uint32_t kPsnMask = 0x3E71A5C9;

struct WavSpec {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  Bytes data;
  Bytes extra;                       // non-PCM: written after the extra size
  std::string form = "WAVE";
  int32_t fmtSize = -1;              // -1: what the format needs; else written and cut to it
  bool listBeforeFmt = false;        // a "LIST" chunk of odd size (with its pad) first
  bool oddChunkBeforeData = false;   // an unknown chunk of odd size between fmt and data
  uint32_t truncateBy = 0;           // bytes cut off the end of the file
};
Bytes MakeWav(const WavSpec& options);

// Signed 16-bit little-endian samples as bytes.
Bytes Pcm16Bytes(const std::vector<int16_t>& samples);

inline std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

}  // namespace testing_support
