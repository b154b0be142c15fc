// The per-seat panels of the table: the user-info panel, the score panel and the two
// icon strips. Until their own work they only note the calls the scene makes.
#pragma once

#include <array>
#include <cstdint>

#include "game/CHTUser.h"
#include "panels/PanelStub.h"

class GVPSPWnd;
class GVQLAniWnd;

class CVUserInfoWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // One step of the seat's animation: 1 when something changed.
  int32_t TickAnimation();
  void ResetSeat();
};

class CVJumsuInfoWnd : public CPanelStub {
 public:
  using CPanelStub::CPanelStub;
  // One blink step: 1 when something changed.
  int32_t TickBlink();
  void ResetScore();
  // The table cloth the score is drawn for; 1 and dirty when it changed.
  int32_t SetBackWnd(int32_t skin) {
    if (skin == skin_) return 0;
    skin_ = skin;
    SetDirty(1);
    return 1;
  }

 private:
  int32_t skin_ = 0;
};

// The go, shake and bbuck counts of a seat as icons: count n shows frame n - 1.
class CVHTIconWnd : public CPanelStub {
 public:
  static constexpr GPoint kBases[2] = {{632, 417}, {632, 104}};
  static constexpr GSize kSize{91, 17};
  static constexpr GSize kOffsets[3] = {{0, 0}, {27, 0}, {65, 0}};  // go, shake, bbuck
  static constexpr int32_t kMaxCounts[3] = {9, 4, 3};
  using CPanelStub::CPanelStub;
  // The three icons at the seat's place, hidden; 0 at the first that fails.
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  // A count outside 1..its maximum hides its icon.
  void Update(const CHTUser& seat);
  void SetBackWnd(int32_t) {}
  void ResetIcons();
  GVQLAniWnd* Icon(int32_t i) const { return icons_.at(static_cast<size_t>(i)); }

 private:
  void InitMembers() override;
  std::array<GVQLAniWnd*, 3> icons_{};
  int32_t screenPos_ = 0;
};

// The bak flags of a seat: one mark per flag, and the frame while any is set.
class CVBakIconWnd : public CPanelStub {
 public:
  static constexpr GPoint kBases[2] = {{12, 399}, {12, 114}};
  static constexpr GSize kSize{93, 21};
  static constexpr int32_t kFrameSprite = 3;
  static constexpr GSize kMarkOffsets[3] = {{3, 3}, {33, 3}, {63, 3}};  // gwang, yeol, pi
  using CPanelStub::CPanelStub;
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  void Update(const CHTUser& seat);
  void ResetIcons();
  GVPSPWnd* Frame() const { return frame_; }
  GVPSPWnd* Mark(int32_t i) const { return marks_.at(static_cast<size_t>(i)); }

 private:
  void InitMembers() override;
  GVPSPWnd* frame_ = nullptr;
  std::array<GVPSPWnd*, 3> marks_{};
  int32_t screenPos_ = 0;
};
