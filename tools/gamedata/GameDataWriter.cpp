#include "tools/gamedata/GameDataWriter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>

#include "base/PixelFormat.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib_Image.h"
#include "plat/files.h"
#include "plat/handle.h"
#include "plat/sim_files.h"
#include "support/CursorFileWriters.h"
#include "support/GifWriter.h"
#include "support/SoundFixtures.h"
#include "support/SpriteFileWriters.h"
#include "tools/gamedata/GameDataArt.h"

namespace game_data {
namespace game_data_writer {

namespace ts = testing_support;
using Bytes = std::vector<uint8_t>;

// The Windows folders the files are written under; the layer maps them to the options'.
constexpr const char* kDataRoot = "C:\\GameData\\";
constexpr const char* kPortalRoot = "C:\\GamePortal\\";
constexpr uint16_t kFrameTicks = 10;  // tens of milliseconds: 100 ms a frame
constexpr uint32_t kPsnOffset = 16;
constexpr double kAmplitude = 8000.0;
constexpr int32_t kMillisPerSecond = 1000;
constexpr unsigned kMaxWorkers = 4;

// Rows bottom-up, as a painting program saves a bitmap: the system's LoadImage (which
// the message box loads its frame with) reads a top-down file as black under Wine.
Bytes BottomUp(Bytes bmp) {
  constexpr size_t kHeight = 22, kBits = 28, kOffset = 10;
  if (bmp.size() < 54) return bmp;
  auto read32 = [&](size_t at) {
    return uint32_t(bmp[at]) | uint32_t(bmp[at + 1]) << 8 | uint32_t(bmp[at + 2]) << 16 | uint32_t(bmp[at + 3]) << 24;
  };
  const int32_t height = int32_t(read32(kHeight));
  if (height >= 0) return bmp;
  const size_t rows = size_t(-int64_t(height));
  const size_t stride = (size_t(read32(18)) * (uint32_t(bmp[kBits]) | uint32_t(bmp[kBits + 1]) << 8) + 31) / 32 * 4;
  const size_t offset = read32(kOffset);
  if (offset + rows * stride > bmp.size()) return bmp;
  for (size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(bmp.begin() + std::ptrdiff_t(offset + top * stride),
                     bmp.begin() + std::ptrdiff_t(offset + (top + 1) * stride),
                     bmp.begin() + std::ptrdiff_t(offset + bottom * stride));
  const uint32_t up = uint32_t(int32_t(rows));
  for (size_t i = 0; i < 4; ++i) bmp[kHeight + i] = uint8_t(up >> (8 * i));
  return bmp;
}

// Every byte value, 0 to 255, and a CR LF between the headers and the pixels, where
// the pixel offset says the pixels start: a reader that opens the file as text (a 0x1A
// ends it, a CR LF becomes one byte) loses or shifts the pixels and fails, as it would
// on the pictures a painting program saves.
Bytes WithEveryByteValue(Bytes bmp) {
  constexpr size_t kFileSize = 2, kOffset = 10, kValues = 256;
  // A CR LF pair as a text file ends its lines (the values run LF before CR), and two
  // more to keep the pixels' offset a multiple of four.
  constexpr uint8_t kLineEnd[] = {'\r', '\n', 0x1A, 0};
  if (bmp.size() < 54) return bmp;
  auto read32 = [&](size_t at) {
    return uint32_t(bmp[at]) | uint32_t(bmp[at + 1]) << 8 | uint32_t(bmp[at + 2]) << 16 | uint32_t(bmp[at + 3]) << 24;
  };
  auto write32 = [&](size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) bmp[at + i] = uint8_t(v >> (8 * i));
  };
  const uint32_t offset = read32(kOffset);
  if (offset > bmp.size()) return bmp;
  Bytes values(kValues);
  for (size_t i = 0; i < kValues; ++i) values[i] = uint8_t(i);
  values.insert(values.end(), std::begin(kLineEnd), std::end(kLineEnd));
  bmp.insert(bmp.begin() + std::ptrdiff_t(offset), values.begin(), values.end());
  write32(kOffset, offset + uint32_t(values.size()));
  write32(kFileSize, read32(kFileSize) + uint32_t(values.size()));
  return bmp;
}

Bytes Bmp(const std::vector<Picture>& cells, bool sideBySide) {
  const int32_t w = cells[0].width, h = cells[0].height;
  const int32_t n = int32_t(cells.size());
  K_Dib_Image image;
  image.Create(sideBySide ? w * n : w, sideBySide ? h : h * n, kk::kFormat24);
  for (int32_t c = 0; c < n; ++c)
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t v = cells[size_t(c)].At(x, y);
        uint8_t* p = sideBySide ? image.PixelAddress(c * w + x, y) : image.PixelAddress(x, c * h + y);
        p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16);
      }
  return WithEveryByteValue(BottomUp(image.SaveBMPToBytes()));
}

