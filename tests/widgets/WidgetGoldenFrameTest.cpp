// Every widget kind on one 320 x 200 screen through the window system, in 5-6-5, 5-5-5
// and 32-bit, by pinned hash (a mismatch writes PNGs); hardware-copied pictures against
// a painted oracle, dirty-rectangle frames (changes, edges) against a full redraw.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SpriteWidgetFixture.h"
#include "graphics/PsdSidecar.h"
#include "graphics/XResEntryMgr.h"
#include "plat/gdi_text.h"
#include "plat/time.h"
#include "support/PictureFileWriters.h"
#include "base/DDSurfacePixel.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVPushBtn.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"
#include "widgets/GVWS.h"

namespace widget_test {
namespace widget_golden_frame_test {

using plat::sim::RgbImage;

constexpr int32_t kScreenW = 320, kScreenH = 200;
constexpr int32_t kTile = 16;
constexpr uint32_t kMagenta = 0xFF00FF;  // 0xRRGGBB, the key colour in the BMP files
constexpr uint32_t kTick = 50;

uint32_t TilePixel(int32_t x, int32_t y) {
  if (x == y) return 0x506080;
  return ((x / 4 + y / 4) % 2) ? 0x304860 : 0x203040;
}
// A disc of colour gradients on the key.
uint32_t PlainPixel(int32_t x, int32_t y) {
  const int32_t dx = 2 * x - 23, dy = 2 * y - 15;
  if (dx * dx + dy * dy > 256) return kMagenta;
  return static_cast<uint32_t>(40 + 8 * x) << 16 | static_cast<uint32_t>(200 - 10 * y) << 8 | 0x80;
}
uint32_t StretchPixel(int32_t x, int32_t y) {
  if ((x == 0 && y == 0) || (x == 7 && y == 5)) return kMagenta;
  return static_cast<uint32_t>(30 * x) << 16 | static_cast<uint32_t>(40 * y) << 8 | 200;
}
uint32_t OpacityPixel(int32_t x, int32_t y) {
  if (x >= 10 && x < 14 && y >= 6 && y < 10) return kMagenta;
  return (x / 3) % 2 ? 0xF0F0F0 : 0xE02010;
}
// Four cells of 40 x 24 (normal, highlighted, pressed, disabled), corners keyed.
uint32_t StripPixel(int32_t x, int32_t y) {
  const int32_t cx = x % 40;
  if ((cx < 2 || cx >= 38) && (y < 2 || y >= 22)) return kMagenta;
  static const uint32_t kCells[] = {0x3060C0, 0x50A0F0, 0x204080, 0x808080};
  return (cx < 3 || cx >= 37 || y < 3 || y >= 21) ? 0xF0F0F0 : kCells[x / 40];
}

testing_support::Bytes Bmp(int32_t w, int32_t h, uint32_t (*pixel)(int32_t, int32_t)) {
  std::vector<uint32_t> px;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) px.push_back(pixel(x, y));
  return WriteBmp(BmpPicture(w, h, 24, px));
}

// 32 x 16: colour down, alpha across from 0 to 255.
testing_support::Bytes GlassTga() {
  testing_support::TgaPicture tga;
  tga.width = 32;
  tga.height = 16;
  for (int32_t row = 15; row >= 0; --row)  // the file's bottom row first
    for (int32_t x = 0; x < 32; ++x) {
      const uint32_t a = x == 31 ? 255u : static_cast<uint32_t>(8 * x);
      tga.pixels.push_back(a << 24 | 0xFF0000u | static_cast<uint32_t>(16 * row) << 8 | static_cast<uint32_t>(8 * x));
    }
  return testing_support::TgaFile(tga);
}

// Three 30 x 20 button frames with transparent corners, each one pixel further down.
testing_support::Bytes ButtonPsd() {
  testing_support::PsdDesc psd;
  psd.width = 64;
  psd.height = 64;
  psd.guides = {{10 * 32, false}, {10 * 32, true}};
  const uint32_t colours[] = {0xFF2E8B57, 0xFF3CB371, 0xFF006400};
  for (int32_t i = 0; i < 3; ++i) {
    testing_support::PsdLayerDesc l;
    l.left = 10;
    l.top = 10 + i;
    l.right = l.left + 30;
    l.bottom = l.top + 20;
    l.name = "0.1";
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const bool corner = (x < 3 || x >= 27) && (y < 3 || y >= 17);
        l.pixels.push_back(corner ? 0u : (x == 0 || y == 0 || x == 29 || y == 19) ? 0xFFFFFFFFu : colours[i]);
      }
    psd.layers.push_back(l);
  }
  return testing_support::PsdFile(psd);
}

