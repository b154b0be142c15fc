// The list view: row bookkeeping by id with a top row and a selected row kept as list
// positions (the end standing for "none"), the layout of the visible window, the
// selection bar, clicks and the scroll codes.
#include "widgets/GVListView.h"

#include <algorithm>
#include <iterator>

#include "plat/winuser.h"
#include "widgets/GVScrollBar.h"

namespace {

bool PlacedWithView(const SubListItem* cell) {
  const int32_t t = cell->GetType();
  return t == SubListItem::kText || t == SubListItem::kImage || t == SubListItem::kWidget;
}

}  // namespace

GVListView::GVListView() : top_(rows_.end()), selected_(rows_.end()) {
  selectionBar_.SetStretch();
  background_.SetTile();
}

GVListView::~GVListView() { DeleteAll(); }

void GVListView::DeleteAll() {
  for (SubListItem* h : headers_) delete h;
  headers_.clear();
  for (ListItem* r : rows_) delete r;
  rows_.clear();
  rowCount_ = 0;
  top_ = selected_ = rows_.end();
}

void GVListView::ReleaseImage() {
  DeleteAll();
  GVWnd::ReleaseImage();
}

GRect GVListView::GetRect() { return GVWnd::GetRect(); }
GRect GVListView::GetDrawnRect() { return GetRect(); }

int32_t GVListView::ComputeVisibleRows() {
  // Signed on purpose: a view shorter than its header still shows one row, where an
  // unsigned quotient would claim billions.
  const int32_t height = GVWnd::GetRect().Height();
  return std::max(1, (height - topMargin_) / rowHeight_ + 1);
}

uint32_t GVListView::RowsFrom(RowIter from) { return static_cast<uint32_t>(std::distance(from, rows_.end())); }

uint32_t GVListView::GetTopIndex() { return static_cast<uint32_t>(std::distance(rows_.begin(), top_)); }

void GVListView::SetRect(GRect r) {
  GVWnd::SetRect(r);
  visibleRows_ = ComputeVisibleRows();
  for (SubListItem* h : headers_)
    if (PlacedWithView(h)) h->MoveTo(r.TopLeft() + h->GetOffset());
  selectionRect_ = GRect(selLeft_, selTop_, r.Width() - selRight_, rowHeight_ - selBottom_);
  selectionBar_.SetStretch();
  selectionBar_.SetRect(selectionRect_);
  background_.SetTile();
  background_.SetRect(r);
  Layout();
  UpdateSelectionBar();
}

BOOL GVListView::SetColorKey(COLORREF key) {
  selectionBar_.SetColorKey(key);
  background_.SetColorKey(key);
  return GVWnd::SetColorKey(key);
}

BOOL GVListView::Layout() {
  SetDirty(1);
  const GRect view = GetRect();
  int32_t x = view.left + innerLeft_;
  const int32_t y = view.top + innerTop_;
  for (SubListItem* h : headers_) {
    const GSize size = h->GetCellRect().Size();
    h->SetCellRect(GRect(GPoint(x, y), size));
    x += size.cx;
  }
  RowIter it = top_;
  for (int32_t i = 0; i < visibleRows_ && it != rows_.end(); ++i, ++it) {
    (*it)->SetPos(GPoint(view.left + innerLeft_, view.top + rowHeight_ * i + innerTop_ + topMargin_));
    if (!(*it)->Layout(columnOffsets_)) return 0;
  }
  UpdateScrollBar();
  return 1;
}

void GVListView::UpdateSelectionBar() {
  if (selected_ == rows_.end()) {
    selectionBar_.Show(0);
    return;
  }
  RowIter it = top_;
  int32_t steps = 0;
  while (it != rows_.end() && it != selected_ && steps < visibleRows_) {
    ++it;
    ++steps;
  }
  if (it != selected_ || steps >= visibleRows_) {
    selectionBar_.Show(0);
    return;
  }
  selectionBar_.Show(1);
  if (IsEnabled()) selectionBar_.SetTopLeft((*selected_)->GetPos() + selectionRect_.TopLeft());
}

BOOL GVListView::UpdateScrollBar() {
  if (!scrollBar_) return 0;
  scrollBar_->SetThumbPos(static_cast<uint32_t>(visibleRows_), rowCount_, GetTopIndex());
  return 1;
}

void GVListView::EnableScrollBar(BOOL enable) {
  if (scrollBar_) scrollBar_->Enable(enable);
}

BOOL GVListView::AddColumn(SubListItem* header) {
  if (!header) return 0;
  const GRect view = GetRect();
  if (PlacedWithView(header)) {
    const int32_t x = headers_.empty() ? view.left : headers_.back()->GetCellRect().right;
    header->SetCellRect(GRect(GPoint(x, view.top), header->GetCellRect().Size()));
    header->SetOffset(GPoint(x - view.left, 0));
  }
  headers_.push_back(header);
  topMargin_ = std::max(topMargin_, header->GetCellRect().Height());
  return 1;
}

