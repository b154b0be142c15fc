// The scrolling, read-only multi-line text view: a bounded store of coloured, aligned
// lines, each added text wrapped to the view's width by measuring, shown one window of
// rows at a time through text widgets, and kept in step with an optional scroll bar.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/types.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVTextWnd.h"
#include "base/plist.h"

class GVScrollBar;

// One stored line: CP949 text, DrawTextA alignment (0 left, 1 centre, 2 right), fill
// (a device pixel value, kNoFill for none) and text colour.
struct GVWndMELine {
  std::string text;
  UINT format = 0;
  uint32_t fill = GVWnd::kNoFill;
  COLORREF textColor = 0;
};

// One row of the view.
class GVWndMELineItem : public GVTextWnd {
 public:
  ~GVWndMELineItem() override = default;
  void Apply(const GVWndMELine& line);
};

class GVWndME : public GVDDSWnd {
 public:
  static constexpr uint32_t kDefaultMaxLines = 100;
  static constexpr int32_t kDefaultLineHeight = 20;
  static constexpr int32_t kRowFontWeight = 400;

  // Width in pixels of the first `count` bytes of a text.
  using Measure = std::function<int32_t(const char* text, int32_t count)>;

  GVWndME() = default;
  ~GVWndME() override;

  // ---- Virtual operations, in the library's order ----
  void ReleaseImage() override;
  void SetRect(GRect rect) override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnScroll(int32_t code, int32_t position, GVWnd* sender) override;
  virtual HWND SetMeasureWnd(HWND wnd);
  virtual HWND GetMeasureWnd();
  // Wraps the text of `line` to the view's width and stores the pieces, each with the
  // record's format and colours; on return `line.text` holds the last piece. Append 0
  // clears the view first.
  virtual BOOL AddText(GVWndMELine& line, BOOL append);

  // ---- Plain operations ----
  BOOL Create(const GRect& rect, COLORREF colorKey, int32_t fontHeight);
  BOOL Clear();
  void SetScrollBar(GVScrollBar* bar) { scrollBar_ = bar; }
  GVScrollBar* GetScrollBar() const { return scrollBar_; }
  // Colours given to rows built from now on (the next SetRect).
  void SetDefaultColors(uint32_t fill, COLORREF textColor) {
    defaultFill_ = fill;
    defaultTextColor_ = textColor;
  }
  void SetLineHeight(int32_t height) { lineHeight_ = height; }
  int32_t GetLineHeight() const { return lineHeight_; }
  uint32_t GetMaxLines() const { return maxLines_; }
  void SetMaxLines(uint32_t lines) { maxLines_ = lines; }
  uint32_t GetTopIndex() const { return top_; }
  uint32_t GetVisibleCount() const { return visible_; }
  const std::deque<GVWndMELine>& GetLines() const { return lines_; }
  const pvector<GVWndMELineItem>& GetRows() const { return rows_; }

  // The byte pieces `text` splits into at `width`: a piece is cut before the first
  // byte that makes it as wide as the view or wider, never inside a two-byte
  // character, and holds at least one whole character, so the split always ends.
  static std::vector<std::string> SplitToWidth(std::string_view text, int32_t width, const Measure& measure);

 private:
  BOOL BuildLines(uint32_t top, COLORREF colorKey);
  BOOL ShowFrom(uint32_t top);
  void PushLine(const GVWndMELine& line);
  void DeleteRows();
  void SyncScrollBar();

  GVScrollBar* scrollBar_ = nullptr;
  uint32_t maxLines_ = kDefaultMaxLines;
  uint32_t top_ = 0;
  int32_t lineHeight_ = kDefaultLineHeight;
  uint32_t defaultFill_ = kNoFill;
  COLORREF defaultTextColor_ = 0;
  std::deque<GVWndMELine> lines_;
  pvector<GVWndMELineItem> rows_;
  uint32_t visible_ = 0;
  HWND measureWnd_ = nullptr;
  int32_t fontHeight_ = 0;
};
