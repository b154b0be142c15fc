// A frame the real system showed against the headless run's frame of the same moment.
// The places where text is drawn come from a third frame, the headless run's with every
// text run drawn as marked cells: where that frame differs from the plain one, text
// stands. The two systems' text renderers may differ there; elsewhere every pixel must
// agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

// 3 bytes per pixel, rows top-down.
struct ComparedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int32_t pixels = 0;                            // differing pixels inside
};

struct FrameDifference {
  bool comparable = false;    // same sizes throughout
  int64_t pixels = 0;         // of the frame
  int64_t differing = 0;      // anywhere
  int64_t displaced = 0;      // outside text, but explained by a sprite displaced within the reach
  int64_t outsideText = 0;    // outside the text places, not so explained
  std::vector<PixelBox> places;  // where they differ outside text, largest first
  double Share() const { return pixels ? double(differing) / double(pixels) : 1.0; }
  double OutsideShare() const { return pixels ? double(outsideText) / double(pixels) : 1.0; }
};

// The text places: pixels where `plain` and `marked` differ, grown by `marginX` and
// `marginY` on each side (the other renderer's glyphs run wider or taller). One byte
// per pixel, 1 inside. Empty when the sizes differ.
std::vector<uint8_t> TextPlaces(const ComparedImage& plain, const ComparedImage& marked, int marginX, int marginY);

// Compares pixel by pixel. A pixel that differs outside the text places still counts as
// the same when one frame has the other's colour there within `reach` pixels of it: the
// module places moving cards a pixel off at random, from a seed each system draws from
// its own clock, so the same card may stand up to two pixels apart in the two frames.
// One way is enough, as a card moved off uncovers a line of the table that the other
// frame hides whole; a card that is missing or wrong still differs across its inside,
// only a band `reach` wide round its edge is taken as displaced. The differences left
// are gathered into boxes of `cell` x `cell` tiles joined where they touch.
FrameDifference CompareFrames(const ComparedImage& real, const ComparedImage& headless,
                              const std::vector<uint8_t>& textPlaces, int cell, int reach = 0);

std::string DescribeBox(const PixelBox& box);

// Pixels of the transparent key colour, magenta, or within `kKeyTolerance` of it in
// every channel: a keyed surface's pixel that reached the screen, whatever the display's
// depth widened it to, or one that a glyph's faint edge barely covers (the 16-bit key
// comes back as 248 or 255, and a text shadow's outermost edge over the key as 240).
constexpr int kKeyTolerance = 15;
int64_t KeyColourPixels(const ComparedImage& image);

}  // namespace testhost
