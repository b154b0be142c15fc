// The multi-line text view: row building, the line store that follows the newest line,
// byte-wise wrapping measured in the rows' font, and the scroll codes.
#include "widgets/GVWndME.h"

#include <algorithm>

#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/winuser.h"
#include "widgets/GVScrollBar.h"

namespace {

constexpr uint8_t kLeadByteMin = 0x80;

// Whether the first `count` bytes end on the lead byte of a two-byte character. The
// flag flips on a high byte after a complete character, so trail bytes of either range
// close the character.
bool EndsOnLeadByte(std::string_view text, size_t count) {
  bool inCharacter = false;
  for (size_t i = 0; i < count; ++i)
    inCharacter = !inCharacter && static_cast<uint8_t>(text[i]) >= kLeadByteMin;
  return inCharacter;
}

// Bytes of the whole character at the front of `text`.
size_t FirstCharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  return static_cast<uint8_t>(text[0]) >= kLeadByteMin && text.size() >= 2 ? 2 : 1;
}

}  // namespace

void GVWndMELineItem::Apply(const GVWndMELine& line) {
  SetBkColor(line.fill);
  SetTextColor(line.textColor);
  SetTextFormat(line.format);
  SetText(line.text);
}

std::vector<std::string> GVWndME::SplitToWidth(std::string_view text, int32_t width, const Measure& measure) {
  std::vector<std::string> pieces;
  const auto widthOf = [&](size_t count) { return measure(text.data(), static_cast<int32_t>(count)); };
  for (;;) {
    if (text.empty() || widthOf(text.size()) < width) {
      pieces.emplace_back(text);
      return pieces;
    }
    size_t cut = 0;
    while (cut < text.size() && widthOf(cut + 1) < width) ++cut;
    if (cut == text.size()) cut = 0;
    if (EndsOnLeadByte(text, cut)) --cut;
    // A view narrower than one character still gets one character per row.
    cut = std::max(cut, FirstCharacterLength(text));
    pieces.emplace_back(text.substr(0, cut));
    text.remove_prefix(cut);
    // Only a forced whole character can take the last byte; nothing is left to show.
    if (text.empty()) return pieces;
  }
}

GVWndME::~GVWndME() { GVWndME::ReleaseImage(); }

void GVWndME::ReleaseImage() {
  measureWnd_ = nullptr;
  lines_.clear();
  DeleteRows();
  GVWnd::ReleaseImage();
}

void GVWndME::DeleteRows() {
  for (GVWndMELineItem* row : rows_) delete row;
  rows_.clear();
}

BOOL GVWndME::Create(const GRect& rect, COLORREF colorKey, int32_t fontHeight) {
  GVWnd::SetColorKey(colorKey);
  fontHeight_ = fontHeight;
  top_ = 0;
  SetRect(rect);
  return 1;
}

void GVWndME::SetRect(GRect rect) {
  GVWnd::SetRect(rect);
  BuildLines(top_, GetColorKey());
}

HWND GVWndME::SetMeasureWnd(HWND wnd) { return measureWnd_ = wnd; }
HWND GVWndME::GetMeasureWnd() { return measureWnd_; }

BOOL GVWndME::BuildLines(uint32_t top, COLORREF colorKey) {
  SetDirty(1);
  DeleteRows();
  const GRect rect = GetRect();
  const int32_t rows = lineHeight_ > 0 ? rect.Height() / lineHeight_ : 0;
  visible_ = rows > 0 ? static_cast<uint32_t>(rows) : 0;
  if (visible_ > maxLines_) maxLines_ = visible_;
  GVWndMELine blank;
  blank.fill = defaultFill_;
  blank.textColor = defaultTextColor_;
  for (uint32_t i = 0; i < visible_; ++i) {
    const int32_t y = rect.top + static_cast<int32_t>(i) * lineHeight_;
    auto* row = new GVWndMELineItem;
    if (!row->Create(SIZE{rect.Width(), lineHeight_}, colorKey, fontHeight_, kRowFontWeight)) {
      delete row;
      return 0;
    }
    row->Apply(blank);
    row->GVWnd::SetRect(GRect(rect.left, y, rect.right, y + lineHeight_));
    rows_.push_back(row);
  }
  return ShowFrom(top);
}

