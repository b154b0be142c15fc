// Writes seed inputs for the game GIF player's fuzz target, made by the fixture GIF
// writer: both versions, composition with every disposal, interlace, local tables,
// transparency beyond the table, images off the screen, and broken code streams.
//   make_gif_corpus <fuzz/corpus folder>
#include <cstdio>
#include <string>
#include <vector>

#include "support/GifWriter.h"

namespace {

namespace ts = testing_support;
using Bytes = std::vector<uint8_t>;

void Write(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

ts::GifFrameDesc Frame(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t disposal, uint8_t seed) {
  ts::GifFrameDesc f;
  f.left = l, f.top = t, f.width = w, f.height = h;
  for (size_t i = 0; i < size_t(w) * h; ++i) f.indices.push_back(uint8_t((i * 3 + seed) % 8));
  f.control = true;
  f.disposal = disposal;
  f.delay = uint16_t(5 + seed);
  f.transparent = true;
  f.transparentIndex = 1;
  return f;
}

ts::GifDesc Screen(uint16_t w, uint16_t h) {
  ts::GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = {0x000000, 0xFF00FF, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0xFF0000, 0x00FFFF};
  return g;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string dir = std::string(argv[1]) + "/cgif_read/";

  ts::GifDesc composed = Screen(8, 6);
  composed.frames = {Frame(0, 0, 8, 6, 1, 0), Frame(2, 1, 4, 3, 0, 1), Frame(1, 1, 3, 4, 2, 2),
                     Frame(3, 2, 5, 4, 3, 3), Frame(0, 0, 2, 2, 1, 4)};
  Write(dir + "composed_89a.gif", ts::EncodeGif(composed));
  composed.version87a = true;
  composed.frames[1].interlace = true;
  composed.frames[2].localTable = {0x112233, 0x445566, 0x778899};
  Write(dir + "interlaced_local_87a.gif", ts::EncodeGif(composed));

  ts::GifDesc single = Screen(5, 3);
  single.frames = {Frame(1, 1, 3, 2, 0, 0)};
  single.frames[0].transparentIndex = 200;
  Write(dir + "single_transparent_beyond_table.gif", ts::EncodeGif(single));

  ts::GifDesc offScreen = Screen(4, 4);
  offScreen.frames = {Frame(2, 3, 6, 5, 2, 0), Frame(60000, 7, 3, 3, 1, 1), Frame(3, 0, 9, 2, 0, 2)};
  offScreen.clearBeforeEveryCode = true;
  Write(dir + "off_screen_clear_every_code.gif", ts::EncodeGif(offScreen));

  ts::GifDesc none = Screen(3, 3);
  Write(dir + "no_images.gif", ts::EncodeGif(none));

  ts::GifDesc codes = Screen(16, 1);
  for (const std::vector<int32_t>& stream :
       {std::vector<int32_t>{0, 1, 6, 5}, {4, 0, 4, 7, 5}, {4, 0, 7, 7, 7, 5}, {4, 0, 1}}) {
    ts::GifFrameDesc f = Frame(0, 0, 16, 1, 1, 0);
    f.indices.clear();
    f.codes = stream;
    f.minCodeSize = 2;
    codes.frames.push_back(f);
  }
  Write(dir + "raw_code_streams.gif", ts::EncodeGif(codes));

  ts::GifDesc full = Screen(64, 64);
  full.globalTable.resize(256);
  for (size_t i = 0; i < 256; ++i) full.globalTable[i] = uint32_t(i * 0x010203);
  ts::GifFrameDesc big = Frame(0, 0, 64, 64, 0, 0);
  uint32_t x = 1;
  for (uint8_t& p : big.indices) p = uint8_t((x = x * 1103515245u + 12345u) >> 16);
  big.leadingClear = false;
  full.frames = {big};
  Write(dir + "full_table.gif", ts::EncodeGif(full));
  return 0;
}
