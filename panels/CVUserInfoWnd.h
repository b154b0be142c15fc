// The user panel of a seat: display name, money, the change since the baseline, grade
// title, the two leader marks and the reserved-exit / reserved-observe mark.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/RCUser.h"
#include "tables/PanelPaths.h"
#include "panels/CVSeatPanelWnd.h"

class GVPSPWnd;
class GVQLAniWnd;
class GVTextWnd;

class CVUserInfoWnd : public CVSeatPanelWnd {
 public:
  enum Text : int32_t { kName, kMoney, kChange, kGrade, kTextCount };
  enum LeaderMark : int32_t { kLeaderA, kLeaderB, kLeaderMarks };
  // Sub-animations of the reserved mark.
  enum ReservedKind : int32_t { kExitReserved, kObserveReserved };

  struct TextRow {
    GSize offsets[kScreenPositions];
    COLORREF colour;
  };
  struct MarkRow {
    const char* const* path;
    GSize offsets[kScreenPositions];
    int32_t frame;
  };

  static constexpr GPoint kBases[kScreenPositions] = {{626, 414}, {626, 25}};
  static constexpr GSize kSize{174, 100};
  static constexpr GSize kTextSize{104, 14};
  static constexpr TextRow kTexts[kTextCount] = {
      {{{0, 27}, {0, 21}}, RGB(255, 255, 255)},
      {{{0, 47}, {0, 41}}, RGB(255, 215, 2)},
      {{{0, 67}, {0, 61}}, RGB(255, 151, 33)},
      {{{0, 87}, {0, 2}}, RGB(194, 241, 97)},
  };
  static constexpr MarkRow kLeaderMarkRows[kLeaderMarks] = {
      {&UserInfoLeaderMarkAPath, {{2, 84}, {2, 0}}, 0},
      {&UserInfoLeaderMarkBPath, {{86, 84}, {86, 0}}, 1},
  };
  static constexpr GSize kReservedOffsets[kScreenPositions] = {{6, 60}, {6, 54}};

  using CVSeatPanelWnd::CVSeatPanelWnd;

  // The texts, the leader marks and the reserved mark at the seat's place; 0 at the
  // first that fails.
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  // An empty seat (user number -1) empties the panel.
  void SetUser(const PlayerInfo& player);
  // The money, with "+" while an extra amount is held, and its change since the
  // baseline ("변동머니" while there is none).
  void SetMoney(int64_t money, int64_t extra);
  void SetNickname(const std::string& text);
  // Flag 0 stops the mark; else it plays its kind once and holds the last frame.
  void SetExitReservedMark(int32_t flag);
  void SetObserveReservedMark(int32_t flag);
  // One step of the reserved mark: 1 when it changed.
  int32_t TickAnimation();
  // Four empty texts, no mark, nobody seated; 1.
  int32_t ResetSeat();
  void SetSeatValue(int32_t) {}

  GVTextWnd* TextOf(Text t) const { return texts_.at(static_cast<size_t>(t)); }
  // The scene shows and hides these itself.
  GVPSPWnd* LeaderMarkOf(LeaderMark m) const { return leaderMarks_.at(static_cast<size_t>(m)); }
  GVQLAniWnd* ReservedMark() const { return reservedMark_; }
  int64_t MoneyBaseline() const { return moneyBaseline_; }
  int32_t UserNo() const { return userNo_; }

 private:
  void InitMembers() override;
  void SetTextOf(Text t, const std::string& text);
  void PlayReservedMark(ReservedKind kind, int32_t flag);
  void StopReservedMark();

  std::array<GVTextWnd*, kTextCount> texts_{};
  std::array<GVPSPWnd*, kLeaderMarks> leaderMarks_{};
  GVQLAniWnd* reservedMark_ = nullptr;
  int64_t moneyBaseline_ = 0;
  int32_t userNo_ = RCUser::kNoUser;
};
