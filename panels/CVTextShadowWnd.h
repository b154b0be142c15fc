// A text widget drawn twice: in the shadow colour one pixel down and right, then in its
// own colour in place.
#pragma once

#include "widgets/GVTextWnd.h"

class CVTextShadowWnd : public GVTextWnd {
 public:
  void SetShadowColor(COLORREF colour) { shadow_ = colour; }
  COLORREF ShadowColor() const { return shadow_; }
  // 1 always; each draw renders the text twice.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

 private:
  COLORREF shadow_ = 0;
};
