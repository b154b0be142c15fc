// The streamed music channel: an Ogg Vorbis stream (plain, or inside the "psn"
// container) decoded into a 4-second looping buffer that Refill keeps ahead of the
// play cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sound/ByteSource.h"
#include "sound/CSoundBuffer.h"
#include "sound/OggDecoder.h"

class CMusicStream : public CSoundChannel {
 public:
  ~CMusicStream() override { Reset(); }

  // Leaves one second decoded ahead, not playing; on any failure the stream is reset.
  void Open(IDirectSound* ds, const std::string& path);
  // The same over any byte source (the stream takes it).
  void OpenSource(IDirectSound* ds, std::unique_ptr<CByteSource> source);
  void Play(int32_t loop);
  void Refill();
  void StopAndRewind();
  void Reset();

  bool IsOpen() const { return decoder_.IsOpen(); }
  uint32_t TotalBytes() const { return total_; }
  uint32_t PlayedBytes() const { return played_; }
  uint32_t LastPlayCursor() const { return lastCursor_; }
  uint32_t WriteOffset() const { return writeOffset_; }
  uint32_t DecodedBytes() const { return decoded_; }
  bool EndOfStream() const { return endOfStream_; }

  static constexpr uint32_t kHeaderBytes = 28;
  static constexpr uint32_t kOffsetMask = 0x3E71A5C9;
  static constexpr uint32_t kBufferSeconds = 4;
  static constexpr uint32_t kMinRefill = 129;

 private:
  // Decodes into `dest` until it is full, the pass ends or the decoder fails; 1 when
  // anything was read.
  int32_t Decode(uint8_t* dest, uint32_t count, uint32_t* read);
  // Fills a locked part with decoded sound; false when it was not filled completely.
  bool DecodeInto(void* part, DWORD bytes);

  std::string secondName_;
  std::unique_ptr<CByteSource> source_;
  COggDecoder decoder_;
  uint32_t total_ = 0;
  uint32_t played_ = 0;
  uint32_t lastCursor_ = 0;
  uint32_t writeOffset_ = 0;
  uint32_t decoded_ = 0;
  uint32_t ahead_ = 0;  // written and not yet played
  bool endOfStream_ = false;
};
