#include "widgets/GVPushBtn.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "support/TempDir.h"
#include "widgets/GVTextWnd.h"
#include "widgets/GVWS.h"
#include "widgets/WidgetTestSupport.h"

namespace gvpush_btn_test {

using widget_test::BmpPicture;
using widget_test::DevicePixel;
using widget_test::DisplayFormat;

constexpr uint32_t kMagenta = 0xFF00FF;
// One colour per cell column, so a drawn cell can be told by its pixels.
constexpr uint32_t kCellColours[] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};

class GVPushBtnTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr& m = XResEntryMgr::Global();
    m.ReleaseAll();
    m.SetDirectDraw(dd_.Get());
    m.SetColorKey(DevicePixel(DisplayFormat::Xrgb8888, 255, 0, 255));
  }
  void TearDown() override {
    GVPushBtn::SetHoverTextSwitch(0);
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  // A strip of `columns` x `rows` cells of w x h, each filled with its column's colour;
  // the top-left 4 x 4 pixels of every cell are the key colour.
  std::string Strip(int32_t w, int32_t h, int32_t columns, int32_t rows) {
    BmpPicture pic(w * columns, h * rows, 24);
    for (int32_t y = 0; y < pic.height; ++y)
      for (int32_t x = 0; x < pic.width; ++x)
        pic.pixels.push_back(x % w < 4 && y % h < 4 ? kMagenta : kCellColours[(x / w) % 4]);
    const std::string name = "strip" + std::to_string(files_++) + ".bmp";
    const auto bytes = widget_test::WriteBmp(pic);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return dir_ / name;
  }
  std::unique_ptr<GVPushBtn> Button(int32_t columns, int32_t rows, int32_t cellW = 50, int32_t cellH = 30) {
    auto b = std::make_unique<GVPushBtn>();
    EXPECT_EQ(b->LoadImage(Strip(cellW, cellH, columns, rows), kMagenta, rows, columns), 1);
    return b;
  }
  static GRect SourceAfter(GVPushBtn& b) {
    b.UpdateFrame();
    return b.GetSourceRect();
  }
  testing_support::TempDir dir_;
  int files_ = 0;
  const GPoint inside_{25, 20};
  const GPoint outside_{300, 300};
  const GPoint keyPixel_{1, 1};
};

TEST_F(GVPushBtnTest, ClickIsAPressReleasedOverAnOpaquePixel) {
  auto b = Button(4, 1);
  EXPECT_EQ(b->OnLButtonDown(0, inside_), 1);
  EXPECT_EQ(b->IsPressed(), 1);
  for (GPoint up : {inside_, keyPixel_, outside_}) {
    if (up != inside_) b->OnLButtonDown(0, inside_);
    EXPECT_EQ(b->OnLButtonUp(0, up), up == inside_);
    EXPECT_EQ(b->IsPressed(), 0);
    // Highlighted after the click.
    EXPECT_EQ(SourceAfter(*b), up == inside_ ? GRect(50, 0, 100, 30) : GRect(0, 0, 50, 30));
  }
  // Pressed elsewhere: the button never saw the press.
  EXPECT_EQ(b->OnLButtonUp(0, inside_), 0);
}

TEST_F(GVPushBtnTest, PointerOverAndAwaySetsAndClearsTheHover) {
  auto b = Button(4, 1);
  EXPECT_EQ(b->OnMouseMove(0, inside_), 1);
  EXPECT_EQ(b->IsHover(), 1);
  EXPECT_EQ(b->OnMouseMove(0, keyPixel_), 1);
  EXPECT_EQ((std::vector<BOOL>{b->IsHover(), b->IsHighlighted()}), (std::vector<BOOL>{0, 0}));
  b->OnLButtonDown(0, inside_);
  b->OnMouseMove(0, outside_);
  EXPECT_EQ(b->IsPointerInside(), 0);
  b->OnMouseMove(0, inside_);
  EXPECT_EQ(SourceAfter(*b), GRect(100, 0, 150, 30));  // back on: pressed again
  b->Enable(0);
  EXPECT_EQ(b->OnMouseMove(0, inside_), 0);
  EXPECT_EQ((std::vector<BOOL>{b->IsPressed(), b->IsHover()}), (std::vector<BOOL>{0, 0}));
}

