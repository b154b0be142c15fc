// One sound file opened for decoding: recognised by its first four bytes as RIFF/WAVE
// or Ogg Vorbis, it gives its wave format, its PCM size, and its PCM from the start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plat/dsound.h"
#include "sound/ByteSource.h"
#include "sound/OggDecoder.h"
#include "sound/RiffReader.h"

class CSoundSource {
 public:
  enum Kind : int32_t { kNone = 0, kWav = 1, kOgg = 2 };
  static constexpr int32_t kModeRead = 1;

  CSoundSource() = default;
  ~CSoundSource() { Close(); }
  CSoundSource(const CSoundSource&) = delete;
  CSoundSource& operator=(const CSoundSource&) = delete;

  // Success shows as GetSize() != 0.
  void Open(const std::string& path, const WAVEFORMATEX* wanted = nullptr, int32_t mode = kModeRead);
  // The same over bytes the caller keeps alive until Close.
  void OpenMemory(const uint8_t* data, size_t size);

  const WAVEFORMATEX& GetFormat() const { return format_; }
  const std::vector<uint8_t>& GetFormatExtra() const { return formatExtra_; }
  uint32_t GetSize() const { return size_; }
  int32_t GetKind() const { return kind_; }

  // Back to the start of the data; 1 on success.
  int32_t ResetFile();
  // Up to `count` bytes of PCM; 1 on success with `read` set.
  int32_t Read(uint8_t* dest, uint32_t count, uint32_t* read);
  void Close();

 private:
  void Recognise(std::unique_ptr<CByteSource> source);
  void OpenWav(std::unique_ptr<CByteSource> source);
  void OpenOgg(std::unique_ptr<CByteSource> source);
  std::unique_ptr<CByteSource> ReopenOrResource();
  int32_t ReadOgg(uint8_t* dest, uint32_t count, uint32_t* read);

  std::string path_;
  int32_t kind_ = kNone;
  std::unique_ptr<CByteSource> source_;
  CRiffReader riff_;
  COggDecoder ogg_;
  WAVEFORMATEX format_{};
  std::vector<uint8_t> formatExtra_;
  uint32_t size_ = 0;
  // A chained link in another format ends the sound.
  bool linkEnded_ = false;
  // PCM bytes given out since the start: an Ogg stream can decode more than its last
  // granule position promised (a repeated last page), and the size is what was promised.
  uint32_t delivered_ = 0;
};
