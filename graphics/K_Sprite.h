// Sprite sets: an ordered list of run-length sprites with optional per-frame delays.
// A .psp file is nothing but sprite chunks one after another; a GIF file becomes a set
// through the library's own GIF decoder, with its delays in hundredths of a second.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphics/KK_LLESprite.h"

class KFileHandle;

class K_Sprite {
 public:
  K_Sprite() = default;
  virtual ~K_Sprite() { Clear(); }
  K_Sprite(const K_Sprite&) = delete;
  K_Sprite& operator=(const K_Sprite&) = delete;
  // Deletes the frames, last first, and the delays.
  virtual void Clear();

  // 0 only when the file cannot be opened; a damaged chunk ends the set.
  int32_t LoadSpriteSetFile(const char* fileName, int32_t convert);
  // Reads chunks from the front of `bytes` until the first that does not check out;
  // `used` receives the bytes taken. Always 1.
  int32_t LoadFromBytes(std::span<const uint8_t> bytes, int32_t convert, size_t* used = nullptr);
  // 1 when the GIF could be read and decoded.
  int32_t LoadGifAsSpriteSet(const char* fileName, int32_t append);
  int32_t LoadGifFromBytes(std::span<const uint8_t> bytes, int32_t append);

  // Every frame as a chunk on the file, in order; 0 for an empty set or a failed write
  // (what was written stays).
  int32_t SaveToHandle(KFileHandle& file) const;
  // 0 for an empty set, without creating the file.
  int32_t SaveSpriteSetFile(const char* fileName) const;

  KK_LLESprite* AddFrame();
  void RemoveLast();
  void RemoveAt(int32_t i);

  // Frame i, or the shared empty sprite when i is out of range; never null.
  const KK_LLESprite* GetFrame(int32_t i) const;
  // Frame i to change, or null out of range.
  KK_LLESprite* EditFrame(int32_t i);
  int32_t GetFrameCount() const { return int32_t(m_frames.size()); }
  int32_t GetDelay(int32_t i) const { return i >= 0 && size_t(i) < m_delays.size() ? m_delays[size_t(i)] : 0; }
  const std::vector<int32_t>& Delays() const { return m_delays; }
  // The sprite every out-of-range look-up gives: made once, kept for the program's life.
  static const KK_LLESprite& EmptySprite();

 private:
  std::vector<std::unique_ptr<KK_LLESprite>> m_frames;
  std::vector<int32_t> m_delays;
};
