// Shared set-up of the sprite-widget tests: sprite files behind a Windows path, the
// sprite-resource manager over them, an effect manager and a back buffer to read.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "WidgetTestSupport.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "support/SpriteFileWriters.h"
#include "support/TempDir.h"
#include "widgets/GVSpriteSupport.h"
#include "widgets/GVWnd.h"

namespace widget_test {

namespace rm = _QLSRsc_MANAGER_;
using testing_support::Bytes;

class SpriteWidgetTest : public DisplayTest {
 protected:
  static constexpr const char* kRoot = "C:\\Sprites\\";
  static constexpr int32_t kBackWidth = 64, kBackHeight = 48;
  void SetUp() override {
    DisplayTest::SetUp();
    plat::sim::MapPathPrefix(kRoot, dir_.path());
    ASSERT_NE(rm::InitSpriteResourceManager(64, kRoot), 0);
    UseFormat(DisplayFormat::Xrgb8888);
  }
  void TearDown() override {
    rm::InitSpriteResourceManager(0, nullptr);
    plat::sim::ClearPathPrefixes();
    DestroyFXManager();
    back_ = nullptr;
    DisplayTest::TearDown();
  }
  // Desktop, effect manager and a black back buffer in one format.
  void UseFormat(DisplayFormat f) {
    format_ = f;
    back_ = nullptr;
    UseDesktop(f);
    ASSERT_EQ(CreateFXManager(FormatCode(f)), 1);
    back_ = MakeSurface(dd_, kBackWidth, kBackHeight);
    Clear();
  }
  static int32_t FormatCode(DisplayFormat f) {
    return f == DisplayFormat::Rgb565 ? 16 : f == DisplayFormat::Rgb555 ? 17 : 32;
  }
  void Clear() {
    RECT all{0, 0, kBackWidth, kBackHeight};
    ASSERT_EQ(FillSurfaceRect(back_, &all, 0, 0), S_OK);
  }
  // Writes a file and gives its Windows path.
  std::string Write(const std::string& name, const Bytes& bytes) {
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
    return std::string(kRoot) + name;
  }
  // The raw pixel of a COLORREF in the current format (channels truncated).
  uint32_t Pixel(COLORREF c) const { return DevicePixel(format_, GetRValue(c), GetGValue(c), GetBValue(c)); }
  uint32_t At(int32_t x, int32_t y) const { return PixelAt(back_, x, y); }
  // Pixels of the back buffer that are not black, as a bounding rectangle.
  GRect Painted() const {
    const std::vector<uint32_t> px = ReadPixels(back_);
    GRect r;
    for (int32_t y = 0; y < kBackHeight; ++y)
      for (int32_t x = 0; x < kBackWidth; ++x) {
        const GRect dot(x, y, x + 1, y + 1);
        if (px[size_t(y * kBackWidth + x)] != 0) r.HasArea() ? GRectUnion(r, r, dot) : r = dot;
      }
    return r;
  }
  // Slot counts of the sprite manager, to check that loads and releases balance.
  int32_t Count(uint32_t handle) {
    rm::K_RscObj* slot = rm::Manager().GetSlot(handle);
    return slot ? slot->Count() : 0;
  }
  static uint32_t Held(const GVWnd& w) { return gv_sprite::HeldHandle(w); }
  GRect Screen() const { return GRect(0, 0, kBackWidth, kBackHeight); }
  testing_support::TempDir dir_;
  DisplayFormat format_ = DisplayFormat::Xrgb8888;
  DDSurface back_;
};

}  // namespace widget_test