testing_support::Bytes Digits() {
  std::vector<testing_support::Bytes> glyphs;
  for (int32_t i = 0; i < 18; ++i)
    glyphs.push_back(testing_support::SolidSpriteChunk(32, 5, 7, RGB(uint8_t(0x30 + 12 * i), 0xD0, uint8_t(0xF0 - 10 * i)),
                                                       0, 0, 2, 3));
  return testing_support::PspFile(glyphs);
}

testing_support::Bytes Cards() {
  return testing_support::PspFile({testing_support::SolidSpriteChunk(32, 10, 14, RGB(0xE0, 0xE0, 0xD0), 5, 7, 1, 1),
                                   testing_support::SolidSpriteChunk(32, 12, 8, RGB(0xC0, 0x30, 0x30), 0, 0),
                                   testing_support::SolidSpriteChunk(32, 6, 6, RGB(0x30, 0x30, 0xC0), 3, 3, 2, 2)});
}

testing_support::Bytes Walker() {
  using testing_support::QlaFrame;
  testing_support::QlaAnimation a;
  a.name = "walker";
  QlaFrame f0, f1, f2;
  f0.duration = f1.duration = f2.duration = 5;
  f0.parts = {{0, 0, 0}};
  f1.parts = {{0, 6, 2}, {1, 0, 10}};
  f2.parts = {{1, 12, 0}};
  a.frames = {f0, f1, f2};
  testing_support::Bytes sprites = testing_support::SolidSpriteChunk(32, 10, 8, RGB(0xF0, 0xC0, 0x20), 0, 0, 4, 4);
  const testing_support::Bytes second = testing_support::SolidSpriteChunk(32, 6, 6, RGB(0x20, 0xC0, 0xF0), 0, 0);
  sprites.insert(sprites.end(), second.begin(), second.end());
  return testing_support::QlaFile(a, sprites);
}

// Per format, the pinned hashes of the first and second frame and of the edge frame.
struct Pinned { DisplayFormat format; const char* first; const char* second; const char* edges; };

