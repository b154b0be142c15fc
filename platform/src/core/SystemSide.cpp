// The headless layer answers for itself, and its desktop takes the depth a run asks for.
#include "plat/system_side.h"

#include "plat/sim_display.h"

namespace plat {

SystemSide CurrentSystemSide() { return SystemSide::Headless; }

bool UseDisplayDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 16:
      sim::ResetDisplay(sim::DisplayFormat::Rgb565);
      return true;
    case 32:
      sim::ResetDisplay(sim::DisplayFormat::Xrgb8888);
      return true;
    default:
      return false;
  }
}

}  // namespace plat
