// One flower card on the table. The widget carries the card's identity (a face-down
// card is card 50), draws one cell of its look's picture strip stretched to its
// rectangle, and keeps the path a running move still has to visit.
#pragma once

#include <cstdint>
#include <list>

#include "base/GGeometry.h"
#include "game/CardInfoTable.h"
#include "widgets/GVDDSWnd.h"

class CDorvik2VWS;

class CVHTWnd : public GVDDSWnd {
 public:
  // Cell sizes of the three card looks: the top hand, floor and piles, the bottom hand.
  static constexpr GSize kLookSizes[3] = {{25, 36}, {36, 55}, {40, 61}};
  static constexpr int32_t kMediumLook = 1;
  static constexpr int32_t kBackFrame = 50;
  static constexpr int32_t kFloorMarks = 12;
  static constexpr int32_t kHandMarks = 10;
  static constexpr int32_t kHintsPerHandSlot = 8;

  explicit CVHTWnd(void* owner);
  ~CVHTWnd() override = default;

  // No card, off the floor, no path, no highlight; the card stays where it is.
  void Reset();
  // Any id outside 0..49 shows no card (id 50, the back).
  void SetCard(FlowerCard id);
  void ResetPlacement(CDorvik2VWS* scene, int32_t index, int32_t floorFlag);
  // Mode 0 rest, 1 raised, 2 pressed; 0 when the mode is already set.
  int32_t SetHighlight(int32_t mode, CDorvik2VWS* scene, int32_t index, int32_t floorFlag);
  // Puts the marks of a hand position (floor flag clear) or a floor outline (set) on
  // `pos`; only the arguments count, not this card.
  static void MoveCardMarks(GPoint pos, CDorvik2VWS* scene, int32_t index, int32_t floorFlag);
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;

  // Cell n of the strip, sized by the look's cell, whatever size the card is drawn at.
  void ShowFrame(int32_t n);
  GSize CellSize() const { return cell_; }
  void SetCellSize(GSize cell) { cell_ = cell; }
  void* Owner() const { return owner_; }

  int32_t floorSlot = -1;
  FlowerCard cardId = kNoCard;
  CardMonth month = kBonusMonth;
  CardKind kind = kKindNone;
  CardSet set = kSetNone;
  GPoint home;
  std::list<GPoint> path;
  uint32_t flag = 0;
  int32_t highlightMode = 0;
  GPoint highlightOffset;

 private:
  void* owner_;
  GSize cell_ = kLookSizes[kMediumLook];
};
