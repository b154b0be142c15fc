#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "graphics/PsdSidecar.h"
#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim_files.h"
#include "support/PictureFileWriters.h"
#include "support/TempDir.h"
#include "base/DDSurfacePixel.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVPushBtn.h"
#include "widgets/GVTextWnd.h"

namespace widget_test {
namespace widget_end_to_end_test {

using testing_support::Bytes;
using testing_support::PsdDesc;
using testing_support::PsdLayerDesc;
using testing_support::TgaPicture;

constexpr const char* kRoot = "E:\\Pics\\";
constexpr int32_t kTargetW = 48, kTargetH = 32;
// The guides of every layered picture: layer offsets are measured from (10, 20).
constexpr int32_t kGuideX = 10, kGuideY = 20;

// A device pixel's channels at their own widths.
struct Channels { int32_t r, g, b; };
constexpr uint32_t kBackground = 0x204890;

// A solid opaque layer of w x h whose top-left lies at `offset` from the guides.
PsdLayerDesc SolidLayer(GPoint offset, int32_t w, int32_t h, uint32_t argb, const std::string& name = "layer") {
  PsdLayerDesc l;
  l.left = kGuideX + offset.x;
  l.top = kGuideY + offset.y;
  l.right = l.left + w;
  l.bottom = l.top + h;
  l.name = name;
  l.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), argb);
  return l;
}

// Layer i's colour: distinct in every format, channels kept by 5-bit truncation.
uint32_t LayerColour(int32_t i) {
  return 0xFF000000u | static_cast<uint32_t>(0x08 + 0x18 * i) << 16 | static_cast<uint32_t>(0xF8 - 0x10 * i) << 8 | 0x40u;
}

class WidgetEndToEndTest : public DisplayTest, public testing::WithParamInterface<DisplayFormat> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    UseDesktop(GetParam());
    plat::sim::MapPathPrefix(kRoot, dir_.path());
    mgr().ReleaseAll();
    mgr().SetDirectDraw(dd_.Get());
    key_ = Px(255, 0, 255);
    mgr().SetColorKey(key_);
  }
  void TearDown() override {
    mgr().ReleaseAll();
    plat::sim::ClearPathPrefixes();
    DisplayTest::TearDown();
  }
  static XResEntryMgr& mgr() { return XResEntryMgr::Global(); }
  uint32_t Px(uint8_t r, uint8_t g, uint8_t b) const { return DevicePixel(GetParam(), r, g, b); }
  uint32_t Px(uint32_t rgb) const { return Px(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)); }
  bool Wide() const { return GetParam() == DisplayFormat::Xrgb8888; }
  // Colour bits only: 32-bit pictures may carry a fourth byte.
  uint32_t Colour(uint32_t pixel) const { return Wide() ? pixel & 0xFFFFFFu : pixel; }
  uint32_t ColourAt(const DDSurface& s, int32_t x, int32_t y) const { return Colour(PixelAt(s, x, y)); }
  int32_t GreenBits() const {
    return GetParam() == DisplayFormat::Rgb565 ? 6 : GetParam() == DisplayFormat::Rgb555 ? 5 : 8;
  }
  // 0xRRGGBB cut to the format's channel widths, and back to a device pixel.
  Channels Split(uint32_t rgb) const {
    const int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return Wide() ? Channels{r, g, b} : Channels{r >> 3, g >> (8 - GreenBits()), b >> 3};
  }
  uint32_t Join(Channels c) const {
    if (Wide()) return static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b);
    return static_cast<uint32_t>(c.r << (5 + GreenBits()) | c.g << 5 | c.b);
  }
  // The alpha-plane blend of one pixel: `weight` is the target's share.
  uint32_t Blend(uint32_t rgb, int32_t weight) const {
    const Channels s = Split(rgb), t = Split(kBackground);
    // A full weight leaves the target, a zero weight copies the source.
    auto mix = [&](int32_t sc, int32_t tc) {
      return weight == 255 ? tc : weight == 0 ? sc : (sc * (255 - weight) + tc * weight) >> 8;
    };
    return Join({mix(s.r, t.r), mix(s.g, t.g), mix(s.b, t.b)});
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return std::string(kRoot) + name;
  }
  // The picture and its companion, built the way the game builds it.
  std::string WritePsd(const std::string& name, const std::vector<PsdLayerDesc>& layers) {
    PsdDesc psd;
    psd.width = 64;
    psd.height = 64;
    psd.guides = {{kGuideX * 32, false}, {kGuideY * 32, true}};
    psd.layers = layers;
    const std::string path = Write(name, testing_support::PsdFile(psd));
    EXPECT_EQ(BuildPsdSidecar(path), PsdSidecarBuild::kBuilt) << name;
    return path;
  }
  // Layers 0..count-1: layer i is (2 + i % 3) x 2 at offset (i, i % 2 - 1).
  std::string WriteFrames(const std::string& name, int32_t count) {
    std::vector<PsdLayerDesc> layers;
    for (int32_t i = 0; i < count; ++i) layers.push_back(SolidLayer(FrameOffset(i), FrameSize(i).cx, 2, LayerColour(i)));
    return WritePsd(name, layers);
  }
  static GPoint FrameOffset(int32_t i) { return GPoint(i, i % 2 - 1); }
  static GSize FrameSize(int32_t i) { return GSize(2 + i % 3, 2); }
  uint32_t FramePixel(int32_t i) const {
    const uint32_t c = LayerColour(i);
    return Px(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c));
  }
  DDSurface Target() {
    DDSurface t = MakeSurface(dd_, kTargetW, kTargetH);
    ClearSurface(t, Px(kBackground));
    return t;
  }
  GRect Screen() const { return GRect(0, 0, kTargetW, kTargetH); }
  // A fresh target with `w` drawn on it.
  DDSurface Drawn(GVWnd& w, GRect clip = GRect(0, 0, kTargetW, kTargetH)) {
    DDSurface t = Target();
    EXPECT_EQ(w.Draw(t.Get(), clip), 1);
    return t;
  }
  // Target pixels that are not the background, as one bounding rectangle.
  GRect Painted(const DDSurface& t) const {
    const std::vector<uint32_t> px = ReadPixels(t);
    GRect box;
    for (int32_t y = 0; y < kTargetH; ++y)
      for (int32_t x = 0; x < kTargetW; ++x) {
        const GRect dot(x, y, x + 1, y + 1);
        if (Colour(px[static_cast<size_t>(y * kTargetW + x)]) != Px(kBackground))
          box.HasArea() ? GRectUnion(box, box, dot) : box = dot;
      }
    return box;
  }
  // Entries the manager holds (slots in use).
  static int32_t LiveEntries() {
    int32_t n = 0;
    for (int32_t slot = 0; slot < 256; ++slot) n += mgr().EntryAt(slot) != nullptr;
    return n;
  }
  testing_support::TempDir dir_;
  uint32_t key_ = 0;
};

