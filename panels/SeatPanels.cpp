#include "panels/SeatPanels.h"

int32_t CVUserInfoWnd::TickAnimation() {
  Note("CVUserInfoWnd::TickAnimation");
  return 0;
}
void CVUserInfoWnd::ResetSeat() { Note("CVUserInfoWnd::ResetSeat"); }

int32_t CVJumsuInfoWnd::TickBlink() {
  Note("CVJumsuInfoWnd::TickBlink");
  return 0;
}
void CVJumsuInfoWnd::ResetScore() { Note("CVJumsuInfoWnd::ResetScore"); }

void CVHTIconWnd::ResetIcons() { Note("CVHTIconWnd::ResetIcons"); }
void CVBakIconWnd::ResetIcons() { Note("CVBakIconWnd::ResetIcons"); }