TEST_F(GVPushBtnTest, LoadsRefuseBadCountsAndKeepTheManagerBalanced) {
  const std::string strip = Strip(50, 30, 4, 1);
  const struct { int32_t rows, columns; } refused[] = {{0, 4}, {1, 0}, {-1, 4}, {1, -2}};
  for (const auto& r : refused) {
    GVPushBtn b;
    EXPECT_EQ(b.LoadImage(strip, kMagenta, r.rows, r.columns), 0);
    EXPECT_FALSE(b.HasImage());
  }
  GVPushBtn b;
  EXPECT_EQ(b.LoadImage(dir_ / "missing.bmp", kMagenta, 1, 4), 0);
  ASSERT_EQ(b.LoadImage(strip, kMagenta, 1, 4), 1);
  const int32_t first = b.GetImage();
  ASSERT_EQ(b.LoadImage(strip, kMagenta, 1, 2), 1);  // the same file: one shared entry
  EXPECT_EQ(b.GetImage(), first);
  EXPECT_EQ(XResEntryMgr::Global().EntryAt(first)->refCount, 1u);
  EXPECT_EQ(b.GetRect(), GRect(0, 0, 100, 30));
}

TEST_F(GVPushBtnTest, HoverTextIsOffByDefaultAndNearTheBottomGoesAboveAndFollowsThePointer) {
  GVWS ws;
  auto b = Button(4, 1);
  EXPECT_EQ(b->SetTooltip(&ws, nullptr, "Help", 0xFFFFFF, 0, 1), 1);
  EXPECT_EQ(b->GetHoverText(), nullptr);
  EXPECT_TRUE(ws.GetWndList().empty());
  GVPushBtn::SetHoverTextSwitch(1);
  b->SetPos(GPoint(780, 440));  // below would pass y = 472, right would pass x = 800
  ASSERT_EQ(b->SetTooltip(&ws, nullptr, "Help", 0xFFFFFF, 0, 1), 1);
  GVTextWnd* tip = b->GetHoverText();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(ws.GetTopWnd(), tip);
  const GRect r = tip->GetRect();
  EXPECT_GT(r.Height(), 0);
  EXPECT_EQ(GPoint(r.right, r.bottom), GPoint(800, 440 - 2));
  EXPECT_EQ((std::vector<BOOL>{tip->IsVisible(), tip->IsEnabled()}), (std::vector<BOOL>{0, 0}));
  EXPECT_EQ(tip->GetText(), "Help");
  EXPECT_EQ(tip->GetTextFormat(), DT_CENTER | DT_VCENTER);
  EXPECT_EQ(b->SetTooltip(&ws, nullptr, "Again", 0xFFFFFF, 0, 1), 1);  // one per button
  EXPECT_EQ(b->GetHoverText(), tip);
  b->OnMouseMove(0, GPoint(805, 460));
  EXPECT_EQ(tip->IsVisible(), 1);
  b->Show(0);
  EXPECT_EQ(tip->IsVisible(), 0);
}

