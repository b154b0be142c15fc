// What the game window shows: the scene's widgets drawn by dirty rectangles into the
// screen's 800 x 600 back buffer and the changed area presented through the clipped
// primary to the window at (3, 3), read back and compared by hash in each desktop format.
#include <gtest/gtest.h>

#include <string>

#include "GameWindowFixture.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using game_window_test::GameWindowFixture;
using plat::sim::DisplayFormat;
using plat::sim::RgbImage;
using widget_test::DevicePixel;

struct Painted {
  GRect rect;
  uint8_t r, g, b;
  bool visible;
};

// The picture the widgets should make, painted back to front without any of the
// framework: the oracle beside the pinned hash.
RgbImage Expected(const std::vector<Painted>& layers) {
  RgbImage img{800, 600, std::vector<uint8_t>(800 * 600 * 3, 0)};
  for (const Painted& p : layers) {
    if (!p.visible) continue;
    for (int32_t y = p.rect.top; y < p.rect.bottom; ++y)
      for (int32_t x = p.rect.left; x < p.rect.right; ++x) {
        uint8_t* px = &img.rgb[(static_cast<size_t>(y) * 800 + x) * 3];
        px[0] = p.r;
        px[1] = p.g;
        px[2] = p.b;
      }
  }
  return img;
}

class GameWindowFrameTest : public GameWindowFixture {
 protected:
  GVWnd* Filled(DisplayFormat f, const Painted& p) {
    auto* w = new GVWnd;
    w->SetRect(p.rect);
    w->SetBkColor(DevicePixel(f, p.r, p.g, p.b));
    w->Show(p.visible);
    scene_->AddWnd(w);
    return w;
  }
  // The scene draws what changed into the screen's back buffer and presents it.
  GRect Frame() { return scene_->Draw(nullptr, GRect()); }
  void ExpectShows(const std::vector<Painted>& layers, const std::string& name, const std::string& pinned) {
    const RgbImage expected = Expected(layers);
    const RgbImage actual = plat::sim::CaptureWindow(game_);
    const plat::sim::FrameCheck check = plat::sim::CheckFrame(actual, name, pinned);
    if (!check.matches) plat::sim::WritePng(expected, plat::sim::FrameFolder() + "/" + name + ".expected.png");
    EXPECT_TRUE(check.matches) << name << ": hash " << check.actualHash << ", pictures in " << check.actualPath;
    EXPECT_EQ(plat::sim::HashImage(expected), pinned) << name << ": the oracle moved";
  }
};

TEST_F(GameWindowFrameTest, WidgetsShowInTheWindowAndAMoveRepaintsBothPlaces) {
  struct Case {
    DisplayFormat format;
    const char* first;
    const char* moved;
  };
  // Pure channels survive every format unchanged, so the three pictures are one.
  const Case cases[] = {
      {DisplayFormat::Rgb565, "f91cee0ea541d8c2", "724eb48e4b9328e2"},
      {DisplayFormat::Rgb555, "f91cee0ea541d8c2", "724eb48e4b9328e2"},
      {DisplayFormat::Xrgb8888, "f91cee0ea541d8c2", "724eb48e4b9328e2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    if (wnd_) {
      TearDown();
      SetUp();
    }
    plat::sim::ResetDisplay(c.format);
    Open(0);
    ASSERT_EQ(GetParent(game_), hostWnd);
    std::vector<Painted> layers = {
        {GRect(0, 0, 800, 600), 0, 0, 255, true},
        {GRect(100, 100, 300, 300), 255, 0, 0, true},
        {GRect(200, 150, 450, 350), 0, 255, 0, true},
        {GRect(250, 50, 350, 500), 255, 255, 255, false},
    };
    std::vector<GVWnd*> widgets;
    for (const Painted& p : layers) widgets.push_back(Filled(c.format, p));
    // Creation drew the empty scene; the new widgets come with a full frame.
    scene_->SetFullRedraw();

    EXPECT_EQ(Frame(), GRect(0, 0, 800, 600));
    const std::string tag = std::string("game_window_") + (c.format == DisplayFormat::Rgb565   ? "565"
                                                           : c.format == DisplayFormat::Rgb555 ? "555"
                                                                                                : "32");
    ExpectShows(layers, tag + "_first", c.first);

    // The hidden widget stays dirty through full frames; the first partial frame
    // cleans it, repainting its place still stretched to the origin, and redraws the
    // widgets there, which leaves every history at its own rectangle.
    EXPECT_EQ(Frame(), GRect(0, 0, 350, 500));
    widgets[1]->SetRect(GRect(400, 200, 600, 400));
    layers[1].rect = GRect(400, 200, 600, 400);
    EXPECT_EQ(Frame(), GRect(100, 100, 600, 400));
    ExpectShows(layers, tag + "_moved", c.moved);
    EXPECT_EQ(Frame(), GRect());
  }
}

}  // namespace
