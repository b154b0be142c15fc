// A run's frames as one picture a person can scan: each frame shrunk to a quarter of
// its width and height, laid out in rows in the order the frames came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plat/sim_display.h"

namespace testhost {

class ContactSheet {
 public:
  static constexpr int kShrink = 4;    // each side of a thumbnail is a quarter of the frame's
  static constexpr int kColumns = 8;
  static constexpr int kGap = 2;       // pixels between thumbnails and around them
  static constexpr uint8_t kBackground = 0x20;

  // An empty frame (a window that was gone) is skipped.
  void Add(const plat::sim::RgbImage& frame);
  size_t Count() const { return thumbnails_.size(); }
  // Empty when no frame was added.
  plat::sim::RgbImage Compose() const;

 private:
  std::vector<plat::sim::RgbImage> thumbnails_;
};

// Each output pixel is the mean of its `factor` x `factor` block; a partial block at the
// right or bottom edge is dropped.
plat::sim::RgbImage ShrinkImage(const plat::sim::RgbImage& image, int factor);

}  // namespace testhost
