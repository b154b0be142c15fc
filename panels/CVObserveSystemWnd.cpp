// The observer panel's answer handling and play-button state.
#include "panels/CVObserveSystemWnd.h"

void CVObserveSystemWnd::OnHostAnswer(int32_t code, int32_t ok) {
  const int32_t state = ok && code != kRefusingCode ? kObserveGranted : kObserveIdle;
  if (ok && (code == kFirstServiceCode || code == kSecondServiceCode)) ++refreshes_;
  if (scene_) scene_->SendObserveMode(state);
}

void CVObserveSystemWnd::SetButtonState(int32_t show, int32_t enable) {
  if (folded_) return;
  playShown_ = show ? 1 : 0;
  playEnabled_ = enable ? 1 : 0;
}
