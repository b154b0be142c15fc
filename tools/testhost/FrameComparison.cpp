// The text map, the pixel comparison and its differing places.
#include "testhost/FrameComparison.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace testhost {

namespace {

constexpr size_t kChannels = 3;

bool SameSize(const ComparedImage& a, const ComparedImage& b) {
  return a.width == b.width && a.height == b.height && a.width > 0 && a.height > 0 &&
         a.rgb.size() == size_t(a.width) * size_t(a.height) * kChannels && b.rgb.size() == a.rgb.size();
}

// Whether `image` has the colour `rgb` within `reach` pixels of (x, y).
bool ColourNear(const ComparedImage& image, int x, int y, const uint8_t* rgb, int reach) {
  for (int ny = std::max(0, y - reach); ny <= std::min(image.height - 1, y + reach); ++ny)
    for (int nx = std::max(0, x - reach); nx <= std::min(image.width - 1, x + reach); ++nx)
      if (std::memcmp(&image.rgb[(size_t(ny) * size_t(image.width) + size_t(nx)) * kChannels], rgb, kChannels) == 0)
        return true;
  return false;
}

}  // namespace

std::vector<uint8_t> TextPlaces(const ComparedImage& plain, const ComparedImage& marked, int marginX, int marginY) {
  if (!SameSize(plain, marked)) return {};
  const int w = plain.width, h = plain.height;
  // Grown along the rows first, then down the columns: a box of margins round each pixel.
  std::vector<uint8_t> rows(size_t(w) * size_t(h), 0), out(size_t(w) * size_t(h), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      if (std::memcmp(&plain.rgb[i * kChannels], &marked.rgb[i * kChannels], kChannels) == 0) continue;
      for (int dx = std::max(0, x - marginX); dx <= std::min(w - 1, x + marginX); ++dx) rows[size_t(y) * size_t(w) + size_t(dx)] = 1;
    }
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!rows[size_t(y) * size_t(w) + size_t(x)]) continue;
      for (int dy = std::max(0, y - marginY); dy <= std::min(h - 1, y + marginY); ++dy) out[size_t(dy) * size_t(w) + size_t(x)] = 1;
    }
  }
  return out;
}

FrameDifference CompareFrames(const ComparedImage& real, const ComparedImage& headless,
                              const std::vector<uint8_t>& textPlaces, int cell, int reach) {
  FrameDifference d;
  if (!SameSize(real, headless) || textPlaces.size() != size_t(real.width) * size_t(real.height) || cell <= 0) return d;
  d.comparable = true;
  const int w = real.width, h = real.height;
  const int cols = (w + cell - 1) / cell, rowsOfCells = (h + cell - 1) / cell;
  std::vector<int32_t> tiles(size_t(cols) * size_t(rowsOfCells), 0);
  d.pixels = int64_t(w) * h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      if (std::memcmp(&real.rgb[i * kChannels], &headless.rgb[i * kChannels], kChannels) == 0) continue;
      ++d.differing;
      if (textPlaces[i]) continue;
      if (reach > 0 && (ColourNear(headless, x, y, &real.rgb[i * kChannels], reach) ||
                        ColourNear(real, x, y, &headless.rgb[i * kChannels], reach))) {
        ++d.displaced;
        continue;
      }
      ++d.outsideText;
      ++tiles[size_t(y / cell) * size_t(cols) + size_t(x / cell)];
    }
  }
  // Tiles with differences, joined into boxes where they touch (8 ways).
  std::vector<uint8_t> seen(tiles.size(), 0);
  for (size_t start = 0; start < tiles.size(); ++start) {
    if (!tiles[start] || seen[start]) continue;
    PixelBox box{cols, rowsOfCells, 0, 0, 0};
    std::vector<size_t> stack{start};
    seen[start] = 1;
    while (!stack.empty()) {
      const size_t t = stack.back();
      stack.pop_back();
      const int tx = int(t % size_t(cols)), ty = int(t / size_t(cols));
      box.left = std::min(box.left, tx);
      box.top = std::min(box.top, ty);
      box.right = std::max(box.right, tx + 1);
      box.bottom = std::max(box.bottom, ty + 1);
      box.pixels += tiles[t];
      for (int ny = std::max(0, ty - 1); ny <= std::min(rowsOfCells - 1, ty + 1); ++ny) {
        for (int nx = std::max(0, tx - 1); nx <= std::min(cols - 1, tx + 1); ++nx) {
          const size_t n = size_t(ny) * size_t(cols) + size_t(nx);
          if (tiles[n] && !seen[n]) {
            seen[n] = 1;
            stack.push_back(n);
          }
        }
      }
    }
    box.left *= cell;
    box.top *= cell;
    box.right = std::min(w, box.right * cell);
    box.bottom = std::min(h, box.bottom * cell);
    d.places.push_back(box);
  }
  std::stable_sort(d.places.begin(), d.places.end(), [](const PixelBox& a, const PixelBox& b) { return a.pixels > b.pixels; });
  return d;
}

std::string DescribeBox(const PixelBox& box) {
  char text[96];
  std::snprintf(text, sizeof text, "(%d, %d)-(%d, %d) %d px", box.left, box.top, box.right, box.bottom, box.pixels);
  return text;
}

int64_t KeyColourPixels(const ComparedImage& image) {
  int64_t count = 0;
  for (size_t i = 0; i + kChannels <= image.rgb.size(); i += kChannels) {
    const uint8_t* p = &image.rgb[i];
    if (p[0] >= 255 - kKeyTolerance && p[1] <= kKeyTolerance && p[2] >= 255 - kKeyTolerance) ++count;
  }
  return count;
}

}  // namespace testhost
