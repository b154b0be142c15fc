// The avatar composer: part lists and layer order, centring, keyed layering, the
// redraw flag, and the layer's file handling.
#include "graphics/XAvatarComposer.h"

#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "graphics/GraphicsTestKit.h"
#include "plat/sim_kernel.h"

namespace xavatar_composer_test {

using namespace gfx_test;
using testing_support::EncodeGif;
using testing_support::GifDesc;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class XAvatarComposerTest : public testing::Test {
 protected:
  // A file of one solid frame per index, each `delay` hundredths.
  std::string Part(const std::string& name, uint16_t w, uint16_t h, std::vector<uint8_t> indices,
                   std::vector<uint16_t> delays = {}, int transparentIndex = -1) {
    GifDesc g = GifScreen(w, h, {0x000000, kRed, kGreen, kBlue});
    for (size_t i = 0; i < indices.size(); ++i) {
      g.frames.push_back(SolidFrame(0, 0, w, h, indices[i]));
      g.frames.back().delay = i < delays.size() ? delays[i] : 0;
      g.frames.back().transparent = transparentIndex >= 0;
      g.frames.back().transparentIndex = uint8_t(transparentIndex >= 0 ? transparentIndex : 0);
    }
    return dir_.Put(name, EncodeGif(g));
  }
  static uint32_t Px(const XDib& d, int32_t x, int32_t y) { return LoadU32(d.PixelAt(x, y)) & 0xFFFFFF; }

  Folder dir_;
  XAvatarComposer composer_;
  XDib canvas_;
};

TEST_F(XAvatarComposerTest, PartListsOfOneToTwentyFourDecodingFilesAreAcceptedAndStackedInLayerOrder) {
  const std::string p = Part("p.gif", 1, 1, {1});
  EXPECT_EQ((std::vector<int>{composer_.SetParts({}, false), composer_.SetParts(std::vector<std::string>(25, p), false),
                              composer_.Loaded(), composer_.SetParts(std::vector<std::string>(24, p), false), composer_.Loaded()}),
            (std::vector<int>{0, 0, 0, 1, 1}));
  const std::string a = Part("a.gif", 1, 1, {1}), b = Part("b.gif", 1, 1, {2}), c = Part("c.gif", 1, 1, {3});
  ASSERT_EQ(composer_.SetParts({a, b, c}, false), 1);
  EXPECT_EQ((std::vector<std::string>{composer_.Layer(0).fileName, composer_.Layer(1).fileName, composer_.Layer(2).fileName}),
            (std::vector<std::string>{c, b, a}));
  ASSERT_EQ(composer_.SetParts({b}, false), 1);
  EXPECT_EQ(composer_.Layer(0).fileName, b);
  EXPECT_EQ(composer_.Layer(1).animation, nullptr);  // cleared by the new list
  // A file that does not decode fails the list.
  const std::string good = Part("good.gif", 1, 1, {1});
  EXPECT_EQ(composer_.SetParts({good, dir_ / "missing.gif"}, false), 0);
  GifDesc old = GifScreen(1, 1, {0, 0});
  old.frames.push_back(SolidFrame(0, 0, 1, 1, 1));
  old.version87a = true;
  dir_.Put("old.gif", EncodeGif(old));
  XAvatarLayer layer;
  EXPECT_EQ(layer.SetFile(dir_ / "old.gif", false), 0);
  EXPECT_EQ(layer.animation, nullptr);
  EXPECT_EQ(layer.SetFile("", false), 1);
}

TEST_F(XAvatarComposerTest, RedrawsOnlyWhenAFrameChangesUnlessForced) {
  ASSERT_EQ(composer_.SetParts({Part("two.gif", 1, 1, {1, 2}, {10, 10})}, false), 1);
  auto compose = [&](uint32_t tick, bool measure, bool force) {
    plat::sim::SetTickBase(tick);
    const int drawn = composer_.Compose(nullptr, canvas_, measure, force);
    return std::make_pair(drawn, Px(canvas_, 0, 0));
  };
  EXPECT_EQ(compose(0, false, false).first, 1);
  EXPECT_EQ(compose(50, false, false).first, 0);
  EXPECT_EQ(compose(50, false, true).first, 1);
  EXPECT_EQ(compose(150, true, false), std::make_pair(1, kRed));     // measured only
  EXPECT_EQ(compose(150, false, false), std::make_pair(1, kGreen));  // the change is still pending
}

TEST_F(XAvatarComposerTest, SmallerLayersAreCentredWithTheOddPixelRightAndBottom) {
  // Layer order for two parts: part 1 at the bottom, part 0 on top.
  const std::string big = Part("big.gif", 5, 4, {1});
  const std::string small = Part("small.gif", 2, 1, {3});
  ASSERT_EQ(composer_.SetParts({small, big}, false), 1);
  ASSERT_EQ(composer_.Compose(nullptr, canvas_, false, false), 1);
  EXPECT_EQ(std::make_pair(composer_.ComposedSize().cx, canvas_.Height()), std::make_pair(5, 4));
  // (5 - 2) / 2 = 1, (4 - 1) / 2 = 1.
  std::vector<uint32_t> rows;
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) rows.push_back(Px(canvas_, x, y));
  EXPECT_EQ(rows, (std::vector<uint32_t>{kRed, kRed, kRed, kRed, kRed, kRed, kBlue, kBlue, kRed, kRed, kRed, kRed, kRed, kRed, kRed}));
}

TEST_F(XAvatarComposerTest, TransparentIndicesLetLowerLayersShowAndAPositionSkipsTheClear) {
  const std::string bottom = Part("bottom.gif", 2, 1, {1});
  const std::string top = Part("top.gif", 2, 1, {0}, {}, 0);  // all transparent
  ASSERT_EQ(composer_.SetParts({top, bottom}, false), 1);
  ASSERT_EQ(composer_.Compose(nullptr, canvas_, false, false), 1);
  EXPECT_EQ(Px(canvas_, 0, 0), kRed);
  XDib other;
  ASSERT_EQ(other.CreateDib32(SIZE{4, 1}), 1);
  other.FillRect(RECT{0, 0, 4, 1}, kGreen);
  const POINT at{2, 0};
  EXPECT_EQ(composer_.Compose(&at, other, false, true), 1);
  EXPECT_EQ(other.Width(), 4);  // kept as it is
  EXPECT_EQ((std::vector<uint32_t>{Px(other, 1, 0), Px(other, 2, 0)}), (std::vector<uint32_t>{kGreen, kRed}));
  // Grey parts get a grey table.
  ASSERT_EQ(composer_.SetParts({Part("grey.gif", 1, 1, {1})}, true), 1);
  ASSERT_EQ(composer_.Compose(nullptr, canvas_, false, false), 1);
  EXPECT_EQ(Px(canvas_, 0, 0), 0x4C4C4Cu);  // 3 x 255 / 10 = 76
}

}  // namespace xavatar_composer_test
