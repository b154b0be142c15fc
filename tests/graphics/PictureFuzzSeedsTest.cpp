// The seeds of the picture-entry fuzz targets are the test writers' files: this checks
// the committed ones are current, and rewrites them with DORVIK_WRITE_CORPUS=1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/PictureFileWriters.h"

namespace {

using namespace testing_support;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

// Each seed is a variation of one base picture.
template <typename Desc, typename Change>
Desc With(Desc base, Change change) {
  change(base);
  return base;
}

Seeds TgaSeeds() {
  TgaPicture p;
  p.width = 3;
  p.height = 2;
  p.pixels = {0xFF102030, 0x00405060, 0x80FFFFFF, 0xFF000000, 0x7F7F7F7F, 0x01020304};
  return {
      {"rgba32", TgaFile(p)},
      {"rgb24-with-id", TgaFile(With(p, [](TgaPicture& t) { t.depth = 24, t.id = "id"; }))},
      {"grey8", TgaFile(With(p, [](TgaPicture& t) { t.type = 3, t.depth = 8; }))},
      {"colour-map-skipped",
       TgaFile(With(p, [](TgaPicture& t) { t.colourMapType = 1, t.colourMapLength = 2, t.descriptor = 0x28; }))},
      {"truncated", TgaFile(With(p, [](TgaPicture& t) { t.cut = 5; }))},
  };
}

Seeds SidecarSeeds() {
  std::vector<VtiLayer> layers = {
      {3, 2, -4, 5, 500, "0.5", {0xFF102030, 0x00FFFFFF, 0x80405060, 0xFFFFFFFF, 0xFF102030, 0xFF102030}},
      {0, 3, 0, 0, 0, "", {}},
      {2, 1, 1, 1, 200, "frame1", {0x00000000, 0x01020304}},
  };
  return {
      {"three-layers", VtiFile(layers)},
      {"runs-past-channel-end", VtiFile(layers, "200304052307250", 201, With(VtiDamage{}, [](VtiDamage& d) { d.overrun = 9; }))},
      {"truncated", VtiFile(layers, "0", 255, With(VtiDamage{}, [](VtiDamage& d) { d.cut = 3; }))},
      {"no-layers", VtiFile({})},
  };
}

PsdDesc SeedPsd() {
  PsdDesc psd;
  psd.width = 16;
  psd.height = 8;
  psd.guides = {{3 * 32, false}, {2 * 32, true}};
  PsdLayerDesc raw;
  raw.left = 4, raw.top = 3, raw.right = 8, raw.bottom = 5;
  raw.name = "0.3";
  raw.pixels = {0xFF0000FF, 0xFF0000FF, 0x00000000, 0x80808080, 0xFFFFFFFF, 0, 0, 0x12345678};
  psd.layers = {raw, With(raw, [](PsdLayerDesc& l) { l.packBits = true, l.name = "frame"; }),
                With(raw, [](PsdLayerDesc& l) { l.alpha = false, l.extraChannels = {-2}, l.name = ""; })};
  return psd;
}

Seeds PsdSeeds() {
  const PsdDesc psd = SeedPsd();
  return {
      {"raw-packbits-no-alpha", PsdFile(psd)},
      {"negative-count-no-guides", PsdFile(With(psd, [](PsdDesc& d) { d.negativeLayerCount = true, d.guides.clear(); }))},
      {"truncated", PsdFile(With(psd, [](PsdDesc& d) { d.cut = 40; }))},
  };
}

void CheckSeeds(const std::string& target, const Seeds& seeds) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "DORVIK_SOURCE_DIR is set by CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / target;
  const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr;
  for (const auto& [name, bytes] : seeds) {
    if (write) {
      std::filesystem::create_directories(dir);
      std::ofstream(dir / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::ifstream in(dir / name, std::ios::binary);
    const Bytes committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, bytes) << target << "/" << name << " is stale: rerun with DORVIK_WRITE_CORPUS=1";
  }
}

TEST(PictureFuzzSeeds, CommittedSeedsAreTheWritersFiles) {
  CheckSeeds("tga_entry", TgaSeeds());
  CheckSeeds("psd_sidecar", SidecarSeeds());
  CheckSeeds("psd_layers", PsdSeeds());
}

}  // namespace
