// Box-filtered thumbnails and the sheet's grid.
#include "testhost/ContactSheet.h"

#include <algorithm>

namespace testhost {

namespace {
constexpr int kChannels = 3;
}

plat::sim::RgbImage ShrinkImage(const plat::sim::RgbImage& image, int factor) {
  plat::sim::RgbImage out;
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

void ContactSheet::Add(const plat::sim::RgbImage& frame) {
  plat::sim::RgbImage thumbnail = ShrinkImage(frame, kShrink);
  if (thumbnail.width > 0) thumbnails_.push_back(std::move(thumbnail));
}

plat::sim::RgbImage ContactSheet::Compose() const {
  plat::sim::RgbImage sheet;
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

}  // namespace testhost
