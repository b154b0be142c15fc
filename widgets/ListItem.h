// Rows of the list view and their cells: a cell holds a text label, a picture, an
// avatar, or one cell of a picture strip shared by many cells; a row places its cells
// side by side and moves them to the view's column offsets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"
#include "base/GGeometry.h"
#include "base/plist.h"

class GVWnd;
class GVDDSWnd;
class GVListView;
struct IDirectDrawSurface4;

class SubListItem {
 public:
  enum Type : int32_t {
    kText = 0,     // an owned light text label
    kImage = 1,    // an owned picture
    kAvatar = 2,   // an owned avatar
    kShared = 3,   // one cell of a picture owned elsewhere
    kWidget = 4,   // any owned surface widget, drawn like a picture
  };

  explicit SubListItem(int32_t type);
  SubListItem(const SubListItem&) = delete;
  SubListItem& operator=(const SubListItem&) = delete;
  virtual ~SubListItem();
  // Draws the cell within `clip`; 1 when there is nothing to draw.
  virtual BOOL Draw(IDirectDrawSurface4* target, const GRect& clip);

  // Drops the widget (a shared one is only forgotten); text and avatar cells become
  // text cells again.
  void Clear();
  BOOL CreateText(const std::string& text, const SIZE& size, COLORREF colorKey, UINT format, int32_t fontHeight,
                  int32_t fontWeight);
  BOOL SetText(const std::string& text);
  // 1 also when the picture cannot be loaded (the cell then draws nothing).
  BOOL CreateImage(const std::string& path, COLORREF colorKey);
  BOOL SetAvatar(const std::vector<std::string>& parts, GPoint trims, GSize size, COLORREF colorKey);
  BOOL SetSharedWidget(GVDDSWnd* widget);
  // The cell shows strip cell `index` of `count` side by side in the widget's picture;
  // an index out of range shows cell 0, and a count below 1 is refused.
  BOOL SetSharedStrip(GVDDSWnd* widget, int32_t count, int32_t index);
  // Hands an owned widget to a type 4 cell (0 for other types or null).
  BOOL SetWidget(GVDDSWnd* widget);

  GRect GetCellRect() const;
  void SetCellRect(const GRect& rect);
  GRect GetSourceRect() const;
  void SetSourceRect(const GRect& rect);
  void SetVisible(BOOL visible) { visible_ = visible; }
  BOOL IsVisible() const { return visible_; }
  int32_t GetType() const { return type_; }
  GVWnd* GetWidget() const { return widget_; }
  GPoint GetOffset() const { return offset_; }
  void SetOffset(GPoint offset) { offset_ = offset; }
  int32_t GetStripCount() const { return stripCount_; }
  int32_t GetStripIndex() const { return stripIndex_; }
  // Moves the cell's top-left corner.
  void MoveTo(GPoint pt);
  // Steps an avatar cell's animation: 1 when redrawn, 0 otherwise (and for other types).
  BOOL TickAvatar();

 private:
  // Types whose widget the cell owns and places.
  bool OwnsWidget() const { return type_ != kShared; }
  GVDDSWnd* SurfaceWidget() const;

  GVWnd* widget_ = nullptr;
  int32_t stripCount_ = 0;
  int32_t stripIndex_ = 0;
  BOOL visible_ = 1;
  int32_t type_;
  GRect cell_;
  GPoint offset_;
  GRect source_;
};

class ListItem {
 public:
  explicit ListItem(GVListView& view, uint32_t id = 0);
  ListItem(const ListItem&) = delete;
  ListItem& operator=(const ListItem&) = delete;
  ~ListItem();

  // Appends `cell` right of the previous cell (or at the row's left) and takes it; 0
  // for null.
  BOOL AddCell(SubListItem* cell);
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip);
  // Moves cell i to the row's position plus column offset i; a cell without a column
  // offset keeps the offset AddCell gave it.
  BOOL Layout(const std::vector<GPoint>& columnOffsets);
  BOOL TickAvatars();

  uint32_t GetId() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  GPoint GetPos() const { return pos_; }
  void SetPos(GPoint pt) { pos_ = pt; }
  int32_t GetHeight() const { return height_; }
  void SetHeight(int32_t height) { height_ = height; }
  const pvector<SubListItem>& GetCells() const { return cells_; }

 private:
  uint32_t id_;
  GPoint pos_;
  int32_t height_ = 0;
  pvector<SubListItem> cells_;
};
