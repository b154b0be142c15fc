// Set-up shared by the seat panel tests: every file the five seat panels load, written
// into the sprite folder, and a scene that makes their children from it. Digit sets
// paint glyph i in its own colour, so a drawn row can be read back as digits.
#pragma once

#include <string>
#include <vector>

#include "graphics/XResEntryMgr.h"
#include "panels/FakePanelScene.h"
#include "widgets/SpriteWidgetFixture.h"

namespace seat_panel_test {

using testing_support::PspFile;
using testing_support::QlaAnimation;
using testing_support::QlaFrame;
using testing_support::SolidSpriteChunk;

constexpr int32_t kGlyphs = 18;
constexpr int32_t kGlyphW = 4, kGlyphH = 6;

// Total digits: red, told apart by green. The placeholder: its eight pure blue (faint
// once blended), every other digit green.
constexpr COLORREF TotalColour(int32_t glyph) { return RGB(255, uint8_t(16 * glyph), 0); }
constexpr COLORREF PlaceholderColour(int32_t glyph) { return glyph == 8 ? RGB(0, 0, 255) : RGB(0, 255, 0); }

inline testing_support::Bytes Glyphs(COLORREF (*colour)(int32_t)) {
  std::vector<testing_support::Bytes> frames;
  for (int32_t i = 0; i < kGlyphs; ++i) frames.push_back(SolidSpriteChunk(32, kGlyphW, kGlyphH, colour(i), 0, 0));
  return PspFile(frames);
}

inline testing_support::Bytes Frames(int32_t count, int32_t w = 4, int32_t h = 4) {
  return PspFile(std::vector(size_t(count), SolidSpriteChunk(32, w, h, RGB(0, 128, 0), 0, 0)));
}

class SeatPanelTest : public widget_test::SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    XResEntryMgr::Global().SetColorKey(Pixel(scene_.textKey));
    QlaAnimation icon{.name = "", .frames = std::vector(9, QlaFrame{.parts = {{}}})};
    for (const char* name : {"Icon/go.qla", "Icon/shake.qla", "Icon/bbuck.qla"})
      Write(name, testing_support::QlaFile(icon, SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
    Write("Icon/bak.psp", Frames(4));
    Write("Userinfo/sun_owner.psp", Frames(2));
    // Two sub-animations, exit then observe, of two 100 ms frames.
    std::vector<QlaAnimation> reserved;
    for (const char* name : {"exit", "observe"})
      reserved.push_back({.name = name, .frames = std::vector(2, QlaFrame{.duration = 10, .parts = {{}}})});
    Write("Userinfo/reserved.qla", testing_support::QlaSetFile(reserved, SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
    const auto plain = [](int32_t i) { return RGB(8, uint8_t(8 * i), 8); };
    for (const char* name : {"jumsu1", "jumsu2", "jumsu_effect0", "jumsu_effect1", "mul", "alert_jumsu"})
      Write(std::string("Jumsu/") + name + ".psp", Glyphs(plain));
    Write("Jumsu/totaljumsu.psp", Glyphs(TotalColour));
    Write("Jumsu/totaljumsu_empty.psp", Glyphs(PlaceholderColour));
    Write("Jumsu/jumtext.psp", Frames(2));
    Write("Jumsu/x.psp", Frames(1));
    Write("Jumsu/totaljumsu_back.psp", Frames(1, 1, 1));
    Write("Jumsu/alert_back.qls", SolidSpriteChunk(32, 4, 4, RGB(0, 128, 0), 0, 0));
  }
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    SpriteWidgetTest::TearDown();
  }
  panel_test::FakePanelScene scene_;
};

}  // namespace seat_panel_test
