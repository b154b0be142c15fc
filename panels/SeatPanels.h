// The panels beside each seat: the user panel, the score panel (each in its own file)
// and the two icon strips, the go, shake and bbuck counts and the bak flags.
#pragma once

#include <array>
#include <cstdint>

#include "game/CHTUser.h"
#include "panels/CVJumsuInfoWnd.h"
#include "panels/CVSeatPanelWnd.h"
#include "panels/CVUserInfoWnd.h"

class GVPSPWnd;
class GVQLAniWnd;

// The go, shake and bbuck counts of a seat as icons: count n shows frame n - 1.
class CVHTIconWnd : public CVSeatPanelWnd {
 public:
  static constexpr GPoint kBases[kScreenPositions] = {{632, 417}, {632, 104}};
  static constexpr GSize kSize{91, 17};
  static constexpr GSize kOffsets[3] = {{0, 0}, {27, 0}, {65, 0}};  // go, shake, bbuck
  static constexpr int32_t kMaxCounts[3] = {9, 4, 3};
  using CVSeatPanelWnd::CVSeatPanelWnd;
  // The three icons at the seat's place, hidden; 0 at the first that fails.
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  // A count outside 1..its maximum hides its icon.
  void Update(const CHTUser& seat);
  void SetBackWnd(int32_t) {}
  void ResetIcons() { HideAll(); }
  GVQLAniWnd* Icon(int32_t i) const { return icons_.at(static_cast<size_t>(i)); }

 private:
  void InitMembers() override;
  std::array<GVQLAniWnd*, 3> icons_{};
};

// The bak flags of a seat: one mark per flag, and the frame while any is set.
class CVBakIconWnd : public CVSeatPanelWnd {
 public:
  static constexpr GPoint kBases[kScreenPositions] = {{12, 399}, {12, 114}};
  static constexpr GSize kSize{93, 21};
  static constexpr int32_t kFrameSprite = 3;
  static constexpr GSize kMarkOffsets[3] = {{3, 3}, {33, 3}, {63, 3}};  // gwang, yeol, pi
  using CVSeatPanelWnd::CVSeatPanelWnd;
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  void Update(const CHTUser& seat);
  void ResetIcons() { HideAll(); }
  GVPSPWnd* Frame() const { return frame_; }
  GVPSPWnd* Mark(int32_t i) const { return marks_.at(static_cast<size_t>(i)); }

 private:
  void InitMembers() override;
  GVPSPWnd* frame_ = nullptr;
  std::array<GVPSPWnd*, 3> marks_{};
};