Bytes Chunk(const Picture& p) {
  return kk::EncodeSpriteChunk(kk::kFormat32, p.width, p.height, p.width * 4,
                               reinterpret_cast<const uint8_t*>(p.px.data()), kKeyColour, 0, 0);
}

Bytes Chunks(const std::vector<Picture>& frames) {
  std::vector<Bytes> chunks;
  for (const Picture& p : frames) chunks.push_back(Chunk(p));
  return ts::PspFile(chunks);
}

// Each member walks right by two pixels a frame over its own sprites.
Bytes Animation(const ManifestEntry& e, const std::vector<Picture>& sprites) {
  constexpr int16_t kStep = 2;
  std::vector<ts::QlaAnimation> members;
  for (int32_t s = 0; s < e.count; ++s) {
    ts::QlaAnimation a;
    a.name = e.names.empty() ? e.label + std::to_string(s) : e.names[size_t(s)];
    for (int32_t f = 0; f < e.frames; ++f) {
      ts::QlaFrame frame;
      frame.duration = kFrameTicks;
      frame.parts.push_back({.sprite = uint16_t(s * e.frames + f), .x = int16_t(f * kStep), .y = 0});
      a.frames.push_back(frame);
    }
    members.push_back(a);
  }
  const Bytes chunks = Chunks(sprites);
  return e.count == 1 ? ts::QlaFile(members[0], chunks) : ts::QlaSetFile(members, chunks);
}

// Frames as palette pictures; index 0 is the transparent key.
Bytes Gif(const ManifestEntry& e, const std::vector<Picture>& frames) {
  ts::GifDesc gif;
  gif.width = uint16_t(e.width), gif.height = uint16_t(e.height);
  gif.globalTable = {kKeyColour};
  for (const Picture& p : frames) {
    ts::GifFrameDesc f;
    f.width = gif.width, f.height = gif.height;
    f.control = true, f.transparent = true, f.transparentIndex = 0, f.disposal = 2;
    f.delay = kFrameTicks * 3;
    for (uint32_t v : p.px) {
      size_t i = 0;
      while (i < gif.globalTable.size() && gif.globalTable[i] != v) ++i;
      if (i == gif.globalTable.size()) gif.globalTable.push_back(v);
      f.indices.push_back(uint8_t(i));
    }
    gif.frames.push_back(f);
  }
  size_t tableSize = 2;
  while (tableSize < gif.globalTable.size()) tableSize *= 2;
  gif.globalTable.resize(tableSize, 0);
  return ts::EncodeGif(gif);
}

