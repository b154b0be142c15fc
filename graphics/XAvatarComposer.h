// The software avatar composer: up to 24 layers, each a GIF 89a file decoded into
// 8-bit frames, each showing the frame its own delays pick for the layer clock, drawn
// bottom to top onto one 32-bit canvas.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/XDib.h"
#include "graphics/XDibAnimation.h"

class XAvatarLayer {
 public:
  // An empty name clears the layer and succeeds; a file that does not decode leaves
  // the layer without frames and gives 0.
  int SetFile(const std::string& name, bool grey);
  void Clear();

  int32_t frameIndex = -1;
  std::string fileName;
  std::unique_ptr<XDibAnimation> animation;
};

class XAvatarComposer {
 public:
  static constexpr int kLayerCount = 24;

  // 1 to 24 names; one goes to layer 0, more are put in avatar layer order. 0 for
  // another count or at the first file that does not load.
  int SetParts(const std::vector<std::string>& names, bool grey);
  // Picks every layer's frame by time and draws them onto `canvas`: centred on a canvas
  // made to the composed size and cleared to the background, or at `position` on the
  // canvas as it is. 0 when nothing changed and `force` is not set.
  int Compose(const POINT* position, XDib& canvas, bool measureOnly, bool force);

  // Gives layer i frames decoded elsewhere (nothing for i outside 0..23); the layer
  // counts as loaded under an empty name.
  void SetLayer(int i, std::unique_ptr<XDibAnimation> animation);
  const XAvatarLayer& Layer(int i) const { return layers_[static_cast<size_t>(i)]; }
  SIZE ComposedSize() const { return SIZE{width_, height_}; }
  bool Loaded() const { return loaded_ != 0; }
  void SetBackground(uint32_t rgb) { background_ = rgb; }

 private:
  int loaded_ = 0;
  uint32_t background_ = 0;
  std::array<XAvatarLayer, kLayerCount> layers_;
  int redraw_ = 1;
  int32_t width_ = 0, height_ = 0;
};
