// The bijou reward panel: the reward counter with its cap and countdown, in the lower
// left corner.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVDorvik2BijouWnd : public CVPanelWnd {
 public:
  static constexpr GPoint kBase{1, 519};
  static constexpr GSize kSize{118, 55};

  using CVPanelWnd::CVPanelWnd;
  // The children hidden, the panel hidden and inactive; 0 at the first child that
  // cannot be made.
  int32_t Create(IPanelScene* scene);

  // The starting picture for a room: 1, or 0 for a kind outside 0..5 or a negative
  // count below the cap. Inactive leaves everything hidden. The flag is not read.
  int32_t Start(BOOL active, int32_t kind, int32_t count, int32_t flag);
  // 1 when the tickets were taken; refused at the cap, inactive or for n < 0.
  int32_t AddCount(int32_t n);
  void ShowKind(int32_t kind);
  // Arms the end-of-gain countdown; 1, or 0 at the cap or inactive.
  int32_t StartCountdown(BOOL a, BOOL b);
  // The scene's tick step; 1 when something changed.
  int32_t Update();
  // Pending flags cleared, every child and the promotion banners hidden.
  int32_t HideAll();
  int32_t Cap() const;
  int32_t Count() const { return count_; }
  int32_t Gained() const { return gained_; }
  int32_t Countdown() const { return countdown_; }

  GVPSPWnd* Background() const { return back_; }
  GVPSPWnd* FullPicture() const { return full_; }
  GVQLAniWnd* KindAnimation() const { return kindAnim_; }
  GVPSPWnd* KindPicture() const { return kindPicture_; }
  GVPSPNumberWnd* CountDigits() const { return digits_; }
  CVQLATextWnd* GainText() const { return gainText_; }
  GVQLAniWnd* GainAnimation() const { return gainAnim_; }
  BOOL IsActive() const { return active_; }

 private:
  void InitMembers() override;

  GVPSPWnd* back_ = nullptr;
  GVPSPWnd* full_ = nullptr;
  GVQLAniWnd* kindAnim_ = nullptr;
  GVQLAniWnd* gainAnim_ = nullptr;
  GVPSPWnd* kindPicture_ = nullptr;
  GVPSPNumberWnd* digits_ = nullptr;
  CVQLATextWnd* gainText_ = nullptr;
  BOOL active_ = 0;
  BOOL pendingA_ = 0;
  BOOL pendingB_ = 0;
  int32_t countdown_ = 0;
  int32_t count_ = 0;
  int32_t gained_ = 0;
  BOOL member_ = 1;  // a member's cap is the higher one
  uint32_t stepTime_ = 0;  // of the last countdown step
};
