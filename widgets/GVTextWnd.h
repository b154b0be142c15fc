// The text widget: a surface widget whose picture is a text entry of the resource
// manager, one string drawn in a shared font on a surface of fixed size; the colour
// key makes the background transparent, so only the glyphs reach the screen.
#pragma once

#include <cstdint>
#include <string>

#include "plat/types.h"
#include "widgets/GVDDSWnd.h"

class XTextEntry;

class GVTextWnd : public GVDDSWnd {
 public:
  GVTextWnd() = default;
  ~GVTextWnd() override;

  // Erases the text, then gives the entry back.
  void ReleaseImage() override;

  // A text entry of `size` keyed with `colorKey` (-1 none) and a font of the default
  // face. The widget sits at (0, 0) until placed. 0 when the entry or the font cannot
  // be made (last result E_FAIL when the entry has no surface).
  BOOL Create(SIZE size, COLORREF colorKey, int32_t fontHeight, int32_t fontWeight);
  // A text widget over one frame of a layered picture: the frame's place and size,
  // the manager's key when `wantKey`. The layered entry is given back once read.
  BOOL CreateFromPsdFrame(const std::string& path, int32_t frame, int32_t fontHeight, int32_t fontWeight,
                          BOOL wantKey);

  // Renders at once.
  BOOL SetText(const std::string& text);
  std::string GetText() const { return text_; }
  // Renders the current text again in the colour.
  void SetTextColor(COLORREF color);
  // Shown from the next SetText on.
  void SetTextFormat(UINT format);
  // Shown from the next SetText on. 0 when no font can be made: the widget then holds
  // none and its text is not drawn until a later SetFont succeeds.
  BOOL SetFont(int32_t height, int32_t weight);
  // A new surface of the size with the text drawn again; the rectangle keeps its size.
  // An equal size does nothing.
  BOOL SetSize(SIZE size);

  GSize GetSize() const { return size_; }
  HFONT GetFont() const { return font_; }
  COLORREF GetTextColor() const { return textColor_; }
  UINT GetTextFormat() const { return format_; }

 private:
  XTextEntry* TextEntry();
  void MarkDirty();

  GSize size_;
  std::string text_;
  HFONT font_ = nullptr;
  COLORREF textColor_ = 0;
  UINT format_ = 0;
};
