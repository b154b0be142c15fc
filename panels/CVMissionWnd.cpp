#include "panels/CVMissionWnd.h"

int32_t CVMissionWnd::Tick() {
  Note("CVMissionWnd::Tick");
  return 0;
}

void CVMissionWnd::Reset() { Note("CVMissionWnd::Reset"); }
