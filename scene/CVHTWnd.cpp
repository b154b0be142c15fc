// The card widget: identity, strip cell, highlight and the marks that follow it.
#include "scene/CVHTWnd.h"

#include "scene/CDorvik2VWS.h"

namespace card_wnd {

GPoint HighlightOffsetOf(int32_t mode) {
  if (mode == 1) return {0, -1};
  if (mode == 2) return {1, 1};
  return {};
}

void MoveMark(GVWnd* mark, GPoint target) {
  if (mark && mark->GetPos() != target) mark->SetPos(target);
}

}  // namespace card_wnd

CVHTWnd::CVHTWnd(void* owner) : owner_(owner) {
  // The cell is drawn stretched so that an enlarged card in flight keeps its picture.
  SetStretch(1);
  Reset();
}

void CVHTWnd::Reset() {
  floorSlot = -1;
  cardId = kNoCard;
  month = kBonusMonth;
  kind = kKindNone;
  set = kSetNone;
  flag = 0;
  path.clear();
  ResetPlacement(nullptr, -1, 0);
}

void CVHTWnd::SetCard(FlowerCard id) {
  if (id < 0 || id >= kCardCount) id = kNoCard;
  const CardInfo info = CardInfoOf(id);
  cardId = id;
  month = info.month;
  kind = info.kind;
  set = info.set;
  ShowFrame(id);
}

void CVHTWnd::ShowFrame(int32_t n) { SetSourceRect(GRect(GPoint(0, n * cell_.cy), cell_)); }

void CVHTWnd::ResetPlacement(CDorvik2VWS* scene, int32_t index, int32_t floorFlag) {
  highlightMode = 0;
  highlightOffset = {};
  if (scene) MoveCardMarks(GetPos(), scene, index, floorFlag);
}

int32_t CVHTWnd::SetHighlight(int32_t mode, CDorvik2VWS* scene, int32_t index, int32_t floorFlag) {
  if (mode == highlightMode) return 0;
  GPoint pos = GetPos() - GSize(highlightOffset);
  highlightOffset = card_wnd::HighlightOffsetOf(mode);
  pos += highlightOffset;
  highlightMode = mode;
  SetPos(pos);
  if (scene) MoveCardMarks(pos, scene, index, floorFlag);
  return 1;
}

void CVHTWnd::MoveCardMarks(GPoint pos, CDorvik2VWS* scene, int32_t index, int32_t floorFlag) {
  if (!scene) return;
  const CDorvik2VWS::CardTableWidgets& w = scene->CardWidgets();
  if (floorFlag) {
    if (index < 0 || index >= kFloorMarks) return;
    card_wnd::MoveMark(w.floorOutlines[static_cast<size_t>(index)], pos - GSize(3, 3));
    return;
  }
  if (index < 0 || index >= kHandMarks) return;
  for (GVWnd* hint : w.handHints[static_cast<size_t>(index)]) card_wnd::MoveMark(hint, pos);
}

BOOL CVHTWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  if (GVWnd::HitTest(pt.x, pt.y, 0) > 0) return 1;
  return GVDDSWnd::OnLButtonUp(keyFlags, pt);
}
