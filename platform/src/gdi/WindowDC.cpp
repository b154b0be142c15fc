// DCs of windows and of the desktop: the windows layer's bridge supplies the
// backing store; the desktop window draws on the simulated screen.
#include <atomic>

#include "gdi/DeviceContext.h"
#include "gdi/WindowBridge.h"
#include "plat/error.h"

namespace plat::detail::gdi {
namespace {

std::atomic<WindowBridge*>& Bridge() {
  static auto* bridge = new std::atomic<WindowBridge*>(nullptr);
  return *bridge;
}

// The desktop's handle while no windows layer is installed: outside the handle
// table's range, so it never names another object.
HWND FallbackDesktop() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFFF0u)); }

}  // namespace

void SetWindowBridge(WindowBridge* bridge) { Bridge().store(bridge); }

HDC OpenWindowDC(HWND hwnd, const Region* paintArea) {
  WindowBridge* bridge = Bridge().load();
  const HWND desktop = bridge ? bridge->DesktopWindow() : FallbackDesktop();
  if (!hwnd || hwnd == desktop) {
    auto dc = NewDC(DeviceContext::Kind::Screen);
    dc->hwnd = hwnd;
    if (paintArea) dc->systemClip = *paintArea;
    return InsertDC(std::move(dc));
  }
  WindowSurface surface;
  if (!bridge || !bridge->Surface(hwnd, surface)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto dc = NewDC(DeviceContext::Kind::Window);
  dc->hwnd = hwnd;
  dc->surface = surface.pixels;
  if (surface.region) dc->systemClip = std::move(surface.region);
  if (paintArea) {
    dc->systemClip = dc->systemClip ? Region::Combine(*dc->systemClip, *paintArea, Region::Op::And) : *paintArea;
  }
  return InsertDC(std::move(dc));
}

}  // namespace plat::detail::gdi

using namespace plat::detail::gdi;

HWND GetDesktopWindow() {
  WindowBridge* bridge = Bridge().load();
  return bridge ? bridge->DesktopWindow() : FallbackDesktop();
}

HDC GetDC(HWND hwnd) { return OpenWindowDC(hwnd, nullptr); }

HDC GetWindowDC(HWND hwnd) { return OpenWindowDC(hwnd, nullptr); }

int ReleaseDC(HWND hwnd, HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || dc->kind == DeviceContext::Kind::Memory || dc->kind == DeviceContext::Kind::Surface ||
      (hwnd && dc->hwnd != hwnd)) {
    return 0;
  }
  plat::detail::Handles().Remove(plat::detail::FromHandle(hdc), plat::detail::HandleKind::DeviceContext);
  return 1;
}
