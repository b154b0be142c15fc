// The list view: a column header over a scrolling window of rows identified by number,
// a stretched selection bar behind the selected row, a tiled background and an
// optional scroll bar. A click only moves the selection; the view notifies nobody.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVWnd.h"
#include "widgets/ListItem.h"
#include "base/plist.h"

class GVScrollBar;

class GVListView : public GVWnd {
 public:
  using RowIter = plist<ListItem>::iterator;
  static constexpr uint32_t kNoSelection = 0x7FFFFFFFu;

  GVListView();
  ~GVListView() override;

  // ---- Virtual operations, in the library's order ----
  void ReleaseImage() override;
  void SetRect(GRect rect) override;
  GRect GetRect() override;
  GRect GetDrawnRect() override;
  BOOL SetColorKey(COLORREF key) override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonDblClk(UINT keyFlags, GPoint pt) override;
  BOOL OnScroll(int32_t code, int32_t position, GVWnd* sender) override;
  virtual BOOL UpdateScrollBar();

  // ---- Columns and rows (the view takes what it is given) ----
  BOOL AddColumn(SubListItem* header);
  BOOL AddRow(ListItem* row);
  // Before the row with `beforeId`, or at the end when there is none.
  BOOL InsertRow(ListItem* row, uint32_t beforeId);
  BOOL RemoveRow(uint32_t id);
  void RemoveAllRows();
  BOOL SelectRow(uint32_t id);
  RowIter FindRow(uint32_t id);
  ListItem* GetSelectedRow();
  // kNoSelection when no row is selected.
  uint32_t GetSelectedId();
  // The cell under `pt` (null outside the view, past the last column or row); `pt`
  // becomes (column, row counted from the top row) when one is found.
  SubListItem* CellFromPoint(GPoint& pt);
  // Where each column's cells sit, relative to a row's position; with none, cells keep
  // the places AddCell gave them, and CellFromPoint finds no column.
  void SetColumnOffsets(std::vector<GPoint> offsets);
  const std::vector<GPoint>& GetColumnOffsets() const { return columnOffsets_; }

  // ---- Geometry and looks ----
  // 0 for a height below 1.
  BOOL SetRowHeight(int32_t height);
  int32_t GetRowHeight() const { return rowHeight_; }
  void RecalcRows();
  void SetSelectionMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void SetInnerMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  BOOL LoadSelectionImage(const std::string& path, COLORREF colorKey);
  BOOL LoadBackgroundImage(const std::string& path, COLORREF colorKey);
  void SetShowSelection(BOOL show) { showSelection_ = show; }
  void AttachScrollBar(GVScrollBar* bar) { scrollBar_ = bar; }
  GVScrollBar* GetScrollBar() const { return scrollBar_; }
  void EnableScrollBar(BOOL enable);
  void TickAvatars();

  // ---- State ----
  int32_t GetVisibleRows() const { return visibleRows_; }
  int32_t GetTopMargin() const { return topMargin_; }
  uint32_t GetRowCount() const { return rowCount_; }
  const plist<ListItem>& GetRows() const { return rows_; }
  // Null when there is no row.
  ListItem* GetTopRow() { return top_ == rows_.end() ? nullptr : *top_; }
  uint32_t GetTopIndex();
  const pvector<SubListItem>& GetHeaders() const { return headers_; }
  GVDDSWnd& GetSelectionBar() { return selectionBar_; }
  GVDDSWnd& GetBackground() { return background_; }
  GRect GetSelectionRect() const { return selectionRect_; }
  // The child a button-up is forwarded to while the view is hovered; none by default.
  void SetCapturedChild(GVWnd* child) { captured_ = child; }

 private:
  BOOL Layout();
  void UpdateSelectionBar();
  int32_t ComputeVisibleRows();
  // Rows from `from` to the end.
  uint32_t RowsFrom(RowIter from);
  BOOL LinkRow(ListItem* row, RowIter before);
  BOOL SelectAtPoint(GPoint pt);
  void DeleteAll();

  pvector<SubListItem> headers_;
  plist<ListItem> rows_;
  uint32_t rowCount_ = 0;
  RowIter top_;
  RowIter selected_;
  std::vector<GPoint> columnOffsets_;
  int32_t topMargin_ = 1;
  int32_t rowHeight_ = 1;
  int32_t visibleRows_ = 1;
  GRect selectionRect_;
  int32_t innerLeft_ = 0;
  int32_t innerRight_ = 0;
  int32_t innerTop_ = 0;
  int32_t innerBottom_ = 0;
  GVDDSWnd selectionBar_;
  GVDDSWnd background_;
  int32_t selLeft_ = 0;
  int32_t selTop_ = 0;
  int32_t selRight_ = 0;
  int32_t selBottom_ = 0;
  BOOL showSelection_ = 1;
  GVScrollBar* scrollBar_ = nullptr;
  GVWnd* captured_ = nullptr;
};
