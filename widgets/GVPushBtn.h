// The push button: a surface widget showing one cell of a strip of state pictures
// (normal, highlighted, pressed, disabled), or one frame of a layered picture per
// state, driven by the mouse. A click is the nonzero result of the left release.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"
#include "widgets/GVDDSWnd.h"

class GVTextWnd;
class GVWS;

class GVPushBtn : public GVDDSWnd {
 public:
  // Cells per strip row: normal, highlighted, pressed, disabled; or normal, active.
  static constexpr int32_t kFourStates = 4;
  static constexpr int32_t kTwoStates = 2;
  // Hover texts are placed to stay inside an 800 x 472 play area.
  static constexpr int32_t kHoverTextBottomLimit = 472;
  static constexpr int32_t kHoverTextRightLimit = 800;
  static constexpr int32_t kHoverTextGap = 2;

  GVPushBtn() = default;
  ~GVPushBtn() override = default;

  // ---- Overrides of the widget base ----
  // Hiding hides the hover text too.
  void Show(BOOL show) override;
  BOOL IsHover() override { return hover_; }
  // The look is brought up to date first.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  // 1 (the click) only for a press released over an opaque pixel of the button.
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  // Taken (1) and ignored while visible and enabled.
  BOOL OnRButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnRButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;

  // ---- Added virtual operations ----
  virtual void SetPressed(BOOL pressed);
  virtual void SetHighlight(BOOL highlighted);
  // Nothing is redrawn.
  virtual void SetHoverFlag(BOOL hover);
  // Picks the cell (or frame) of the current state and marks the button dirty.
  virtual void UpdateFrame();

  // ---- Pictures ----
  // A strip of `rows` x `columns` equal cells; the button becomes one cell at the
  // strip's top-left. Rows or columns below 1 load nothing and give 0.
  BOOL LoadImage(const std::string& path, COLORREF colorKey, int32_t rows, int32_t columns);
  // One to four frame numbers of a layered picture, widened to the four states; a
  // number outside the picture's frames gives the picture back and 0.
  BOOL LoadPsdFrames(const std::string& path, const std::vector<int32_t>& frames, BOOL wantKey);
  BOOL LoadPsdFrames(const std::string& path, int32_t normal, BOOL wantKey);
  BOOL LoadPsdFrames(const std::string& path, int32_t normal, int32_t active, BOOL wantKey);
  BOOL LoadPsdFrames(const std::string& path, int32_t normal, int32_t highlighted, int32_t pressed, BOOL wantKey);
  BOOL LoadPsdFrames(const std::string& path, int32_t normal, int32_t highlighted, int32_t pressed,
                     int32_t disabled, BOOL wantKey);
  // 1 -> a a a a; 2 -> a a b a; 3 -> a b c a; 4 unchanged. Needs 1..4 numbers.
  static std::array<int32_t, 4> WidenStateFrames(const std::vector<int32_t>& frames);

  // ---- Hover text ----
  // A label shown while the pointer is over the button, added on top of `ws`; the
  // window system owns it. Does nothing (1) while hover texts are switched off, which
  // they are unless a test turns them on, or when the button already has one.
  BOOL SetTooltip(GVWS* ws, HWND wnd, const std::string& text, COLORREF textColor, uint32_t fill, BOOL below);
  static void SetHoverTextSwitch(BOOL on);
  static BOOL GetHoverTextSwitch();
  GVTextWnd* GetHoverText() const { return hoverText_; }

  // ---- State ----
  BOOL IsPressed() const { return pressed_; }
  BOOL IsHighlighted() const { return highlighted_; }
  BOOL IsPointerInside() const { return pointerInside_; }
  // Owners switch image sets by choosing the row shown.
  void SetRow(int32_t row) { row_ = row; }
  int32_t GetRow() const { return row_; }
  int32_t GetRows() const { return rows_; }
  int32_t GetColumns() const { return columns_; }
  GRect GetFullImageRect() const { return fullImage_; }
  const std::vector<int32_t>& GetStateFrames() const { return stateFrames_; }

 private:
  void ShowHoverText(BOOL show);

  BOOL hover_ = 0;
  BOOL pressed_ = 0;
  BOOL highlighted_ = 0;
  BOOL pointerInside_ = 0;
  GRect fullImage_;
  int32_t columns_ = kFourStates;
  int32_t rows_ = 1;
  int32_t row_ = 0;
  std::vector<int32_t> stateFrames_;
  GVTextWnd* hoverText_ = nullptr;
  GVWS* hoverTextWS_ = nullptr;
};
