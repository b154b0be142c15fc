// Sprite sets: reading and writing chunk runs, frame access with the shared empty
// sprite, and the GIF path that draws each decoded frame over the colour key and
// encodes it as a sprite.
#include "graphics/K_Sprite.h"

#include "graphics/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KKGIF.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_PixelFormat.h"
#include "graphics/K_Dib.h"

namespace {
constexpr size_t kMaxSetFileBytes = size_t(256) << 20;
}  // namespace

void K_Sprite::Clear() {
  while (!m_frames.empty()) m_frames.pop_back();
  m_delays.clear();
  m_delays.shrink_to_fit();
}

const KK_LLESprite& K_Sprite::EmptySprite() {
  static const KK_LLESprite* empty = new KK_LLESprite;
  return *empty;
}

const KK_LLESprite* K_Sprite::GetFrame(int32_t i) const {
  return i >= 0 && i < GetFrameCount() ? m_frames[size_t(i)].get() : &EmptySprite();
}

KK_LLESprite* K_Sprite::EditFrame(int32_t i) { return i >= 0 && i < GetFrameCount() ? m_frames[size_t(i)].get() : nullptr; }

KK_LLESprite* K_Sprite::AddFrame() {
  m_frames.push_back(std::make_unique<KK_LLESprite>());
  return m_frames.back().get();
}

void K_Sprite::RemoveLast() {
  if (!m_frames.empty()) m_frames.pop_back();
}

void K_Sprite::RemoveAt(int32_t i) {
  if (i >= 0 && i < GetFrameCount()) m_frames.erase(m_frames.begin() + i);
}

int32_t K_Sprite::LoadFromBytes(std::span<const uint8_t> bytes, int32_t convert, size_t* used) {
  Clear();
  size_t at = 0;
  for (;;) {
    auto sprite = std::make_unique<KK_LLESprite>();
    size_t took = 0;
    if (!sprite->LoadFromBytes(bytes.subspan(at), 0, convert, &took)) break;
    at += took;
    m_frames.push_back(std::move(sprite));
  }
  if (used) *used = at;
  return 1;
}

int32_t K_Sprite::LoadSpriteSetFile(const char* fileName, int32_t convert) {
  Clear();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxSetFileBytes, bytes)) return 0;
  return LoadFromBytes(bytes, convert);
}

int32_t K_Sprite::SaveToHandle(KFileHandle& file) const {
  if (m_frames.empty()) return 0;
  for (const auto& frame : m_frames) {
    const std::vector<uint8_t> chunk = frame->SaveToBytes();
    if (chunk.empty() || !file.Write(chunk.data(), int32_t(chunk.size()))) return 0;
  }
  return 1;
}

int32_t K_Sprite::SaveSpriteSetFile(const char* fileName) const {
  if (m_frames.empty()) return 0;
  KFileHandle file;
  if (!file.Open(fileName, KFileHandle::kWrite | KFileHandle::kCreateAlways)) return 0;
  return SaveToHandle(file);
}

int32_t K_Sprite::LoadGifAsSpriteSet(const char* fileName, int32_t append) {
  if (!append) Clear();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, KKGIF::kMaxFileBytes, bytes)) return 0;
  return LoadGifFromBytes(bytes, 1);
}

int32_t K_Sprite::LoadGifFromBytes(std::span<const uint8_t> bytes, int32_t append) {
  if (!append) Clear();
  KKGIF gif;
  if (!gif.LoadMemory(bytes.data(), bytes.size())) return 0;
  K_Dib_Draw image;
  if (!image.Create(gif.GetWidth(), gif.GetHeight(), kk::kFormat32, 1)) return 0;
  const int32_t screen = GetPixelFormatCode();
  m_delays.resize(m_frames.size(), 0);  // delay i stays the delay of frame i
  for (int32_t i = 0; i < gif.GetFrameCount(); ++i) {
    if (KK_LLESprite* sprite = AddFrame()) {
      // The key is written with a zero fourth byte, as the decoder writes its pixels, so
      // that pure magenta in a frame matches the key over all four bytes.
      for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x) StoreU32(image.PixelAddress(x, y), kk::kColorKey32);
      gif.Draw(image, 0, 0);
      sprite->EncodeLLESprite(kk::kFormat32, image.Width(), -image.Height(), image.Pitch(), image.GetBits(),
                              kk::kColorKey32);
      if (screen != 0 && screen != kk::kFormat32) sprite->ConvertFormat(screen);
    }
    m_delays.push_back(gif.GetFrameDelay(i));
    gif.Tick(true);
  }
  return 1;
}
