// Companion files of layered pictures: naming, reading with every bound checked,
// packing, the picture's time text, and refreshing a companion from its picture.
#include "graphics/PsdSidecar.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "graphics/GraphicsTestKit.h"
#include "support/PictureFileWriters.h"
#include "support/ScopedTimeZone.h"

namespace psd_sidecar_test {

using namespace gfx_test;
using testing_support::ScopedTimeZone;
using testing_support::VtiDamage;
using testing_support::VtiFile;
using testing_support::VtiLayer;

VtiLayer Layer(int32_t w, int32_t h, int32_t x, int32_t y, uint32_t duration, std::string name) {
  VtiLayer l{w, h, x, y, duration, std::move(name), {}};
  for (int32_t i = 0; i < w * h; ++i) l.pixels.push_back(i < 300 ? 0xFF00FF00u : 0x00000000u + static_cast<uint32_t>(i));
  return l;
}

std::vector<VtiLayer> ThreeLayers() {
  return {Layer(20, 16, -5, 7, 500, "0.5"), Layer(0, 4, 0, 0, 0, ""), Layer(3, 2, 1, 2, 200, "frame1")};
}

void ExpectLayers(const PsdLayerSet& got, const std::vector<VtiLayer>& want) {
  ASSERT_EQ(got.Count(), want.size());
  ASSERT_EQ(got.pixels.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got.sizes[i], GSize(want[i].width, want[i].height)) << i;
    EXPECT_EQ(got.offsets[i], GPoint(want[i].x, want[i].y)) << i;
    EXPECT_EQ(got.durations[i], want[i].duration) << i;
    EXPECT_EQ(got.names[i], want[i].name) << i;
    EXPECT_EQ(got.pixels[i], Bgra(want[i].pixels)) << i;
  }
}

TEST(PsdSidecar, CompanionNameReplacesWhatFollowsTheLastDot) {
  EXPECT_EQ((std::vector<std::string>{PsdSidecarName("a.b\\pic.psd"), PsdSidecarName("Image\\btn.psd"), PsdSidecarName("x."),
                                      PsdSidecarName("a.b\\pic"), PsdSidecarName("pic")}),
            (std::vector<std::string>{"a.b\\pic.VTi", "Image\\btn.VTi", "x.VTi", "a.VTi", ""}));
}

TEST(PsdSidecar, ReadsEveryLayerWithEmptyLayersHoldingNoRunsAndRunsPastAChannelEndCut) {
  PsdLayerSet out;
  ASSERT_TRUE(ReadPsdSidecar(VtiFile(ThreeLayers()), out));
  ExpectLayers(out, ThreeLayers());
  VtiDamage damage;
  damage.overrun = 40;
  ASSERT_TRUE(ReadPsdSidecar(VtiFile(ThreeLayers(), "0", 255, damage), out));
  ExpectLayers(out, ThreeLayers());
  ASSERT_TRUE(ReadPsdSidecar(VtiFile({}), out));
  EXPECT_EQ(out.Count(), 0u);
}

TEST(PsdSidecar, DamagedCompanionsFailWithEmptyArrays) {
  const Bytes whole = VtiFile(ThreeLayers());
  PsdLayerSet out;
  for (size_t cut = 1; cut <= whole.size(); ++cut) {
    const Bytes part(whole.begin(), whole.end() - static_cast<ptrdiff_t>(cut));
    EXPECT_FALSE(ReadPsdSidecar(part, out)) << cut;
    EXPECT_EQ(out.Count(), 0u) << cut;
    EXPECT_TRUE(out.pixels.empty() && out.names.empty() && out.offsets.empty()) << cut;
  }
  struct Case {
    const char* what;
    std::vector<VtiLayer> layers;
    VtiDamage damage;
  };
  auto damaged = [](auto change) {
    VtiDamage d;
    change(d);
    return d;
  };
  const Case cases[] = {
      {"negative count", ThreeLayers(), damaged([](VtiDamage& d) { d.count = -1; })},
      {"count above the cap", {}, damaged([](VtiDamage& d) { d.count = kMaxSidecarLayers + 1; })},
      {"count beyond the tables", ThreeLayers(), damaged([](VtiDamage& d) { d.count = 40; })},
      {"size table outside", ThreeLayers(), damaged([](VtiDamage& d) { d.tables[0] = 1 << 20; })},
      {"offset table negative", ThreeLayers(), damaged([](VtiDamage& d) { d.tables[1] = -8; })},
      {"duration table running off the end", ThreeLayers(),
       damaged([&](VtiDamage& d) { d.tables[2] = static_cast<int32_t>(whole.size()) - 11; })},
      {"name table outside", ThreeLayers(), damaged([](VtiDamage& d) { d.tables[3] = 0x7FFFFFFF; })},
      {"pixel data outside", ThreeLayers(), damaged([](VtiDamage& d) { d.tables[4] = 100000; })},
      {"negative width", {Layer(-1, 2, 0, 0, 0, "")}, {}},
      {"above the pixel cap", {Layer(0, 0, 0, 0, 0, "")}, damaged([](VtiDamage& d) { d.tables[0] = 0; })},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ReadPsdSidecar(VtiFile(c.layers, "0", 255, c.damage), out)) << c.what;
    EXPECT_EQ(out.Count(), 0u) << c.what;
  }
}