class WidgetGoldenFrameTest : public SpriteWidgetTest, public testing::WithParamInterface<Pinned> {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    UseFormat(GetParam().format);
    mgr().ReleaseAll();
    mgr().SetDirectDraw(dd_.Get());
    key_ = Px(kMagenta);
    mgr().SetColorKey(key_);
    ws_ = std::make_unique<GVWS>();
    ws_->SetRect(0, 0, kScreenW, kScreenH);
    screen_ = MakeSurface(dd_, kScreenW, kScreenH);
    ClearSurface(screen_, 0);
  }
  void TearDown() override {
    ws_.reset();  // the widgets give their pictures back while the managers live
    screen_ = nullptr;
    mgr().ReleaseAll();
    SpriteWidgetTest::TearDown();
  }
  static XResEntryMgr& mgr() { return XResEntryMgr::Global(); }
  uint32_t Px(uint32_t rgb) const {
    return DevicePixel(GetParam().format, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  template <class W>
  W* Add(W* w) {
    ws_->AddWnd(w);
    return w;
  }
  // Every widget kind; the window system owns them.
  void BuildScreen() {
    auto* back = Add(new GVDDSWnd);
    ASSERT_EQ(back->LoadImage(Write("tile.bmp", Bmp(kTile, kTile, TilePixel))), 1);
    back->SetTile();
    back->SetRect(GRect(0, 0, kScreenW, kScreenH));
    plain_ = Add(new GVDDSWnd);
    ASSERT_EQ(plain_->LoadImage(Write("plain.bmp", Bmp(24, 16, PlainPixel)), key_), 1);
    plain_->SetPos(GPoint(8, 8));
    stretched_ = Add(new GVDDSWnd);
    ASSERT_EQ(stretched_->LoadImage(Write("stretch.bmp", Bmp(8, 6, StretchPixel)), key_), 1);
    stretched_->SetStretch();
    stretched_->SetRect(GRect(40, 8, 80, 38));
    faded_ = Add(new GVDDSWnd);
    ASSERT_EQ(faded_->LoadImage(Write("faded.bmp", Bmp(24, 16, OpacityPixel)), key_), 1);
    faded_->SetOpacity(60);
    faded_->SetPos(GPoint(88, 8));
    glass_ = Add(new GVDDSWnd);
    ASSERT_EQ(glass_->LoadTga(Write("glass.tga", GlassTga())), 1);
    glass_->SetPos(GPoint(120, 8));
    sprite_ = Add(new GVQLSWnd);
    ASSERT_EQ(sprite_->Load(Write("gem.qls", testing_support::SolidSpriteChunk(32, 12, 10, RGB(0x90, 0xF0, 0x60), 6, 5,
                                                                                3, 3))
                                .c_str()),
              1);
    sprite_->SetPos(180, 16);
    cards_ = Add(new GVPSPWnd);
    ASSERT_EQ(cards_->Load(Write("cards.psp", Cards()).c_str()), 1);
    cards_->SetFrame(1);
    cards_->SetPos(204, 12);
    walker_ = Add(new GVQLAniWnd);
    ASSERT_EQ(walker_->Load(Write("walker.qla", Walker()), 250, 10), 1);
    walker_->Play(-1, 0);
    text_ = Add(new GVTextWnd);
    ASSERT_EQ(text_->Create(SIZE{120, 20}, key_, 14, 700), 1);
    text_->SetPos(GPoint(8, 48));
    text_->SetTextColor(RGB(0xFF, 0xE0, 0x40));
    text_->SetTextFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    text_->SetText("Golden 123");
    korean_ = Add(new GVTextWnd);
    ASSERT_EQ(korean_->Create(SIZE{90, 20}, key_, 14, 400), 1);
    korean_->SetPos(GPoint(136, 48));
    korean_->SetTextColor(RGB(0xFF, 0xFF, 0xFF));
    korean_->SetText("점수 판돈");
    strip_ = Add(new GVPushBtn);
    ASSERT_EQ(strip_->LoadImage(Write("strip.bmp", Bmp(160, 24, StripPixel)), key_, 1, 4), 1);
    strip_->SetPos(GPoint(8, 76));
    layered_ = Add(new GVPushBtn);
    const std::string psd = Write("button.psd", ButtonPsd());
    ASSERT_EQ(BuildPsdSidecar(psd), PsdSidecarBuild::kBuilt);
    ASSERT_EQ(layered_->LoadPsdFrames(psd, 0, 1, 2, 1), 1);
    layered_->SetPos(GPoint(60, 76));
    light_ = Add(new GVLightTextWnd);
    ASSERT_EQ(light_->Create(SIZE{110, 18}, GVWnd::kNoColorKey, 12, 400), 1);
    light_->SetBkColor(Px(0x102030));
    light_->SetTextColor(RGB(0xC0, 0xFF, 0xC0));
    light_->SetTextFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    light_->SetText("Light text 42");
    light_->SetPos(GPoint(130, 80));
    number_ = Add(new GVPSPNumberWnd);
    ASSERT_EQ(number_->Load(Write("digits.psp", Digits()).c_str(), 8, 112, 120, 9), 1);
    number_->SetStyle(GVPSPNumberWnd::kThousands | GVPSPNumberWnd::kRightAligned | GVPSPNumberWnd::kMiddle, 1);
    number_->SetNumber(1234567);
    box_ = Add(new GVBoxWnd);
    box_->Create(150, 110, 60, 30, RGB(0x80, 0x40, 0x20), 12);
    box_->SetBorder(RGB(0xF8, 0xF8, 0xF8), RGB(0x20, 0x20, 0x40), 0);
    round_ = Add(new GVBoxWnd);
    round_->Create(220, 110, 40, 20, RGB(0x20, 0x60, 0x20), 0);
    round_->SetBorder(RGB(0xC0, 0xF0, 0xC0), RGB(0x00, 0x30, 0x00), 1);
  }
  // What the hardware copies, painted without the widgets: the tiles everywhere and
  // the plain and stretched pictures with their keys; inside the other widgets the
  // frame itself stands in.
  std::vector<uint32_t> Oracle(const std::vector<uint32_t>& actual) {
    std::vector<uint32_t> px(static_cast<size_t>(kScreenW) * kScreenH);
    auto at = [&](int32_t x, int32_t y) -> uint32_t& { return px[static_cast<size_t>(y) * kScreenW + x]; };
    for (int32_t y = 0; y < kScreenH; ++y)
      for (int32_t x = 0; x < kScreenW; ++x) at(x, y) = Px(TilePixel(x % kTile, y % kTile));
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 24; ++x)
        if (PlainPixel(x, y) != kMagenta) at(8 + x, 8 + y) = Px(PlainPixel(x, y));
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x)  // 5 x 5 blocks
        if (StretchPixel(x / 5, y / 5) != kMagenta) at(40 + x, 8 + y) = Px(StretchPixel(x / 5, y / 5));
    for (GVWnd* w : ws_->GetWndList()) {
      if (w == ws_->GetBottomWnd() || w == plain_ || w == stretched_) continue;
      GRect r;
      GRectIntersection(r, w->GetRect(), GRect(0, 0, kScreenW, kScreenH));
      for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) at(x, y) = actual[static_cast<size_t>(y) * kScreenW + x];
    }
    return px;
  }
  // The picture `expected` as "<name>.actual.png" beside the frame's own pictures.
  static void WriteBeside(const DDSurface& expected, const DDSurface& actual, const std::string& name) {
    plat::sim::CheckFrame(plat::sim::CaptureSurface(expected.Get()), name,
                          plat::sim::HashImage(plat::sim::CaptureSurface(actual.Get())));
  }
  // The screen as it stands against the same state drawn whole on a fresh buffer.
  void ExpectSameAsAFullRedraw(const std::string& tag) {
    DDSurface whole = MakeSurface(dd_, kScreenW, kScreenH);
    ClearSurface(whole, 0);
    ws_->SetFullRedraw();
    ws_->Draw(whole.Get(), GRect());
    const bool same = ReadPixels(whole) == ReadPixels(screen_);
    EXPECT_TRUE(same) << tag << ": the dirty-rectangle frame differs from a full redraw";
    if (!same) {
      WriteBeside(whole, screen_, tag + "_full_redraw");
      WriteBeside(screen_, whole, tag + "_dirty_rectangles");
    }
  }
  void ExpectFrame(const DDSurface& s, const std::string& name, const char* pinned) {
    const plat::sim::FrameCheck check = plat::sim::CheckFrame(plat::sim::CaptureSurface(s.Get()), name, pinned);
    EXPECT_TRUE(check.matches) << name << ": hash " << check.actualHash << ", picture in " << check.actualPath;
  }
  std::unique_ptr<GVWS> ws_;
  DDSurface screen_;
  uint32_t key_ = 0;
  GVDDSWnd *plain_ = nullptr, *stretched_ = nullptr, *faded_ = nullptr, *glass_ = nullptr;
  GVTextWnd *text_ = nullptr, *korean_ = nullptr;
  GVBoxWnd *box_ = nullptr, *round_ = nullptr;
  GVPushBtn *strip_ = nullptr, *layered_ = nullptr;
  GVQLSWnd* sprite_ = nullptr;
  GVPSPWnd* cards_ = nullptr;
  GVQLAniWnd* walker_ = nullptr;
  GVLightTextWnd* light_ = nullptr;
  GVPSPNumberWnd* number_ = nullptr;
};

