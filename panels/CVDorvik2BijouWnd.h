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
  int32_t Tick();

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
};