TEST_F(GVPushBtnTest, EachStateShowsItsCell) {
  using Setup = std::function<void(GVPushBtn&)>;
  const Setup normal = [](GVPushBtn&) {};
  const Setup hovered = [&](GVPushBtn& b) { b.OnMouseMove(0, inside_); };
  const Setup pressed = [&](GVPushBtn& b) { b.OnLButtonDown(0, inside_); };
  const Setup draggedOff = [&](GVPushBtn& b) { b.OnLButtonDown(0, inside_); b.OnMouseMove(0, outside_); };
  const Setup disabled = [](GVPushBtn& b) { b.Enable(0); };
  const Setup rowOneHovered = [&](GVPushBtn& b) { b.SetRow(1); b.OnMouseMove(0, inside_); };
  const struct { const char* what; int32_t columns, rows; Setup setup; GRect source; } cases[] = {
      {"4: normal", 4, 1, normal, GRect(0, 0, 50, 30)},
      {"4: highlighted", 4, 1, hovered, GRect(50, 0, 100, 30)},
      {"4: pressed inside", 4, 1, pressed, GRect(100, 0, 150, 30)},
      {"4: pressed, dragged off", 4, 1, draggedOff, GRect(50, 0, 100, 30)},
      {"4: disabled", 4, 1, disabled, GRect(150, 0, 200, 30)},
      {"4 x 2: row 1 highlighted", 4, 2, rowOneHovered, GRect(50, 30, 100, 60)},
      {"2: normal", 2, 1, normal, GRect(0, 0, 50, 30)},
      {"2: highlighted", 2, 1, hovered, GRect(50, 0, 100, 30)},
      {"2: pressed inside", 2, 1, pressed, GRect(50, 0, 100, 30)},
      {"2: disabled", 2, 1, disabled, GRect(0, 0, 50, 30)},
      {"1: pressed", 1, 1, pressed, GRect(0, 0, 50, 30)},
      {"1 x 2: row 1 disabled", 1, 2, [](GVPushBtn& b) { b.SetRow(1); b.Enable(0); }, GRect(0, 0, 50, 30)},
      {"3: source left alone", 3, 1,
       [&](GVPushBtn& b) { b.SetSourceRect(GRect(7, 7, 9, 9)); b.OnMouseMove(0, inside_); }, GRect(7, 7, 9, 9)},
  };
  for (const auto& c : cases) {
    auto b = Button(c.columns, c.rows);
    c.setup(*b);
    EXPECT_EQ(SourceAfter(*b), c.source) << c.what;
  }
}

TEST_F(GVPushBtnTest, RightButtonIsTakenAndChangesNothing) {
  auto b = Button(4, 1);
  b->OnMouseMove(0, inside_);
  const GRect before = SourceAfter(*b);
  EXPECT_EQ(b->OnRButtonDown(0, inside_), 1);
  EXPECT_EQ(b->OnRButtonUp(0, inside_), 1);
  EXPECT_EQ(SourceAfter(*b), before);
  EXPECT_EQ(b->IsPressed(), 0);
  b->Enable(0);
  EXPECT_EQ(b->OnRButtonDown(0, inside_), 0);
  b->Enable(1);
  b->Show(0);
  EXPECT_EQ(b->OnRButtonUp(0, inside_), 0);
  EXPECT_EQ(b->OnLButtonDown(0, inside_), 0);
}

TEST_F(GVPushBtnTest, FrameListsWidenToTheFourStates) {
  using Frames = std::array<int32_t, 4>;
  EXPECT_EQ(GVPushBtn::WidenStateFrames({5}), (Frames{5, 5, 5, 5}));
  EXPECT_EQ(GVPushBtn::WidenStateFrames({7, 9}), (Frames{7, 7, 9, 7}));
  EXPECT_EQ(GVPushBtn::WidenStateFrames({1, 2, 3}), (Frames{1, 2, 3, 1}));
  EXPECT_EQ(GVPushBtn::WidenStateFrames({1, 2, 3, 4}), (Frames{1, 2, 3, 4}));

  GVPushBtn b;
  EXPECT_EQ(b.LoadPsdFrames("a.psd", std::vector<int32_t>{}, 1), 0);
  EXPECT_EQ(b.LoadPsdFrames("a.psd", std::vector<int32_t>{1, 2, 3, 4, 5}, 1), 0);
  // A layered picture that cannot be read has no frames: nothing is held.
  EXPECT_EQ(b.LoadPsdFrames("a.psd", 7, 9, 1), 0);
  EXPECT_FALSE(b.HasImage());
  EXPECT_TRUE(b.GetStateFrames().empty());
}

}  // namespace gvpush_btn_test