Bytes Tone(const ManifestEntry& e, uint32_t seed) {
  const int64_t samples = int64_t(kSoundRate) * e.count / kMillisPerSecond;
  if (e.kind == FileKind::Wav) {
    std::vector<int16_t> pcm;
    for (int64_t i = 0; i < samples; ++i) {
      const double v = kAmplitude * std::sin(2 * std::numbers::pi * e.hz * double(i) / kSoundRate);
      for (int32_t c = 0; c < e.channels; ++c) pcm.push_back(int16_t(std::lround(v)));
    }
    ts::WavSpec wav;
    wav.channels = uint16_t(e.channels), wav.rate = kSoundRate, wav.data = ts::Pcm16Bytes(pcm);
    return ts::MakeWav(wav);
  }
  ts::OggSpec tone;
  tone.channels = e.channels, tone.rate = kSoundRate, tone.samples = samples, tone.hz = e.hz, tone.seed = seed;
  const Bytes ogg = ts::EncodeOgg(tone);
  return e.kind == FileKind::Psn ? ts::WrapPsn(ogg, kPsnOffset) : ogg;
}

std::string Settings(const PortalSettings& s) {
  return "[SERVICEINFO]\r\nsDllVer=" + s.dllVersion + "\r\nsCompany=" + s.company + "\r\nsDomainName=" + s.domain +
         "\r\n";
}

// Makes every folder on the way to a file; existing ones are fine.
void MakeFolders(const std::string& windowsPath) {
  for (size_t at = windowsPath.find('\\', 3); at != std::string::npos; at = windowsPath.find('\\', at + 1))
    CreateDirectoryA(windowsPath.substr(0, at).c_str(), nullptr);
}

bool WriteWhole(const std::string& windowsPath, const Bytes& bytes) {
  MakeFolders(windowsPath);
  HANDLE f = CreateFileA(windowsPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  return CloseHandle(f) && ok;
}

}  // namespace game_data_writer

std::vector<uint8_t> EncodeEntry(const ManifestEntry& e, const WriteOptions& options) {
  using namespace game_data_writer;
  if (e.kind == FileKind::Ini) {
    const std::string text = Settings(options.portal);
    return Bytes(text.begin(), text.end());
  }
  if (e.kind == FileKind::Ani) return ts::AniFile(uint32_t(e.frames));
  if (e.look == Look::Tone) return Tone(e, options.seed);
  const std::vector<Picture> frames = PaintFrames(e);
  switch (e.kind) {
    case FileKind::Bmp:
      return Bmp(frames, e.look == Look::Strip || e.look == Look::PlainStrip);
    case FileKind::Qls:
      return Chunk(frames[0]);
    case FileKind::Psp:
      return Chunks(frames);
    case FileKind::Qla:
      return Animation(e, frames);
    case FileKind::Gif:
      return Gif(e, frames);
    default:
      return {};
  }
}

int32_t WriteGameData(const WriteOptions& options) {
  using namespace game_data_writer;
  plat::sim::MapPathPrefix(kDataRoot, options.dataFolder);
  plat::sim::MapPathPrefix(kPortalRoot, options.portalFolder);
  const std::vector<ManifestEntry>& all = Manifest();
  // Setting up a Vorbis encoder costs far more than the tenth of a second it encodes,
  // so the sounds are encoded on worker threads; pictures stay on this thread, which
  // owns the GDI objects they are painted with.
  std::vector<Bytes> sounds(all.size());
  std::atomic<size_t> next{0};
  auto encodeSounds = [&] {
    for (size_t i = next++; i < all.size(); i = next++)
      if (all[i].look == Look::Tone) sounds[i] = EncodeEntry(all[i], options);
  };
  const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
  std::vector<std::thread> pool;
  for (unsigned w = 0; w < workers; ++w) pool.emplace_back(encodeSounds);
  int32_t written = 0;
  bool failed = false;
  for (size_t i = 0; i < all.size() && !failed; ++i) {
    if (all[i].look == Look::Tone) continue;
    const std::string root = all[i].root == Root::Portal ? kPortalRoot : kDataRoot;
    failed = !WriteWhole(root + all[i].path, EncodeEntry(all[i], options));
    ++written;
  }
  for (std::thread& t : pool) t.join();
  for (size_t i = 0; i < all.size() && !failed; ++i) {
    if (all[i].look != Look::Tone) continue;
    failed = !WriteWhole(kDataRoot + all[i].path, sounds[i]);
    ++written;
  }
  return failed ? -1 : written;
}

}  // namespace game_data