BOOL GVWndME::ShowFrom(uint32_t top) {
  SetDirty(1);
  SetDrawnRect(GetRect());
  for (size_t i = 0; i < rows_.size(); ++i) {
    const size_t index = top + i;
    if (index < lines_.size())
      rows_[i]->Apply(lines_[index]);
    else
      rows_[i]->SetText("");
  }
  return 1;
}

void GVWndME::PushLine(const GVWndMELine& line) {
  lines_.push_back(line);
  if (lines_.size() > rows_.size()) ++top_;
  if (lines_.size() > maxLines_) {
    lines_.pop_front();
    --top_;
  }
  const auto count = static_cast<uint32_t>(lines_.size());
  if (count - top_ > visible_) top_ = count - visible_;
  ShowFrom(top_);
}

void GVWndME::SyncScrollBar() {
  if (scrollBar_) scrollBar_->SetThumbPos(visible_, static_cast<uint32_t>(lines_.size()), top_);
}

BOOL GVWndME::Clear() {
  lines_.clear();
  top_ = 0;
  BuildLines(0, GetColorKey());
  if (scrollBar_) {
    SyncScrollBar();
    scrollBar_->Enable(0);
  }
  return 1;
}

BOOL GVWndME::AddText(GVWndMELine& line, BOOL append) {
  if (!append) Clear();
  const std::string text = line.text;
  if (rows_.empty()) {
    // No row to take a font from and nothing shown: the text is kept whole.
    PushLine(line);
  } else {
    HDC dc = GetDC(measureWnd_);
    if (!dc) return 0;
    const HGDIOBJ previous = SelectObject(dc, rows_.front()->GetFont());
    const Measure measure = [dc](const char* s, int32_t count) {
      SIZE extent{};
      GetTextExtentPoint32A(dc, s, count, &extent);
      return extent.cx;
    };
    for (std::string& piece : SplitToWidth(text, GetRect().Width(), measure)) {
      line.text = std::move(piece);
      PushLine(line);
    }
    SelectObject(dc, previous);
    ReleaseDC(measureWnd_, dc);
  }
  if (scrollBar_) {
    scrollBar_->Enable(lines_.size() > visible_ ? 1 : 0);
    SyncScrollBar();
  }
  return 1;
}

BOOL GVWndME::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  GRect overlap;
  if (!GRectIntersection(overlap, clip, GetRect()).HasArea()) return 1;
  if (!GVWnd::Draw(target, clip)) return 0;
  for (GVWndMELineItem* row : rows_) row->Draw(target, clip);
  return 1;
}

BOOL GVWndME::OnScroll(int32_t code, int32_t position, GVWnd*) {
  const auto count = static_cast<uint32_t>(lines_.size());
  switch (code) {
    case SB_LINEUP:
      if (top_ > 0) ShowFrom(--top_);
      break;
    case SB_LINEDOWN:
      if (top_ < maxLines_ && count > visible_ && count - top_ > visible_) ShowFrom(++top_);
      break;
    case SB_THUMBTRACK: {
      const int32_t pos = static_cast<int16_t>(position);
      if (count <= visible_ || pos < 0 || pos > GVScrollBar::kPositionScale) return 0;
      top_ = (count - visible_) * static_cast<uint32_t>(pos) / GVScrollBar::kPositionScale;
      ShowFrom(top_);
      // The bar placed its thumb itself.
      return 1;
    }
    case SB_TOP:
      if (count > 0) {
        top_ = 0;
        ShowFrom(0);
      }
      break;
    case SB_BOTTOM:
      if (count > visible_) top_ = count - visible_;
      ShowFrom(top_);
      break;
    default:
      break;
  }
  SyncScrollBar();
  return 1;
}