TEST(PsdSidecar, EncodesRunsOfAtMost201AndReadsBack) {
  PsdLayerSet layers;
  layers.sizes = {GSize(450, 1)};
  layers.offsets = {GPoint(3, -4)};
  layers.durations = {1200};
  layers.names = {"1.2.3"};
  layers.pixels = {Bgra(std::vector<uint32_t>(450, 0x80402010u))};
  const Bytes bytes = EncodePsdSidecar(layers, "200304052307250");
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 19), "VTi.200304052307250");
  const size_t data = 44 + 8 + 8 + 4 + 1 + 5;
  ASSERT_EQ(bytes.size(), data + 4 * 6);
  EXPECT_EQ(Bytes(bytes.begin() + data, bytes.begin() + data + 6), (Bytes{201, 0x10, 201, 0x10, 48, 0x10}));
  EXPECT_EQ(Bytes(bytes.end() - 6, bytes.end()), (Bytes{201, 0x80, 201, 0x80, 48, 0x80}));
  PsdLayerSet back;
  ASSERT_TRUE(ReadPsdSidecar(bytes, back));
  EXPECT_TRUE(back.pixels == layers.pixels && back.offsets == layers.offsets && back.names == layers.names &&
              back.durations == layers.durations);
}

class PsdSidecarFileTest : public testing::Test {
 protected:
  void Write(const std::string& name, const Bytes& bytes) { dir_.Put(name, bytes); }
  // Last-write time of a file, in UTC.
  void Touch(const std::string& name, int year, int month, int day, int hour, int minute, int second, int ms) {
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    const timespec when{timegm(&t), ms * 1000000};
    const timespec both[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir_ / name).c_str(), both, 0), 0);
  }
  Folder dir_{"L:\\"};
};

TEST_F(PsdSidecarFileTest, MissingPicturesAndNonPsdFilesMakeNoCompanionAndTheTimeTextIsLocal) {
  Write("noext", {1, 2, 3});
  Write("text.psd", {'h', 'i'});
  EXPECT_EQ((std::vector<PsdSidecarBuild>{BuildPsdSidecar("L:\\missing.psd"), BuildPsdSidecar("L:\\noext"), BuildPsdSidecar("L:\\text.psd")}),
            (std::vector<PsdSidecarBuild>{PsdSidecarBuild::kNoPicture, PsdSidecarBuild::kNoPicture, PsdSidecarBuild::kFailed}));
  EXPECT_FALSE(dir_.Exists("text.VTi"));
  PsdLayerSet out;
  EXPECT_FALSE(ReadPsdSidecar(std::string("L:\\text.psd"), out) || ReadPsdSidecar(std::string("L:\\noext"), out));
  ScopedTimeZone zone("KST-9");
  Write("p.psd", {1});
  Touch("p.psd", 2003, 4, 5, 14, 7, 33, 250);
  std::string text;
  ASSERT_TRUE(FileModTimeString("L:\\p.psd", text));
  EXPECT_EQ(text, "200304052307250");
  EXPECT_FALSE(FileModTimeString("L:\\missing.psd", text));
  EXPECT_EQ(text, "");
}

TEST_F(PsdSidecarFileTest, BuildsOnceAndAgainOnlyWhenThePictureChangesPastTheSeconds) {
  testing_support::PsdDesc psd;
  testing_support::PsdLayerDesc layer;
  layer.right = 2;
  layer.bottom = 1;
  layer.name = "2";
  layer.pixels = {0xFF010203, 0x00040506};
  psd.layers = {layer};
  Write("pic.psd", testing_support::PsdFile(psd));
  Touch("pic.psd", 2010, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(BuildPsdSidecar("L:\\pic.psd"), PsdSidecarBuild::kBuilt);
  PsdLayerSet out;
  ASSERT_TRUE(ReadPsdSidecar(std::string("L:\\pic.psd"), out));
  EXPECT_EQ(out.durations, std::vector<uint32_t>{2000});
  EXPECT_EQ(out.pixels[0], Bgra(layer.pixels));

  EXPECT_EQ(BuildPsdSidecar("L:\\pic.psd"), PsdSidecarBuild::kUpToDate);
  Touch("pic.psd", 2010, 1, 2, 3, 4, 59, 6);  // the seconds are not in the time text
  EXPECT_EQ(BuildPsdSidecar("L:\\pic.psd"), PsdSidecarBuild::kUpToDate);
  Touch("pic.psd", 2010, 1, 2, 3, 5, 5, 6);
  EXPECT_EQ(BuildPsdSidecar("L:\\pic.psd"), PsdSidecarBuild::kBuilt);

  Bytes stale = VtiFile({});
  std::string text;
  ASSERT_TRUE(FileModTimeString("L:\\pic.psd", text));
  std::copy(text.begin(), text.end(), stale.begin() + 4);
  stale[0] = 'X';  // the right time under another magic
  Write("pic.VTi", stale);
  EXPECT_EQ(BuildPsdSidecar("L:\\pic.psd"), PsdSidecarBuild::kBuilt);
  ASSERT_TRUE(ReadPsdSidecar(std::string("L:\\pic.psd"), out));
  EXPECT_EQ(out.Count(), 1u);
}

}  // namespace psd_sidecar_test
