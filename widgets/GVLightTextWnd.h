// A light text label: no surface of its own; each draw puts its text with GDI straight
// onto the target surface, in a font shared through the resource manager.
#pragma once

#include <string>

#include "widgets/GVWnd.h"

class GVLightTextWnd : public GVWnd {
 public:
  GVLightTextWnd() = default;
  ~GVLightTextWnd() override;

  void ReleaseImage() override;
  // The text inside the widget rectangle, never outside the clip. Hidden: 1, no text.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // 0 when no font can be had; the widget then sits at (0, 0) with the size.
  BOOL Create(const SIZE& size, COLORREF colorKey, int32_t fontHeight, int32_t fontWeight);
  // Gives back the font held and takes the shared one of the default face.
  BOOL SetFont(int32_t height, int32_t weight);
  BOOL SetText(const std::string& text);
  void SetTextColor(COLORREF color);
  void SetTextFormat(UINT format);
  // The rectangle keeps its size.
  BOOL SetSize(int32_t cx, int32_t cy);

  const std::string& GetText() const { return text_; }
  HFONT GetFont() const { return font_; }
  GSize GetSize() const { return size_; }

 private:
  void MarkDirty();

  GSize size_;
  std::string text_;
  HFONT font_ = nullptr;
  COLORREF textColor_ = 0;
  UINT format_ = 0;
};
