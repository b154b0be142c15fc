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
  int32_t Tick();
  void Reset();

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
  std::list<int32_t> missionCards_;
  std::array<std::array<int32_t, kCardSlots>, kScreenSides> taken_{};
  int32_t missionState_ = -1;  // -1 running, 0 achieved, 1 failed
  int32_t blink_ = 0;
  uint32_t lastBlink_ = 0;
};
