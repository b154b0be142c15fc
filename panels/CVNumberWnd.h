// A number drawn from a strip of digit cells, least significant digit at the right
// edge of the widget and the others leftwards.
#pragma once

#include <cstdint>
#include <list>

#include "widgets/GVDDSWnd.h"

class CVNumberWnd : public GVDDSWnd {
 public:
  ~CVNumberWnd() override { digits.clear(); }
  // Digit 0's cell in the strip; the cell's size is every digit's.
  void SetDigitRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void SetRect(GRect rect) override;
  // Hidden: 1. The first failed cell stops the walk with 0.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  std::list<int32_t> digits;  // least significant first
  int32_t gap = 0;            // empty space between neighbouring digits

 private:
  GSize cell_;
  GRect full_;
};