BOOL GVListView::LinkRow(ListItem* row, RowIter before) {
  if (!row) return 0;
  const bool first = rows_.empty();
  const RowIter it = rows_.insert(before, row);
  ++rowCount_;
  if (first) {
    top_ = selected_ = it;
    const auto& cells = row->GetCells();
    if (!cells.empty() && cells.front()->GetCellRect().Height() > rowHeight_) {
      rowHeight_ = cells.front()->GetCellRect().Height();
      visibleRows_ = ComputeVisibleRows();
    }
  } else if (rowCount_ > static_cast<uint32_t>(visibleRows_)) {
    EnableScrollBar(1);
  }
  row->SetHeight(rowHeight_);
  if (!Layout()) return 0;
  if (first) UpdateSelectionBar();
  return 1;
}

BOOL GVListView::AddRow(ListItem* row) { return LinkRow(row, rows_.end()); }

BOOL GVListView::InsertRow(ListItem* row, uint32_t beforeId) { return LinkRow(row, FindRow(beforeId)); }

GVListView::RowIter GVListView::FindRow(uint32_t id) {
  return std::find_if(rows_.begin(), rows_.end(), [id](ListItem* r) { return r->GetId() == id; });
}

BOOL GVListView::RemoveRow(uint32_t id) {
  const RowIter it = FindRow(id);
  if (it == rows_.end()) return 0;
  // The row after takes the place; the row before when the last one goes.
  const auto successor = [&]() -> RowIter {
    const RowIter next = std::next(it);
    if (next != rows_.end()) return next;
    return it == rows_.begin() ? rows_.end() : std::prev(it);
  };
  if (top_ == it) top_ = successor();
  if (selected_ == it) selected_ = successor();
  delete *it;
  rows_.erase(it);
  --rowCount_;
  Layout();
  UpdateSelectionBar();
  EnableScrollBar(rowCount_ > static_cast<uint32_t>(visibleRows_) ? 1 : 0);
  return 1;
}

void GVListView::RemoveAllRows() {
  for (ListItem* r : rows_) delete r;
  rows_.clear();
  rowCount_ = 0;
  top_ = selected_ = rows_.end();
  UpdateSelectionBar();
  EnableScrollBar(0);
}

BOOL GVListView::SelectRow(uint32_t id) {
  const RowIter it = FindRow(id);
  if (it == rows_.end()) return 0;
  selected_ = it;
  const auto window = static_cast<uint32_t>(visibleRows_);
  if (rowCount_ > window) {
    top_ = it;
    // Keep the window full when the row is near the end.
    const uint32_t following = RowsFrom(it);
    if (following < window) top_ = std::prev(top_, window - following);
  }
  Layout();
  UpdateSelectionBar();
  return 1;
}

ListItem* GVListView::GetSelectedRow() { return selected_ == rows_.end() ? nullptr : *selected_; }

uint32_t GVListView::GetSelectedId() { return selected_ == rows_.end() ? kNoSelection : (*selected_)->GetId(); }

void GVListView::SetColumnOffsets(std::vector<GPoint> offsets) {
  columnOffsets_ = std::move(offsets);
  Layout();
}

SubListItem* GVListView::CellFromPoint(GPoint& pt) {
  const GRect view = GetRect();
  if (!view.PtInRect(pt.x, pt.y) || columnOffsets_.empty()) return nullptr;
  int32_t column = -1;
  for (size_t i = 0; i < columnOffsets_.size(); ++i)
    if (columnOffsets_[i].x <= pt.x - view.left) column = static_cast<int32_t>(i);
  const int32_t dy = pt.y - view.top - topMargin_;
  if (column < 0 || dy < 0) return nullptr;
  const int32_t row = dy / rowHeight_;
  if (static_cast<uint32_t>(row) >= RowsFrom(top_)) return nullptr;
  ListItem* item = *std::next(top_, row);
  if (static_cast<size_t>(column) >= item->GetCells().size()) return nullptr;
  pt = GPoint(column, row);
  return item->GetCells()[static_cast<size_t>(column)];
}

BOOL GVListView::SetRowHeight(int32_t height) {
  // A height of 0 would divide by zero in the visible-row count.
  if (height < 1) return 0;
  rowHeight_ = height;
  visibleRows_ = ComputeVisibleRows();
  return 1;
}

void GVListView::RecalcRows() {
  visibleRows_ = ComputeVisibleRows();
  SetRect(GetRect());
  if (rowCount_ > static_cast<uint32_t>(visibleRows_)) EnableScrollBar(1);
}

