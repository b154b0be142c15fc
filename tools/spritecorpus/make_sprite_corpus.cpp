// Writes seed inputs for the sprite-library fuzz targets, made by our own encoders:
// sprites in every code, alpha mode and layout, multi-chunk files, alpha planes.
//   make_sprite_corpus <fuzz/corpus folder>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/KK_AlphaChannel.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/KK_PixelFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Write(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A small picture with key corners, a hole and a gradient, in one code.
Bytes Picture(int32_t code, int32_t w, int32_t h) {
  const int32_t bpp = kk::BytesPerPixel(code);
  Bytes img(size_t(w * h * bpp));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool key = (x + y < 2) || (x == w / 2 && y == h / 2) || y == h - 1;
      const uint32_t ref = key ? 0xFF00FF : uint32_t((x * 40) | (y * 30) << 8 | 0x400000);
      uint32_t v = 0;
      if (code == 16) v = kk::Px565::FromRef(ref);
      else if (code == 17) v = kk::Px555::FromRef(ref);
      else if (code == 24) v = kk::RefBlue(ref) | kk::RefGreen(ref) << 8 | kk::RefRed(ref) << 16;
      else v = kk::Px8888::FromRef(ref) | (key ? 0 : uint32_t((x * 9) & 31) << 24);
      for (int32_t b = 0; b < bpp; ++b) img[size_t((y * w + x) * bpp + b)] = uint8_t(v >> (8 * b));
    }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string root = argv[1];
  const std::string qls = root + "/qls_read/";
  uint8_t extra[32];
  for (int i = 0; i < 32; ++i) extra[i] = uint8_t(i * 7);
  Bytes multi;
  for (int32_t code : {16, 17, 24, 32})
    for (int32_t withExtra : {0, 1}) {
      const Bytes img = Picture(code, 7, 5);
      const Bytes c = kk::EncodeSpriteChunk(code, 7, 5, 7 * kk::BytesPerPixel(code), img.data(), 0xFF00FF, 3, 2,
                                            withExtra ? extra : nullptr);
      Write(qls + "code" + std::to_string(code) + (withExtra ? "_extra" : "") + ".qls", c);
      multi.insert(multi.end(), c.begin(), c.end());
    }
  Write(qls + "multi.qls", multi);
  const Bytes img32 = Picture(32, 6, 4);
  for (int32_t threshold : {-1, 0}) {
    KK_LLESprite s;
    s.CreateFromAlpha(6, -4, 24, img32.data(), threshold);
    Write(qls + (threshold < 0 ? "alpha_mode1.qls" : "alpha_mode3.qls"), s.SaveToBytes());
    if (threshold < 0) {
      s.ConvertFormat(16);
      Write(qls + "alpha_mode2.qls", s.SaveToBytes());
    }
  }
  const std::string alpha = root + "/alpha_read/";
  KK_AlphaChannel flat, noisy;
  flat.Create(40, 30);
  noisy.Create(5, 3);
  for (int32_t i = 0; i < 15; ++i) noisy.Data()[i] = uint8_t(i * 37);
  const Bytes a = flat.SaveToBytes(), b = noisy.SaveToBytes();
  Write(alpha + "rle.alp", a);
  Write(alpha + "raw.alp", b);
  Bytes set = a;
  set.insert(set.end(), b.begin(), b.end());
  Write(alpha + "set.alp", set);
  return 0;
}
