// A layer's frames as 8-bit canvases with their delays and transparent indices, and
// the choice of the frame to show from the layer clock's millisecond ticks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/XDib.h"

struct XDibFrame {
  static constexpr int32_t kNoIndex = -1;
  XDib dib;
  int32_t delay = 0;  // milliseconds
  int32_t transparent = kNoIndex;
};

class XDibAnimation {
 public:
  void Append(std::unique_ptr<XDibFrame> frame) { frames_.push_back(std::move(frame)); }
  XDibFrame* Frame(int32_t n);
  const XDibFrame* Frame(int32_t n) const { return const_cast<XDibAnimation*>(this)->Frame(n); }
  XDibFrame* Last() { return frames_.empty() ? nullptr : frames_.back().get(); }
  int32_t Count() const { return static_cast<int32_t>(frames_.size()); }
  int64_t TotalDelay() const;
  void Clear() { frames_.clear(); }
  // Frame count and total duration as the frames now stand.
  void Recount();
  int32_t FrameCount() const { return frameCount_; }
  int64_t Duration() const { return duration_; }

  // The frame for the current tick count (index -1 and null without frames). A chain
  // whose delays add up to 0 cannot be timed and shows its first frame.
  XDibFrame* CurrentFrame(int32_t& index);
  // Frame n copied to the device context; with `keyed`, its transparent index lets
  // what is already there show through.
  int DrawToDC(HDC dc, RECT dest, int32_t n, bool keyed) const;
  // Frame n stretched over `dest`, on the background colour (-1 none), grey on request.
  int StretchToDC(HDC dc, RECT dest, RECT source, int32_t n, uint32_t background, bool grey) const;

 private:
  std::vector<std::unique_ptr<XDibFrame>> frames_;
  int32_t frameCount_ = 0;
  int64_t duration_ = 0;
};
