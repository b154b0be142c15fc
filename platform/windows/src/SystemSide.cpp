// The real side: Windows, or Wine when its ntdll exports its version (the one sign
// Wine documents for a program that must know).
#include "plat/system_side.h"

#include "plat/win32.h"

namespace plat {

SystemSide CurrentSystemSide() {
  static const SystemSide side = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") ? SystemSide::Wine : SystemSide::Windows;
  }();
  return side;
}

bool UseDisplayDepth(int bitsPerPixel) {
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return depth == bitsPerPixel;
}

}  // namespace plat
