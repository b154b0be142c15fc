#include "panels/CVGFPlayCountWnd.h"

int32_t CVGFPlayCountWnd::Tick() {
  Note("CVGFPlayCountWnd::Tick");
  return 0;
}

void CVGFPlayCountWnd::Reset() { Note("CVGFPlayCountWnd::Reset"); }
