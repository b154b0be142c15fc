#include "panels/CVDorvik2BijouWnd.h"

int32_t CVDorvik2BijouWnd::Tick() {
  Note("CVDorvik2BijouWnd::Tick");
  return 0;
}
