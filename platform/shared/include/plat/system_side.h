// Which system answers the plat headers: the headless layer, Windows itself, or Wine
// standing in for Windows. Only programs that hold one side to the other ask this (the
// seam's conformance tests, to mark a behaviour one side lacks); the module never does.
#pragma once

namespace plat {

enum class SystemSide { Headless, Windows, Wine };

SystemSide CurrentSystemSide();
const char* SystemSideName(SystemSide side);

// The display a conformance run needs, at `bitsPerPixel` (16: 5-6-5, or 32). The
// headless layer's desktop takes that format, as the real side's display is given
// its depth by whoever starts the run (an X server's screen under Wine); on the real
// side nothing changes and the answer says whether the display already has it.
bool UseDisplayDepth(int bitsPerPixel);

}  // namespace plat