// The weight of the target for alpha a at level 0: 255 x (1/255 in single precision)
// is a little above 1, so a x that product lies just above a and 255 minus it truncates
// to 254 - a; a = 0 keeps the target (255), a = 255 takes the source (0).
int32_t WeightAtLevelZero(int32_t a) { return a == 0 ? 255 : a == 255 ? 0 : 254 - a; }

TEST_P(WidgetEndToEndTest, TgaDrawsThroughItsAlphaPlanePixelByPixel) {
  // 4 x 2, top row first here; the file stores the bottom row first.
  const uint32_t top[] = {0xFFF0A020, 0x0010F0F0, 0x80F8F8F8, 0x40008000};
  const uint32_t bottom[] = {0xC0FF0000, 0xFF0000FF, 0x01FFFFFF, 0xFEFFFFFF};
  TgaPicture tga;
  tga.width = 4;
  tga.height = 2;
  tga.pixels.assign(std::begin(bottom), std::end(bottom));
  tga.pixels.insert(tga.pixels.end(), std::begin(top), std::end(top));
  const std::string path = Write("glass.tga", testing_support::TgaFile(tga));
  GVDDSWnd w;
  ASSERT_EQ(w.LoadTga(path), 1);
  EXPECT_EQ(std::pair(w.GetAlphaMode(), w.HasColorKey()), std::pair(1, 0));
  EXPECT_EQ(w.GetRect(), GRect(0, 0, 4, 2));
  w.SetPos(GPoint(5, 6));
  for (uint32_t level : {0u, 102u}) {
    SCOPED_TRACE(level);
    w.SetBlendLevel(level);
    DDSurface t = Drawn(w);
    EXPECT_EQ(w.GetLastResult(), S_OK);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 4; ++x) {
        const uint32_t argb = (y == 0 ? top : bottom)[x];
        const int32_t a = static_cast<int32_t>(argb >> 24);
        // Level 0 from the closed form; other levels straight from the definition.
        const int32_t weight = level == 0 ? WeightAtLevelZero(a)
                                          : static_cast<int32_t>(255.0 - a * ((255.0 - level) *
                                                                              static_cast<double>(0.003921569f)));
        const uint32_t want = Blend(argb & 0xFFFFFF, weight);
        EXPECT_EQ(ColourAt(t, 5 + x, 6 + y), want) << "pixel " << x << ", " << y << " alpha " << a;
      }
    EXPECT_EQ(Painted(t), GRect(5, 6, 9, 8));
  }
  // Clipped to the bottom row's right part, the plane is read where the picture is.
  w.SetBlendLevel(0);
  DDSurface clipped = Target();
  ASSERT_EQ(w.Draw(clipped.Get(), GRect(7, 7, 20, 20)), 1);
  const GRect painted = Painted(clipped);
  EXPECT_TRUE(painted.left >= 7 && painted.top >= 7 && painted.right <= 9 && painted.bottom <= 8) << painted;
  EXPECT_EQ(ColourAt(clipped, 7, 7), Blend(bottom[2] & 0xFFFFFF, WeightAtLevelZero(0x01)));
  EXPECT_EQ(ColourAt(clipped, 8, 7), Blend(bottom[3] & 0xFFFFFF, WeightAtLevelZero(0xFE)));
  // Without the flag the picture is copied as it is, alpha 0 included.
  w.SetAlphaMode(0);
  w.SetBlendLevel(0);
  DDSurface t = Drawn(w);
  EXPECT_EQ(ColourAt(t, 6, 6), Px(0x10, 0xF0, 0xF0));
  w.ReleaseImage();
  EXPECT_EQ(LiveEntries(), 0);
}