void GVListView::SetSelectionMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  selLeft_ = left;
  selTop_ = top;
  selRight_ = right;
  selBottom_ = bottom;
  SetRect(GetRect());
}

void GVListView::SetInnerMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  innerLeft_ = left;
  innerTop_ = top;
  innerRight_ = right;
  innerBottom_ = bottom;
  SetRect(GetRect());
}

BOOL GVListView::LoadSelectionImage(const std::string& path, COLORREF colorKey) {
  const BOOL loaded = selectionBar_.LoadImage(path, colorKey);
  selectionBar_.SetStretch();
  return loaded;
}

BOOL GVListView::LoadBackgroundImage(const std::string& path, COLORREF colorKey) {
  const BOOL loaded = background_.LoadImage(path, colorKey);
  background_.SetTile();
  background_.SetRect(GetRect());
  return loaded;
}

void GVListView::TickAvatars() {
  if (!IsVisible()) return;
  RowIter it = top_;
  for (int32_t i = 0; i < visibleRows_ && it != rows_.end(); ++i, ++it) (*it)->TickAvatars();
}

BOOL GVListView::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  GVWnd::Draw(target, clip);
  const GRect view = GetRect();
  background_.Draw(target, view);
  const GRect inner(view.left + innerLeft_, view.top + innerTop_, view.right - innerRight_,
                    view.bottom - innerBottom_);
  for (SubListItem* h : headers_)
    if (PlacedWithView(h)) h->Draw(target, inner);
  if (selected_ != rows_.end() && selectionBar_.IsVisible() && showSelection_) selectionBar_.Draw(target, inner);
  RowIter it = top_;
  for (int32_t i = 0; i < visibleRows_ && it != rows_.end(); ++i, ++it) (*it)->Draw(target, inner);
  return 1;
}

BOOL GVListView::SelectAtPoint(GPoint pt) {
  const int32_t width = GetRect().Width();
  RowIter it = top_;
  for (int32_t i = 0; i < visibleRows_ && it != rows_.end(); ++i, ++it) {
    const GPoint at = (*it)->GetPos();
    const GRect hit(at.x + selLeft_, at.y + selTop_, at.x + width - selRight_, at.y + rowHeight_ - selBottom_);
    if (!hit.PtInRect(pt.x, pt.y)) continue;
    selected_ = it;
    Layout();
    UpdateSelectionBar();
    return 1;
  }
  return 0;
}

BOOL GVListView::OnLButtonDown(UINT, GPoint pt) { return SelectAtPoint(pt); }
BOOL GVListView::OnLButtonDblClk(UINT, GPoint pt) { return SelectAtPoint(pt); }

BOOL GVListView::OnLButtonUp(UINT keyFlags, GPoint pt) {
  if (!IsHover()) return 0;
  if (captured_) captured_->OnLButtonUp(keyFlags, pt);
  return 1;
}

BOOL GVListView::OnScroll(int32_t code, int32_t position, GVWnd*) {
  if (rows_.empty()) return 1;
  const auto window = static_cast<uint32_t>(visibleRows_);
  const RowIter first = rows_.begin();
  switch (code) {
    case SB_LINEUP:
      if (top_ != first) --top_;
      break;
    case SB_LINEDOWN:
      if (RowsFrom(top_) > window) ++top_;
      break;
    case SB_PAGEUP:
      if (static_cast<uint32_t>(std::distance(first, selected_)) >= window) {
        selected_ = std::prev(selected_, window - 1);
        top_ = selected_;
      } else {
        top_ = selected_ = first;
      }
      break;
    case SB_PAGEDOWN:
      if (RowsFrom(top_) > window) {
        if (RowsFrom(selected_) < window) {
          top_ = std::prev(rows_.end(), window);
          selected_ = rows_.end();
        } else {
          top_ = selected_;
          selected_ = std::next(selected_, window - 1);
        }
      } else {
        selected_ = rows_.end();
      }
      break;
    case SB_THUMBPOSITION:
      return 1;
    case SB_THUMBTRACK: {
      const int32_t pos = static_cast<int16_t>(position);
      if (pos < 0 || pos > GVScrollBar::kPositionScale || rowCount_ < window) return 0;
      top_ = std::next(first, (rowCount_ - window) * static_cast<uint32_t>(pos) / GVScrollBar::kPositionScale);
      break;
    }
    case SB_TOP:
      top_ = selected_ = first;
      break;
    case SB_BOTTOM:
      if (rowCount_ > window) top_ = std::prev(rows_.end(), window);
      selected_ = rows_.end();
      break;
    default:
      return 1;
  }
  Layout();
  UpdateSelectionBar();
  return 1;
}
