// A layer's frames: counting, timing by the layer clock, and drawing one frame to GDI.
#include "graphics/XDibAnimation.h"

#include "plat/time.h"

namespace {
constexpr uint32_t kNoColor = 0xFFFFFFFFu;
}

XDibFrame* XDibAnimation::Frame(int32_t n) {
  if (n < 0 || n >= Count()) return nullptr;
  return frames_[static_cast<size_t>(n)].get();
}

int64_t XDibAnimation::TotalDelay() const {
  int64_t total = 0;
  for (const auto& f : frames_) total += f->delay;
  return total;
}

void XDibAnimation::Recount() {
  frameCount_ = Count();
  duration_ = TotalDelay();
}

XDibFrame* XDibAnimation::CurrentFrame(int32_t& index) {
  index = -1;
  if (frames_.empty()) return nullptr;
  index = 0;
  if (frames_.size() == 1 || duration_ <= 0) return frames_.front().get();
  int64_t left = int64_t(GetTickCount()) % duration_;
  for (size_t i = 0; i < frames_.size(); ++i) {
    if (frames_[i]->delay > left) {
      index = static_cast<int32_t>(i);
      return frames_[i].get();
    }
    left -= frames_[i]->delay;
  }
  // Only reached when the frames changed after the last recount.
  return frames_.front().get();
}

int XDibAnimation::DrawToDC(HDC dc, RECT dest, int32_t n, bool keyed) const {
  const XDibFrame* f = Frame(n);
  if (!f) return 0;
  if (keyed && f->transparent != XDibFrame::kNoIndex)
    return f->dib.DrawKeyedToDC(dc, POINT{0, 0}, dest, uint32_t(f->transparent) << 24);
  return f->dib.CopyToDC(dc, POINT{0, 0}, dest);
}

int XDibAnimation::StretchToDC(HDC dc, RECT dest, RECT source, int32_t n, uint32_t background, bool grey) const {
  const XDibFrame* f = Frame(n);
  if (!f) return 0;
  if (f->dib.BitCount() == 32) return f->dib.StretchToDC(dc, dest, source);
  XDib paletted;
  if (!f->dib.Header() || !paletted.CreateDib8(SIZE{f->dib.Width(), f->dib.Height()}, *f->dib.Header()->Info()))
    return 0;
  paletted.Blit(f->dib, POINT{0, 0}, RECT{0, 0, f->dib.Width(), f->dib.Height()});
  if (grey) paletted.MakeGrey();
  const SIZE size{source.right - source.left, source.bottom - source.top};
  XDib canvas;
  if (!canvas.CreateDib32(size)) return 0;
  const RECT whole{0, 0, size.cx, size.cy};
  canvas.FillRect(whole, background);
  if (background != kNoColor && f->transparent != XDibFrame::kNoIndex)
    canvas.BlitKeyed(paletted, POINT{source.left, source.top}, whole, uint32_t(f->transparent) << 24);
  else
    canvas.Blit(paletted, POINT{source.left, source.top}, whole);
  return canvas.StretchToDC(dc, dest, whole);
}
