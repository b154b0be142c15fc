// A run's frames as one picture a person can scan: each frame shrunk to a quarter of
// its width and height, laid out in rows in the order the frames came. Any picture type
// with `width`, `height` and `rgb` (3 bytes a pixel, rows top-down) will do, so the
// Windows host lays out its screen captures the same way.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace testhost {

// Each output pixel is the mean of its `factor` x `factor` block; a partial block at the
// right or bottom edge is dropped.
template <typename Image>
Image ShrinkImage(const Image& image, int factor) {
  constexpr int kChannels = 3;
  Image out;
  if (factor <= 0 || image.width < factor || image.height < factor ||
      image.rgb.size() != size_t(image.width) * size_t(image.height) * kChannels)
    return out;
  out.width = image.width / factor;
  out.height = image.height / factor;
  out.rgb.resize(size_t(out.width) * size_t(out.height) * kChannels);
  const uint32_t area = uint32_t(factor) * uint32_t(factor);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      for (int c = 0; c < kChannels; ++c) {
        uint32_t sum = 0;
        for (int dy = 0; dy < factor; ++dy) {
          const size_t row = size_t(y * factor + dy) * size_t(image.width);
          for (int dx = 0; dx < factor; ++dx) sum += image.rgb[(row + size_t(x * factor + dx)) * kChannels + c];
        }
        out.rgb[(size_t(y) * size_t(out.width) + size_t(x)) * kChannels + c] = uint8_t((sum + area / 2) / area);
      }
    }
  }
  return out;
}

template <typename Image>
class BasicContactSheet {
 public:
  static constexpr int kShrink = 4;    // each side of a thumbnail is a quarter of the frame's
  static constexpr int kColumns = 8;
  static constexpr int kGap = 2;       // pixels between thumbnails and around them
  static constexpr uint8_t kBackground = 0x20;

  // An empty frame (a window that was gone) is skipped.
  void Add(const Image& frame) {
    Image thumbnail = ShrinkImage(frame, kShrink);
    if (thumbnail.width > 0) thumbnails_.push_back(std::move(thumbnail));
  }
  size_t Count() const { return thumbnails_.size(); }
  // Empty when no frame was added.
  Image Compose() const {
    constexpr int kChannels = 3;
    Image sheet;
    if (thumbnails_.empty()) return sheet;
    int cellWidth = 0, cellHeight = 0;
    for (const auto& t : thumbnails_) {
      cellWidth = std::max(cellWidth, t.width);
      cellHeight = std::max(cellHeight, t.height);
    }
    const int columns = std::min<int>(kColumns, int(thumbnails_.size()));
    const int rows = int((thumbnails_.size() + size_t(kColumns) - 1) / size_t(kColumns));
    sheet.width = kGap + columns * (cellWidth + kGap);
    sheet.height = kGap + rows * (cellHeight + kGap);
    sheet.rgb.assign(size_t(sheet.width) * size_t(sheet.height) * kChannels, kBackground);
    for (size_t i = 0; i < thumbnails_.size(); ++i) {
      const auto& t = thumbnails_[i];
      const int left = kGap + int(i % size_t(kColumns)) * (cellWidth + kGap);
      const int top = kGap + int(i / size_t(kColumns)) * (cellHeight + kGap);
      for (int y = 0; y < t.height; ++y) {
        const auto from = t.rgb.begin() + std::ptrdiff_t(size_t(y) * size_t(t.width) * kChannels);
        std::copy(from, from + std::ptrdiff_t(size_t(t.width) * kChannels),
                  sheet.rgb.begin() + std::ptrdiff_t((size_t(top + y) * size_t(sheet.width) + size_t(left)) * kChannels));
      }
    }
    return sheet;
  }
 private:
  std::vector<Image> thumbnails_;
};

}  // namespace testhost
