// The box widget: a rectangle filled with a colour blended at a level, with an
// optional two-colour frame (light top and left, dark bottom and right), square or
// with its corners left out.
#pragma once

#include <cstdint>

#include "widgets/GVWnd.h"

class GVBoxWnd : public GVWnd {
 public:
  static constexpr uint32_t kFill = 0x1;
  static constexpr uint32_t kFrame = 0x2;
  static constexpr uint32_t kRoundFrame = 0x4;

  GVBoxWnd() = default;

  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // The rectangle (x, y, x + w, y + h), filled only; colours are COLORREFs. 1.
  virtual int32_t Create(int32_t x, int32_t y, int32_t w, int32_t h, COLORREF fill, int32_t level);
  void SetFill(COLORREF colour, int32_t level);
  // `top` goes on the top and left edges, `bottom` on the others. A rounded frame set
  // once stays rounded: only the square bit is cleared here.
  void SetBorder(COLORREF top, COLORREF bottom, BOOL rounded);
  void RemoveBorder();

  uint32_t GetStyle() const { return style_; }
  int32_t GetFillLevel() const { return level_; }
  COLORREF GetFillColor() const { return fill_; }
  COLORREF GetTopColor() const { return top_; }
  COLORREF GetBottomColor() const { return bottom_; }

 private:
  uint32_t style_ = 0;
  int32_t level_ = 0;
  COLORREF fill_ = 0;
  COLORREF top_ = 0;
  COLORREF bottom_ = 0;
};
