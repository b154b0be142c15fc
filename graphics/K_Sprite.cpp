// Sprite sets: reading and writing chunk runs, frame access with the shared empty
// sprite, and the GIF path that draws each decoded frame over the colour key and
// encodes it as a sprite.
#include "graphics/K_Sprite.h"
#include "base/ModuleGlobal.h"

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KKGIF.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_GdiScope.h"
#include "base/PixelFormat.h"

namespace {
constexpr size_t kMaxSetFileBytes = size_t(256) << 20;
}  // namespace

void K_Sprite::Clear() {
  while (!m_frames.empty()) m_frames.pop_back();
  m_delays.clear();
  m_delays.shrink_to_fit();
}

namespace {
ModuleGlobal<KK_LLESprite> g_emptySprite;
}  // namespace

const KK_LLESprite& K_Sprite::EmptySprite() { return g_emptySprite.Get(); }

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
  // Frames are read back as pixels, so the decoder must hand over DIB sections.
  KKGIF::SetDibSectionMode(true);
  // The image is declared before the memory DC so that the DC lets go of it first.
  KK_GdiObject<HBITMAP> image;
  KK_WindowDC screen;
  KK_MemoryDC memory(screen.Get());
  if (!screen || !memory) return 0;
  KKGIF gif;
  if (!gif.LoadMemory(bytes.data(), bytes.size())) return 0;
  const int32_t width = gif.GetWidth(), height = gif.GetHeight();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the encoder is told below
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // The logical size comes from the file: the drawing image obeys the decoder's caps.
  const bool fits = width > 0 && height > 0 && width <= KKGIF::kMaxSide && height <= KKGIF::kMaxSide &&
                    size_t(width) * size_t(height) <= KKGIF::kMaxPixels;
  if (fits) image.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  KK_GdiObject<HBRUSH> key(CreateSolidBrush(kk::kColorKey32));
  if (!image || !bits || !key || !memory.Select(image.Get())) return 0;
  const RECT whole{0, 0, width, height};
  const int32_t pitch = width * 4;
  const int32_t screenFormat = GetPixelFormatCode();
  m_delays.resize(m_frames.size(), 0);  // delay i stays the delay of frame i
  for (int32_t i = 0; i < gif.GetFrameCount(); ++i) {
    if (KK_LLESprite* sprite = AddFrame()) {
      // GDI writes 0 in the fourth byte of 32-bit pixels, both for the key fill and for
      // the frame, so pure magenta in a frame matches the key over all four bytes.
      FillRect(memory.Get(), &whole, key.Get());
      gif.Draw(memory.Get(), 0, 0);
      sprite->EncodeLLESprite(kk::kFormat32, width, -height, pitch, static_cast<const uint8_t*>(bits),
                              kk::kColorKey32);
      if (screenFormat != 0 && screenFormat != kk::kFormat32) sprite->ConvertFormat(screenFormat);
    }
    m_delays.push_back(gif.GetFrameDelay(i));
    gif.Tick(true);
  }
  return 1;
}
