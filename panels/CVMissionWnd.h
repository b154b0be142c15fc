// The mission panel: the game's mission with its cards, capture marks, multiplier and
// success, on the right of the table. It takes no input.
#pragma once

#include <array>
#include <cstdint>
#include <list>

#include "panels/CVPanelWnd.h"

class CVMissionWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kCardSlots = 4;
  static constexpr int32_t kScreenSides = 2;
  static constexpr GPoint kDefaultPos{624, 187};
  static constexpr GSize kSize{176, 181};

  using CVPanelWnd::CVPanelWnd;
  // The children, the panel hidden at its default place and disabled; 0 at the first
  // child that cannot be made.
  int32_t Create(IPanelScene* scene);

  // Shows mission `id` (0..38; any other id does nothing) with its multiplier (1..11
  // selects one). A quiet mission (from a snapshot) neither sounds nor blinks.
  void SetMission(int32_t id, int32_t multiplier, BOOL quiet);
  // No mission: everything hidden, the marks and state cleared (the text kept).
  void Reset();
  // -1 running, 0 achieved, 1 failed; another value changes no widget. Stops the blink.
  void SetMissionState(int32_t state);
  // Seat 0 or 1 captured `card`; an exclusive capture takes the card from the other seat.
  void MarkCardTaken(int32_t seat, int32_t card, BOOL exclusive);
  // The capture marks again after the seats' screen positions changed.
  void RefreshMarks();
  BOOL IsMissionCard(int32_t card);
  // Both seats hold a mission card the other lacks: nobody can complete it.
  BOOL IsMissionBroken() const;
  void RevealCards();
  // The animations and the blink; 1 when something changed.
  int32_t Tick();
  // Every child moves with the panel.
  void SetPos(GPoint pt) override;

  int32_t MissionState() const { return missionState_; }
  BOOL IsActive() const { return active_; }
  BOOL IsRevealed() const { return revealed_; }

  GVDDSWnd* Card(int32_t slot) const { return cards_.at(static_cast<size_t>(slot)); }
  GVBoxWnd* Shade(int32_t slot) const { return shades_.at(static_cast<size_t>(slot)); }
  GVPSPWnd* CaptureMark(int32_t side, int32_t slot) const {
    return marks_.at(static_cast<size_t>(side)).at(static_cast<size_t>(slot));
  }
  GVPSPWnd* SpecialMark() const { return special_; }
  GVQLAniWnd* MultiplierAnimation() const { return multiplier_; }
  GVTextWnd* MissionText() const { return text_; }
  GVPSPWnd* StateMark() const { return state_; }
  GVQLAniWnd* TwoCardAnimation() const { return twoCard_; }

 private:
  void InitMembers() override;
  // The screen side of a seat's player; -1 without one.
  int32_t SideOfSeat(int32_t seat) const;
  int32_t ShownSlots() const;
  void StartBlink();

  std::array<GVDDSWnd*, kCardSlots> cards_{};
  std::array<GVBoxWnd*, kCardSlots> shades_{};
  std::array<std::array<GVPSPWnd*, kCardSlots>, kScreenSides> marks_{};
  GVPSPWnd* special_ = nullptr;
  GVQLAniWnd* multiplier_ = nullptr;
  GVTextWnd* text_ = nullptr;
  GVPSPWnd* state_ = nullptr;
  GVQLAniWnd* twoCard_ = nullptr;
  BOOL revealed_ = 1;
  BOOL active_ = 0;
  BOOL hasMultiplier_ = 0;  // the mission selected a multiplier animation
  std::list<int32_t> missionCards_;
  std::array<std::array<int32_t, kCardSlots>, kScreenSides> taken_{};
  int32_t missionState_ = -1;  // -1 running, 0 achieved, 1 failed
  int32_t blink_ = 0;
  uint32_t lastBlink_ = 0;
};
