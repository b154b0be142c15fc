#include "panels/CVNotifyWnd.h"

int32_t CVNotifyWnd::Tick() {
  Note("CVNotifyWnd::Tick");
  return 0;
}

void CVNotifyWnd::Close() { Note("CVNotifyWnd::Close"); }