TEST_P(WidgetGoldenFrameTest, EveryWidgetKindOnOneScreenThenADirtyRectangleFrame) {
  BuildScreen();
  if (HasFatalFailure()) return;
  const std::string tag = std::string("widget_golden_") + FormatName(GetParam().format);
  ASSERT_EQ(ws_->Draw(screen_.Get(), GRect()), GRect(0, 0, kScreenW, kScreenH));
  const std::vector<uint32_t> first = ReadPixels(screen_);
  const std::vector<uint32_t> oracle = Oracle(first);
  size_t wrong = 0, firstWrong = 0;
  for (size_t i = 0; i < first.size(); ++i)
    if (first[i] != oracle[i] && wrong++ == 0) firstWrong = i;
  EXPECT_EQ(wrong, 0u) << "first at (" << firstWrong % kScreenW << ", " << firstWrong / kScreenW << ")";
  ExpectFrame(screen_, tag + "_first", GetParam().first);
  // Widgets whose draw leaves them dirty (tiles, stretches) are cleaned by the first
  // partial frame; then an unchanged screen presents nothing.
  ws_->Draw(screen_.Get(), GRect());
  EXPECT_EQ(ws_->Draw(screen_.Get(), GRect()), GRect());
  EXPECT_EQ(ReadPixels(screen_), first);
  // The next frame of play and a change in every kind that has state.
  for (int32_t tick = 0; tick < 4 && walker_->GetFrame() != 1; ++tick) {
    plat::sim::AdvanceClock(kTick);
    walker_->Update();
  }
  ASSERT_EQ(walker_->GetFrame(), 1);
  EXPECT_EQ(strip_->OnLButtonDown(0, strip_->GetRect().TopLeft() + GSize(20, 12)), 1);
  EXPECT_EQ(layered_->OnMouseMove(0, layered_->GetRect().TopLeft() + GSize(15, 10)), 1);
  text_->SetText("Changed 45");
  light_->SetText("Light text 43");
  number_->SetNumber(-98765);
  cards_->SetFrame(2);
  sprite_->SetPos(186, 20);
  box_->SetFill(RGB(0x20, 0x40, 0x80), 20);
  box_->SetDirty(1);
  const GRect area = ws_->Draw(screen_.Get(), GRect());
  EXPECT_TRUE(area.HasArea());
  EXPECT_NE(area, GRect(0, 0, kScreenW, kScreenH));
  ExpectFrame(screen_, tag + "_second", GetParam().second);
  ExpectSameAsAFullRedraw(tag + "_second");
}

