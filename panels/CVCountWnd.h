// The pi counter: the counter picture with the count written over it in a text child.
#pragma once

#include "panels/IPanelScene.h"
#include "widgets/GVDDSWnd.h"

class GVTextWnd;

class CVCountWnd : public GVDDSWnd {
 public:
  static constexpr GSize kTextOffset{4, 4};
  static constexpr GSize kTextSize{16, 14};
  CVCountWnd() = default;
  ~CVCountWnd() override;
  CVCountWnd(const CVCountWnd&) = delete;
  CVCountWnd& operator=(const CVCountWnd&) = delete;
  // Makes the text child (white, 12/700, centred); 0 when it cannot be made.
  int32_t Create(IPanelScene* scene);
  void SetPos(GPoint pt) override;
  // The count written out and the counter shown; below 1 the text empties and the
  // counter hides. It stays where it is.
  void SetCount(int32_t n);
  // Hidden: 1. The picture's 0 is returned at once; then 1 when the text drew.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  GVTextWnd* Text() const { return text_; }

 private:
  GVTextWnd* text_ = nullptr;
};
