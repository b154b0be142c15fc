// Writes seed inputs for the sprite-library fuzz targets, made by our own encoders:
// sprites in every code, alpha mode and layout, multi-chunk files, alpha planes, sprite
// sets, animations and sets of them, and GIF files.
//   make_sprite_corpus <fuzz/corpus folder>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/KK_AlphaChannel.h"
#include "graphics/KK_LLESprite.h"
#include "base/PixelFormat.h"
#include "graphics/K_Dib_Image.h"
#include "support/GifWriter.h"
#include "support/SpriteFileWriters.h"

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

namespace ts = testing_support;

void SetSeeds(const std::string& root) {
  const Bytes a = ts::SolidSpriteChunk(32, 5, 4, 0x3366CC, 2, 1, 2, 2);
  const Bytes b = ts::SolidSpriteChunk(16, 3, 6, 0x00FF00, 0, 5);
  const Bytes c = ts::SolidSpriteChunk(17, 7, 2, 0xFF0000, -3, 0, 0, 0);
  const std::string psp = root + "/psp_read/";
  Write(psp + "three.psp", ts::PspFile({a, b, c}));
  Write(psp + "empty.psp", {});
  Bytes damaged = ts::PspFile({a, b, c});
  damaged[a.size() + b.size() + 9] ^= 0x55;
  Write(psp + "damaged_third.psp", damaged);

  ts::QlaAnimation walk;
  walk.originX = 4, walk.originY = 3;
  walk.name = "walk";
  for (int32_t i = 0; i < 4; ++i) {
    ts::QlaFrame f;
    f.duration = uint16_t(i == 2 ? 0 : 3 + i);
    if (i == 3) f.loopTarget = 1, f.repeat = 2;
    f.parts.push_back({.sprite = uint16_t(i % 3), .x = int16_t(i), .y = 2, .flags = uint32_t(i == 1 ? 0x10000 : 0)});
    f.parts.push_back({.sprite = 1, .x = -2, .y = 1, .flags = 151, .level = 12, .r = 200, .dx = -7, .dy = 5,
                       .moves = true});
    walk.frames.push_back(f);
  }
  ts::QlaAnimation boxed = walk;
  boxed.name = std::string(68, 'n');
  boxed.useBounds = true;
  boxed.left = -2, boxed.top = -1, boxed.right = 6, boxed.bottom = 4;
  ts::QlaAnimation zero;
  zero.name = "zero";
  zero.frames.resize(2);
  zero.frames[0].duration = zero.frames[1].duration = 0;
  zero.frames[1].repeat = 0x8000;
  const Bytes sprites = ts::PspFile({a, b, c});
  const std::string qla = root + "/qla_read/";
  Write(qla + "single.qla", ts::QlaFile(walk, sprites));
  Write(qla + "set.qla", ts::QlaSetFile({walk, boxed, zero, walk}, sprites));
  Write(qla + "zero_cycle.qla", ts::QlaFile(zero, sprites));
  ts::QlaDamage cut;
  cut.spriteCut = 5;
  Write(qla + "cut_sprites.qla", ts::QlaFile(boxed, sprites, cut));

  ts::GifDesc gif;
  gif.width = 6, gif.height = 5;
  gif.globalTable = {0x000000, 0xFF00FF, 0x00FF00, 0x0000FF, 0xFFFFFF};
  for (int32_t i = 0; i < 3; ++i) {
    ts::GifFrameDesc f;
    f.left = uint16_t(i), f.top = uint16_t(i / 2), f.width = uint16_t(6 - i), f.height = uint16_t(5 - i);
    for (int32_t p = 0; p < f.width * f.height; ++p) f.indices.push_back(uint8_t((p + i) % 5));
    f.control = true;
    f.delay = uint16_t(5 * (i + 1));
    f.disposal = uint8_t(i == 1 ? 2 : 1);
    f.transparent = i > 0;
    f.transparentIndex = 4;
    f.interlace = i == 2;
    if (i == 1) f.localTable = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0};
    gif.frames.push_back(f);
  }
  const std::string gifs = root + "/gif_read/";
  Write(gifs + "three.gif", ts::EncodeGif(gif));
  gif.clearBeforeEveryCode = true;
  gif.bogusSignature = true;
  gif.trailingControl = true;
  Write(gifs + "clear_every_code.gif", ts::EncodeGif(gif));
  ts::GifDesc one;
  one.width = 3, one.height = 2;
  one.globalTable = {0xFF00FF, 0x123456};
  ts::GifFrameDesc f;
  f.width = 3, f.height = 2;
  f.indices = {0, 1, 1, 0, 1, 0, 1, 1};  // two surplus pixels
  one.frames.push_back(f);
  Write(gifs + "single.gif", ts::EncodeGif(one));
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

  // Images: 32-bit TGA (with an ID field, and grey type 3) and BMP in every code, plus
  // palette and masked files the writer does not make.
  const std::string tga = root + "/tga_read/";
  for (uint8_t type : {2, 3}) {
    Bytes t = {5, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 4, 0, 32, 8, 'i', 'd', 'e', 'n', 't'};
    t.insert(t.end(), img32.begin(), img32.end());
    Write(tga + "type" + std::to_string(type) + ".tga", t);
  }
  const std::string dib = root + "/dib_read/";
  for (int32_t code : {16, 17, 24, 32}) {
    K_Dib_Image image;
    image.Create(7, 5, code);
    const Bytes px = Picture(code, 7, 5);
    for (int32_t y = 0; y < 5; ++y)
      std::copy_n(px.begin() + y * 7 * kk::BytesPerPixel(code), 7 * kk::BytesPerPixel(code), image.PixelAddress(0, y));
    Write(dib + "code" + std::to_string(code) + ".bmp", image.SaveBMPToBytes());
  }
  // 4-bit palette, bottom-up, 5 x 3.
  Bytes pal = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 118, 0, 0, 0, 40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 4, 0};
  pal.resize(54, 0);
  for (int32_t i = 0; i < 16; ++i) pal.insert(pal.end(), {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5), 0});
  for (int32_t y = 0; y < 3; ++y) pal.insert(pal.end(), {0x01, 0x23, uint8_t(0x40 + y), 0});
  Write(dib + "palette4.bmp", pal);
  SetSeeds(root);
  return 0;
}
