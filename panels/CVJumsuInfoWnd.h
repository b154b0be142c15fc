// The score panel of a seat: the score in a small form that blinks when it rises, or,
// from 7 points at a multiplier of 2, a large form with the total over a row of faint
// eights; the multiplier beside its sign.
#pragma once

#include <array>
#include <cstdint>

#include "game/CHTUser.h"
#include "panels/CVSeatPanelWnd.h"
#include "tables/PanelPaths.h"

class GVPSPNumberWnd;
class GVPSPWnd;

class CVJumsuInfoWnd : public CVSeatPanelWnd {
 public:
  enum Number : int32_t { kSmall, kLarge, kHighlightA, kHighlightB, kMultiplier, kPlaceholder, kTotal, kNumbers };
  // The label shows frame 0 with the small form and frame 1 with the large.
  enum Sprite : int32_t { kLabel, kSign, kTotalBack, kSprites };

  // One child: a number (size, style, spacing) or a sprite, in member slot `slot`.
  struct ChildRow {
    bool number;
    int32_t slot;
    const char* const* path;
    GSize offsets[kScreenPositions];
    GSize size;
    uint32_t style;
    int32_t spacing;
  };

  static constexpr GPoint kBases[kScreenPositions] = {{638, 352}, {638, 124}};
  static constexpr GSize kSize{154, 63};
  // Style 1 carries no layout bit, so the eights run from the left edge, ahead of the
  // right-aligned total.
  static constexpr uint32_t kPlaceholderStyle = 1;
  static constexpr uint32_t kRight = 2;
  // Creation order is drawing order.
  static constexpr ChildRow kChildren[] = {
      {true, kSmall, &ScoreSmallDigitsPath, {{20, 30}, {20, 3}}, {44, 29}, kRight, -1},
      {true, kLarge, &ScoreLargeDigitsPath, {{14, 34}, {14, 6}}, {54, 23}, kRight, -1},
      {false, kLabel, &ScoreLabelPath, {{69, 38}, {69, 10}}, {}, 0, 0},
      {true, kHighlightA, &ScoreHighlightAPath, {{20, 30}, {20, 3}}, {44, 29}, kRight, -1},
      {true, kHighlightB, &ScoreHighlightBPath, {{17, 28}, {17, 1}}, {48, 32}, kRight, -2},
      {false, kSign, &ScoreTimesSignPath, {{101, 39}, {101, 13}}, {}, 0, 0},
      {true, kMultiplier, &ScoreMultiplierDigitsPath, {{101, 39}, {101, 13}}, {48, 11}, kRight, 1},
      {false, kTotalBack, &ScoreTotalBackPath, {{6, 2}, {6, 39}}, {}, 0, 0},
      {true, kPlaceholder, &ScoreTotalPlaceholderPath, {{36, 3}, {36, 40}}, {104, 21}, kPlaceholderStyle, 1},
      {true, kTotal, &ScoreTotalDigitsPath, {{35, 2}, {35, 39}}, {106, 21}, kRight, -1},
  };
  static constexpr int32_t kPlaceholderBlend = 26;
  static constexpr uint32_t kBlinkPhaseMs = 300;

  using CVSeatPanelWnd::CVSeatPanelWnd;

  // Every child at the seat's place, hidden; 0 at the first that fails.
  int32_t Create(IPanelScene* scene, int32_t screenPos);
  // Shows the seat's score, multiplier and total.
  void Update(const CHTUser& seat);
  // One blink step (the scene's 50 ms tick): 1 while the blink runs.
  int32_t TickBlink();
  // Everything hidden, no score shown yet, no blink.
  void ResetScore();
  // The table cloth the score is drawn for; 1 and dirty when it changed.
  int32_t SetBackWnd(int32_t skin) {
    if (skin == skin_) return 0;
    skin_ = skin;
    SetDirty(1);
    return 1;
  }

  GVPSPNumberWnd* NumberOf(Number n) const { return numbers_.at(static_cast<size_t>(n)); }
  GVPSPWnd* SpriteOf(Sprite s) const { return sprites_.at(static_cast<size_t>(s)); }
  BOOL IsBlinking() const { return blinking_; }

 private:
  void InitMembers() override;
  void ShowNumber(Number n, BOOL show);
  void ShowSprite(Sprite s, BOOL show);
  // Small form: its label frame and the blink on a rise.
  void ShowSmallForm(int64_t score);
  void ShowLargeForm(int64_t total);
  void ShowMultiplier(int32_t multiplier);

  std::array<GVPSPNumberWnd*, kNumbers> numbers_{};
  std::array<GVPSPWnd*, kSprites> sprites_{};
  int32_t skin_ = 0;
  int64_t lastScore_ = 0;
  uint32_t blinkStart_ = 0;
  BOOL blinking_ = 0;
};