TEST_P(WidgetEndToEndTest, TwentyFourBitTgaHasNoPlaneAndIsCopied) {
  TgaPicture tga;
  tga.depth = 24;
  tga.width = 2;
  tga.height = 1;
  tga.pixels = {0x00F0A020, 0x00102030};
  GVDDSWnd w;
  ASSERT_EQ(w.LoadTga(Write("flat.tga", testing_support::TgaFile(tga))), 1);
  EXPECT_EQ(w.GetAlphaMode(), 0);
  DDSurface t = Drawn(w);
  EXPECT_EQ(std::pair(ColourAt(t, 0, 0), ColourAt(t, 1, 0)), std::pair(Px(0xF0, 0xA0, 0x20), Px(0x10, 0x20, 0x30)));
  EXPECT_EQ(Painted(t), GRect(0, 0, 2, 1));
}

TEST_P(WidgetEndToEndTest, PsdFrameIsDrawnAtAnchorPlusOffsetOnlyWithTheFlag) {
  const std::string path = WriteFrames("pair.psd", 2);
  GVDDSWnd w;
  ASSERT_EQ(w.LoadPsd(path, 0, 0), 1);
  EXPECT_EQ(std::pair(w.GetFrameOffsetMode(), w.GetFrameCount()), std::pair(1, 2));
  EXPECT_EQ(w.GetRect(), GRect(GPoint() + FrameOffset(0), FrameSize(0)));
  w.SetPos(GPoint(20, 10));
  w.SelectFrame(1);
  for (BOOL offsets : {1, 0}) {
    SCOPED_TRACE(offsets);
    w.SetFrameOffsetMode(offsets);
    const GRect place(GPoint(20, 10) + (offsets ? FrameOffset(1) : GPoint()), FrameSize(1));
    EXPECT_EQ(w.GetRect(), place);
    DDSurface t = Drawn(w);
    EXPECT_EQ(Painted(t), place);
    EXPECT_EQ(ColourAt(t, place.left, place.top), FramePixel(1));
  }
  // Frames chosen without the flag stay at the anchor too.
  w.SelectFrame(0);
  EXPECT_EQ(w.GetRect(), GRect(GPoint(20, 10), FrameSize(0)));
}

