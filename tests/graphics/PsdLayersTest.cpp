// The PSD layer reader: pixels from raw and PackBits channels, durations from names,
// and bounds on every length a damaged file gives.
#include "graphics/PsdLayers.h"

#include <gtest/gtest.h>

#include "graphics/GraphicsTestKit.h"
#include "support/PictureFileWriters.h"

namespace psd_layers_test {

using gfx_test::Bgra;
using testing_support::Bytes;
using testing_support::PsdDesc;
using testing_support::PsdFile;
using testing_support::PsdLayerDesc;

PsdLayerDesc Layer(int32_t left, int32_t top, int32_t w, int32_t h, std::string name, bool packBits = false) {
  PsdLayerDesc l;
  l.left = left, l.top = top, l.right = left + w, l.bottom = top + h;
  l.name = std::move(name);
  l.packBits = packBits;
  for (int32_t i = 0; i < w * h; ++i) l.pixels.push_back(0x80000000u * (i % 2) + 0x01020304u * (i % 5) + 0x7Fu);
  return l;
}

TEST(PsdLayerDuration, NamesOfDigitsAndDotsAreDecimalSeconds) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"0.5", 500},  {"2", 2000},   {"frame1", 200}, {"", 0},         {"0.3", 300},  {"1.2.3", 1200},
      {".25", 250},  {"0.0009", 0}, {"1.2345", 1234}, {"0.1 ", 200},  {".", 0},      {"4294967", 4294967000u},
      {"99999999999", UINT32_MAX},
  };
  for (const auto& [name, ms] : cases) EXPECT_EQ(PsdLayerDuration(name), ms) << '"' << name << '"';
}

TEST(ParsePsdLayers, EmptyLayersFilesWithoutLayersAndLayersWithoutAlpha) {
  PsdDesc psd;
  psd.layers = {Layer(3, 3, 0, 5, "zero"), Layer(0, 0, 1, 1, "one")};
  PsdLayerSet out;
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.sizes, (std::vector<GSize>{GSize(0, 5), GSize(1, 1)}));
  EXPECT_TRUE(out.pixels[0].empty());
  EXPECT_EQ(out.pixels[1], Bgra(psd.layers[1].pixels));
  psd.layers.clear();
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.Count(), 0u);
  // A layer without alpha is opaque; other channels are dropped.
  psd.layers = {Layer(0, 0, 4, 2, "a")};
  psd.layers[0].alpha = false;
  psd.layers[0].extraChannels = {-2, 3};
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  std::vector<uint32_t> opaque;
  for (uint32_t p : psd.layers[0].pixels) opaque.push_back(p | 0xFF000000u);
  EXPECT_EQ(out.pixels[0], Bgra(opaque));
}

TEST(ParsePsdLayers, PackBitsIsBoundedByTheLayerAndByTheChannelData) {
  PsdDesc psd;
  psd.layers = {Layer(0, 0, 2, 2, "a")};
  PsdLayerSet out;
  // A repeat of 128 bytes into four pixels, with more runs after it.
  psd.layers[0].channelData = {0, 1, 0, 2, 0, 2, 0x81, 0x77, 0x81, 0x66};
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.pixels[0], Bytes(16, 0x77));
  // A literal run promising 100 bytes of which 3 are there: the last pixel stays 0.
  psd.layers[0].channelData = {0, 1, 0, 2, 0, 2, 99, 1, 2, 3};
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.pixels[0], (Bytes{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 0, 0, 0, 0}));
  // -128 is no run; raw data shorter than the layer fills what it has.
  psd.layers[0].channelData = {0, 1, 0, 2, 0, 2, 0x80, 0xFF, 9};
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.pixels[0][0], 9);
  psd.layers[0].channelData = {0, 0, 5};
  ASSERT_TRUE(ParsePsdLayers(PsdFile(psd), out));
  EXPECT_EQ(out.pixels[0], (Bytes{5, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ParsePsdLayers, DamagedFilesFailWithNothingKept) {
  PsdDesc psd;
  psd.guides = {{32, false}, {64, true}};
  psd.layers = {Layer(0, 0, 3, 2, "a"), Layer(0, 0, 2, 2, "b", true)};
  const Bytes whole = PsdFile(psd);
  PsdLayerSet out;
  // Every cut before the final (unread) merged picture fails; none reads outside.
  for (size_t cut = 3; cut <= whole.size(); ++cut) {
    const Bytes part(whole.begin(), whole.end() - static_cast<ptrdiff_t>(cut));
    EXPECT_FALSE(ParsePsdLayers(part, out)) << cut;
    EXPECT_EQ(out.Count(), 0u) << cut;
    EXPECT_TRUE(out.pixels.empty() && out.names.empty() && out.durations.empty()) << cut;
  }
  PsdDesc bogus = psd;
  bogus.bogusSignature = true;
  EXPECT_FALSE(ParsePsdLayers(PsdFile(bogus), out));

  struct Case {
    const char* what;
    PsdLayerDesc layer;
  };
  PsdLayerDesc inverted = Layer(5, 0, 0, 1, "inverted");
  inverted.right = 4;
  PsdLayerDesc huge = Layer(0, 0, 0, 0, "huge");
  huge.right = 4096;
  huge.bottom = 4097;
  huge.channelData = {0, 0};
  for (const Case& c : {Case{"right left of left", inverted}, Case{"above the pixel cap", huge}}) {
    PsdDesc one;
    one.layers = {c.layer};
    EXPECT_FALSE(ParsePsdLayers(PsdFile(one), out)) << c.what;
  }
  EXPECT_FALSE(ParsePsdLayers(std::string("Q:\\none.psd"), out));
}

}  // namespace psd_layers_test
