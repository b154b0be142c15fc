// List rows and cells: making each kind of cell, placing cells along a row, and drawing
// a shared strip through the cell's own source rectangle.
#include "widgets/ListItem.h"

#include "base/DDSurfacePixel.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVListView.h"

SubListItem::SubListItem(int32_t type) : type_(type) {}

SubListItem::~SubListItem() { Clear(); }

void SubListItem::Clear() {
  if (OwnsWidget()) delete widget_;
  widget_ = nullptr;
  if (type_ == kText || type_ == kAvatar) type_ = kText;
}

GVDDSWnd* SubListItem::SurfaceWidget() const { return dynamic_cast<GVDDSWnd*>(widget_); }

BOOL SubListItem::CreateText(const std::string& text, const SIZE& size, COLORREF colorKey, UINT format,
                             int32_t fontHeight, int32_t fontWeight) {
  if (type_ != kText) return 0;
  delete widget_;
  auto* label = new GVLightTextWnd;
  widget_ = label;
  label->Create(size, colorKey, fontHeight, fontWeight);
  label->SetTextFormat(format);
  source_ = GRect(GPoint(0, 0), GSize(size));
  label->SetText(text);
  return 1;
}

BOOL SubListItem::SetText(const std::string& text) {
  auto* label = type_ == kText ? dynamic_cast<GVLightTextWnd*>(widget_) : nullptr;
  if (!label) return 0;
  return label->SetText(text);
}

BOOL SubListItem::CreateImage(const std::string& path, COLORREF colorKey) {
  if (type_ != kImage) return 0;
  delete widget_;
  auto* picture = new GVDDSWnd;
  widget_ = picture;
  picture->LoadImage(path, colorKey);
  return 1;
}

BOOL SubListItem::SetAvatar(const std::vector<std::string>& parts, GPoint trims, GSize size, COLORREF colorKey) {
  if (type_ != kAvatar) return 0;
  delete widget_;
  auto* avatar = new GVAvatarWnd;
  widget_ = avatar;
  return avatar->Create(parts, trims, size, colorKey);
}

BOOL SubListItem::SetSharedWidget(GVDDSWnd* widget) {
  if (type_ != kShared || !widget) return 0;
  widget_ = widget;
  cell_ = widget->GetRect();
  return 1;
}

BOOL SubListItem::SetSharedStrip(GVDDSWnd* widget, int32_t count, int32_t index) {
  if (type_ != kShared || !widget || count < 1) return 0;
  widget_ = widget;
  cell_ = widget->GetRect();
  stripCount_ = count;
  stripIndex_ = index >= 0 && index < count ? index : 0;
  const int32_t cellWidth = GetSurfaceSize(widget->GetSurface()).cx / count;
  source_ = GRect(stripIndex_ * cellWidth, 0, (stripIndex_ + 1) * cellWidth, cell_.Height());
  return 1;
}

BOOL SubListItem::SetWidget(GVDDSWnd* widget) {
  if (type_ != kWidget || !widget) return 0;
  delete widget_;
  widget_ = widget;
  return 1;
}

GRect SubListItem::GetCellRect() const { return OwnsWidget() && widget_ ? widget_->GetRect() : cell_; }

void SubListItem::SetCellRect(const GRect& rect) {
  if (OwnsWidget() && widget_) widget_->SetRect(rect);
  cell_ = rect;
}

GRect SubListItem::GetSourceRect() const {
  GVDDSWnd* picture = type_ != kText && type_ != kShared ? SurfaceWidget() : nullptr;
  return picture ? picture->GetSourceRect() : source_;
}

void SubListItem::SetSourceRect(const GRect& rect) {
  if (GVDDSWnd* picture = type_ != kText && type_ != kShared ? SurfaceWidget() : nullptr)
    picture->SetSourceRect(rect);
  source_ = rect;
}

void SubListItem::MoveTo(GPoint pt) {
  if (OwnsWidget() && widget_)
    widget_->SetPos(pt);
  else
    cell_.MoveTo(pt);
}

BOOL SubListItem::TickAvatar() {
  auto* avatar = type_ == kAvatar ? dynamic_cast<GVAvatarWnd*>(widget_) : nullptr;
  return avatar ? avatar->AnimateParts() : 0;
}

BOOL SubListItem::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!visible_ || !widget_) return 1;
  if (OwnsWidget()) {
    GRect area;
    if (!GRectIntersection(area, clip, widget_->GetRect()).HasArea()) return 1;
    return widget_->Draw(target, area);
  }
  // The shared picture serves many cells: it is moved here, shows this cell's part,
  // and gets its own part back so the next cell (or its owner) finds it unchanged.
  auto* shared = static_cast<GVDDSWnd*>(widget_);
  shared->SetRect(GRect(cell_.TopLeft(), source_.Size()));
  const GRect saved = shared->GetSourceRect();
  shared->SetSourceRect(source_);
  BOOL result = 1;
  GRect area;
  if (GRectIntersection(area, clip, shared->GetRect()).HasArea()) result = shared->Draw(target, area);
  shared->SetSourceRect(saved);
  return result;
}

ListItem::ListItem(GVListView& view, uint32_t id) : id_(id), pos_(view.GetRect().TopLeft()) {}

ListItem::~ListItem() {
  for (SubListItem* cell : cells_) delete cell;
}

BOOL ListItem::AddCell(SubListItem* cell) {
  if (!cell) return 0;
  const int32_t x = cells_.empty() ? pos_.x : cells_.back()->GetCellRect().right;
  const GSize size = cell->GetCellRect().Size();
  cell->SetCellRect(GRect(GPoint(x, pos_.y), size));
  cell->SetOffset(GPoint(x - pos_.x, 0));
  cells_.push_back(cell);
  return 1;
}

BOOL ListItem::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  for (SubListItem* cell : cells_) cell->Draw(target, clip);
  return 1;
}

BOOL ListItem::Layout(const std::vector<GPoint>& columnOffsets) {
  for (size_t i = 0; i < cells_.size(); ++i) {
    const GPoint offset = i < columnOffsets.size() ? columnOffsets[i] : cells_[i]->GetOffset();
    cells_[i]->MoveTo(pos_ + offset);
  }
  return 1;
}

BOOL ListItem::TickAvatars() {
  for (SubListItem* cell : cells_)
    if (cell->GetType() == SubListItem::kAvatar && !cell->TickAvatar()) return 0;
  return 1;
}