// The key the widget wants must reach the picture: transparent layer pixels (stored
// as the screen key) then keep what lies below and miss the pointer.
TEST_P(WidgetEndToEndTest, KeyedPsdLeavesTransparentPixelsAndMissesThem) {
  PsdLayerDesc holed = SolidLayer(GPoint(0, 0), 3, 2, 0xFF30C060);
  holed.pixels[1] = 0x00000000;  // (1, 0) transparent
  const std::string path = WritePsd("holed.psd", {holed});
  GVDDSWnd w;
  ASSERT_EQ(w.LoadPsd(path, 0, 1), 1);
  EXPECT_EQ(w.GetColorKey(), key_);
  w.SetPos(GPoint(4, 4));
  DDSurface t = Drawn(w);
  EXPECT_EQ(std::pair(ColourAt(t, 4, 4), ColourAt(t, 5, 4)), std::pair(Px(0x30, 0xC0, 0x60), Px(kBackground)));
  EXPECT_EQ(std::pair(w.HitTest(4, 4, 3), w.HitTest(5, 4, 3)), std::pair(1, 0));
  // A button made of it takes no click released over the hole.
  GVPushBtn button;
  ASSERT_EQ(button.LoadPsdFrames(path, 0, 1), 1);
  button.SetPos(GPoint(4, 4));
  EXPECT_EQ(button.OnLButtonDown(0, GPoint(4, 4)), 1);
  EXPECT_EQ(button.OnLButtonUp(0, GPoint(5, 4)), 0);
  EXPECT_EQ(button.IsHighlighted(), 0);
  // Without the key the stored key colour is drawn like any other.
  GVDDSWnd plain;
  ASSERT_EQ(plain.LoadPsd(path, 0, 0), 1);
  plain.SetPos(GPoint(4, 4));
  t = Drawn(plain);
  EXPECT_EQ(ColourAt(t, 5, 4), Colour(key_));
}

TEST_P(WidgetEndToEndTest, PsdFrameBlendsThroughItsOwnPlaneInAlphaMode) {
  PsdLayerDesc half = SolidLayer(GPoint(0, 0), 2, 1, 0xFFFFFFFF);
  half.pixels[1] = 0x80FFFFFF;
  const std::string path = WritePsd("half.psd", {SolidLayer(GPoint(0, 0), 2, 1, 0x10FFFFFF), half});
  GVDDSWnd w;
  ASSERT_EQ(w.LoadPsd(path, 0, 0), 1);
  w.SetPos(GPoint(3, 3));
  w.SelectFrame(1);
  DDSurface t = Drawn(w);
  EXPECT_EQ(ColourAt(t, 4, 3), Px(255, 255, 255));  // copied while the flag is off
  w.SetAlphaMode(1);
  t = Drawn(w);
  EXPECT_EQ(ColourAt(t, 3, 3), Px(255, 255, 255));
  // Alpha 128 weighs the target 126 (frame 0's plane, alpha 16, would weigh it 238).
  EXPECT_EQ(ColourAt(t, 4, 3), Blend(0xFFFFFF, 126));
}

TEST_P(WidgetEndToEndTest, TextOverAPsdFrameGivesTheLayeredEntryBack) {
  const std::string path = WriteFrames("layout.psd", 3);
  GVDDSWnd holder;  // keeps the layered entry alive, so its count can be read
  ASSERT_EQ(holder.LoadPsd(path, 0, 0), 1);
  const int32_t layered = holder.GetImage();
  ASSERT_EQ(mgr().EntryAt(layered)->refCount, 1u);
  const int32_t live = LiveEntries();
  GVTextWnd text;
  ASSERT_EQ(text.CreateFromPsdFrame(path, 2, 12, 400, 1), 1);
  EXPECT_EQ(mgr().EntryAt(layered)->refCount, 1u);
  EXPECT_EQ(LiveEntries(), live + 1);  // the text entry only
  ASSERT_NE(text.GetEntry(), nullptr);
  EXPECT_EQ(text.GetEntry()->kind, kEntryText);
  EXPECT_EQ(text.GetRect(), GRect(FrameOffset(2), FrameSize(2)));
  EXPECT_EQ(GetSurfaceRectOf(text.GetSurface()), GRect(GPoint(), FrameSize(2)));
  // A frame the picture lacks holds nothing and takes nothing.
  GVTextWnd missing;
  EXPECT_EQ(missing.CreateFromPsdFrame(path, 3, 12, 400, 0), 0);
  EXPECT_FALSE(missing.HasImage());
  EXPECT_EQ(mgr().EntryAt(layered)->refCount, 1u);
  EXPECT_EQ(LiveEntries(), live + 1);
  // Alone, the layered entry goes when the text widget is made.
  holder.ReleaseImage();
  text.ReleaseImage();
  EXPECT_EQ(LiveEntries(), 0);
  ASSERT_EQ(text.CreateFromPsdFrame(path, 1, 12, 400, 0), 1);
  EXPECT_EQ(LiveEntries(), 1);
  EXPECT_EQ(text.GetEntry()->kind, kEntryText);
  text.ReleaseImage();
  EXPECT_EQ(LiveEntries(), 0);
}

