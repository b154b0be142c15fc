// The avatar composer and its layers.
#include "graphics/XAvatarComposer.h"

#include <algorithm>

#include "graphics/AvatarLayerOrder.h"
#include "graphics/XGif89Reader.h"

void XAvatarLayer::Clear() {
  frameIndex = -1;
  fileName.clear();
  animation.reset();
}

int XAvatarLayer::SetFile(const std::string& name, bool grey) {
  if (name.empty()) {
    Clear();
    return 1;
  }
  fileName = name;
  frameIndex = -1;
  animation = std::make_unique<XDibAnimation>();
  if (!DecodeGif89aFile(name.c_str(), *animation)) {
    animation.reset();
    return 0;
  }
  if (grey) {
    if (XDibFrame* first = animation->Frame(0)) first->dib.MakeGrey();
  }
  return 1;
}

int XAvatarComposer::SetParts(const std::vector<std::string>& names, bool grey) {
  if (names.empty() || names.size() > size_t(kLayerCount)) return 0;
  for (XAvatarLayer& layer : layers_) layer.Clear();
  const std::vector<std::string> ordered = names.size() == 1 ? names : InAvatarLayerOrder(names);
  for (size_t i = 0; i < ordered.size(); ++i)
    if (!layers_[i].SetFile(ordered[i], grey)) return 0;
  loaded_ = 1;
  return 1;
}

void XAvatarComposer::SetLayer(int i, std::unique_ptr<XDibAnimation> animation) {
  if (i < 0 || i >= kLayerCount) return;
  XAvatarLayer& layer = layers_[static_cast<size_t>(i)];
  layer.Clear();
  layer.animation = std::move(animation);
  loaded_ = 1;
}

int XAvatarComposer::Compose(const POINT* position, XDib& canvas, bool measureOnly, bool force) {
  std::array<XDibFrame*, kLayerCount> current{};
  width_ = height_ = 0;
  for (size_t i = 0; i < layers_.size(); ++i) {
    XAvatarLayer& layer = layers_[i];
    if (!layer.animation) continue;
    int32_t index = -1;
    current[i] = layer.animation->CurrentFrame(index);
    if (index != layer.frameIndex) {
      layer.frameIndex = index;
      redraw_ = 1;
    }
    if (current[i]) {
      width_ = std::max(width_, current[i]->dib.Width());
      height_ = std::max(height_, current[i]->dib.Height());
    }
  }
  if (measureOnly) return 1;
  if (!position) {
    if (canvas.Empty() || canvas.Width() != width_ || canvas.Height() != height_) {
      canvas.CreateDib32(SIZE{width_, height_});
      redraw_ = 1;
    }
    if (canvas.Empty()) return 1;
  }
  if (!redraw_ && !force) return 0;
  if (!position) canvas.FillRect(RECT{0, 0, canvas.Width(), canvas.Height()}, background_);
  for (XDibFrame* f : current) {
    if (!f) continue;
    const int32_t w = f->dib.Width(), h = f->dib.Height();
    // Integer halves: an odd spare pixel goes to the right and bottom.
    const POINT at = position ? *position : POINT{(width_ - w) / 2, (height_ - h) / 2};
    const RECT dest{at.x, at.y, at.x + w, at.y + h};
    if (f->transparent == XDibFrame::kNoIndex)
      canvas.Blit(f->dib, POINT{0, 0}, dest);
    else
      canvas.BlitKeyed(f->dib, POINT{0, 0}, dest, uint32_t(f->transparent) << 24);
  }
  redraw_ = 0;
  return 1;
}