TEST_P(WidgetGoldenFrameTest, WidgetsPartlyOffEveryEdgeDrawByDirtyRectanglesAsWhole) {
  BuildScreen();
  if (HasFatalFailure()) return;
  ws_->Draw(screen_.Get(), GRect());
  ws_->Draw(screen_.Get(), GRect());
  // Every kind pushed over one of the four edges, the stretch and the blends included.
  stretched_->SetRect(GRect(-20, 8, 20, 38));
  faded_->SetPos(GPoint(-10, 190));
  glass_->SetPos(GPoint(300, 190));
  text_->SetPos(GPoint(-30, 48));
  korean_->SetPos(GPoint(250, -6));
  layered_->SetPos(GPoint(300, 76));
  strip_->SetPos(GPoint(290, 150));
  light_->SetPos(GPoint(-50, 80));
  sprite_->SetPos(2, 196);
  cards_->SetPos(318, 100);
  walker_->SetPos(GPoint(312, -4));
  number_->SetPos(GPoint(-40, 196));
  box_->SetRect(GRect(290, 170, 350, 210));
  round_->SetRect(GRect(-10, -10, 30, 10));
  ws_->Draw(screen_.Get(), GRect());
  const std::string tag = std::string("widget_golden_") + FormatName(GetParam().format) + "_edges";
  ExpectFrame(screen_, tag, GetParam().edges);
  ExpectSameAsAFullRedraw(tag);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WidgetGoldenFrameTest,
    testing::Values(Pinned{DisplayFormat::Rgb565, "6cd090f85198c4c5", "0925a3fe7ba54791", "e340262d5f6873ba"},
                    Pinned{DisplayFormat::Rgb555, "d99a10d157571f14", "43ac0906918d5d8a", "7c8ca75584262b8c"},
                    Pinned{DisplayFormat::Xrgb8888, "677b5d41a2a37efb", "ca2c89b6f4eb7440", "003294d9c6c8f549"}),
    [](const testing::TestParamInfo<Pinned>& info) { return std::string("f") + FormatName(info.param.format); });

}  // namespace widget_test

}  // namespace widget_golden_frame_test