TEST_P(WidgetEndToEndTest, PushButtonShowsFramesSevenSevenNineSevenForItsFourStates) {
  const std::string path = WriteFrames("button.psd", 10);
  GVPushBtn b;
  ASSERT_EQ(b.LoadPsdFrames(path, 7, 9, 0), 1);
  EXPECT_EQ(b.GetStateFrames(), (std::vector<int32_t>{7, 7, 9, 7}));
  EXPECT_EQ(b.GetAlphaMode(), 0);
  b.SetPos(GPoint(12, 12));
  // What a draw shows: the frame's colour over the frame's own place.
  auto shows = [&](int32_t frame, const char* state) {
    SCOPED_TRACE(state);
    DDSurface t = Drawn(b);
    EXPECT_EQ(b.GetFrameIndex(), frame);
    const GRect place(GPoint(12, 12) + FrameOffset(frame), FrameSize(frame));
    EXPECT_EQ(b.GetRect(), place);
    EXPECT_EQ(Painted(t), place);
    EXPECT_EQ(ColourAt(t, place.left, place.top), FramePixel(frame));
  };
  shows(7, "normal");
  const GPoint inside = b.GetRect().TopLeft();
  EXPECT_EQ(b.OnMouseMove(0, inside), 1);
  EXPECT_EQ(b.IsHighlighted(), 1);
  shows(7, "highlighted");
  EXPECT_EQ(b.OnLButtonDown(0, inside), 1);
  shows(9, "pressed");
  EXPECT_EQ(b.OnLButtonUp(0, b.GetRect().TopLeft()), 1);
  shows(7, "released");
  b.Enable(0);
  shows(7, "disabled");
  // A number past the frames gives the picture back.
  const int32_t live = LiveEntries();
  GVPushBtn bad;
  EXPECT_EQ(bad.LoadPsdFrames(path, 7, 10, 0), 0);
  EXPECT_FALSE(bad.HasImage());
  EXPECT_EQ(LiveEntries(), live);
  EXPECT_EQ(mgr().EntryAt(b.GetImage())->refCount, 1u);
}

TEST_P(WidgetEndToEndTest, EntryWithoutASurfaceStillGivesAHandleAndTheWidgetReportsEFail) {
  // A file cut short, a 16-bit one and a grey one.
  auto tga = [&](const char* name, uint8_t type, uint8_t depth, size_t cut) {
    TgaPicture p;
    p.width = p.height = 2;
    p.pixels = {1, 2, 3, 4};
    p.type = type, p.depth = depth, p.cut = cut;
    Write(name, testing_support::TgaFile(p));
  };
  tga("cut.tga", 2, 32, 3);
  tga("sixteen.tga", 2, 16, 0);
  tga("grey.tga", 3, 8, 0);
  Write("nolayers.psd", testing_support::PsdFile(PsdDesc{}));  // no companion beside it
  Write("empty.psd", Bytes{});
  Write("empty.VTi", testing_support::VtiFile({}));
  for (const char* name : {"cut.tga", "sixteen.tga", "grey.tga", "missing.tga", "nolayers.psd", "empty.psd"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(kRoot) + name;
    const bool layered = path.ends_with(".psd");
    GVDDSWnd w;
    w.SetLastResult(S_OK);
    EXPECT_EQ(layered ? w.LoadPsd(path, 0, 1) : w.LoadTga(path), 0);
    EXPECT_EQ(w.GetLastResult(), static_cast<HRESULT>(0x80004005));
    ASSERT_TRUE(w.HasImage());
    const XBaseEntry* e = mgr().EntryAt(w.GetImage());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, layered ? kEntryLayered : kEntryTga);
    EXPECT_FALSE(w.GetSurface());
    // The same through the extension-driven load, and nothing is drawn.
    GVDDSWnd byName;
    EXPECT_EQ(byName.LoadImage(path), 0);
    EXPECT_EQ(byName.GetLastResult(), static_cast<HRESULT>(0x80004005));
    EXPECT_EQ(byName.GetImage(), w.GetImage());  // the empty entry is shared
    DDSurface t = Target();
    EXPECT_EQ(w.Draw(t.Get(), Screen()), 1);
    EXPECT_EQ(Painted(t), GRect());
    byName.ReleaseImage();
    w.ReleaseImage();
    EXPECT_EQ(LiveEntries(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, WidgetEndToEndTest, DesktopFormats(), FormatParam);

}  // namespace widget_test

}  // namespace widget_end_to_end_test
