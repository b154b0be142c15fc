// The window-system side of DirectDraw: the desktop's size, and a window's store with
// the part of its client area that shows, computed from the window tree the way the
// system clips: to every ancestor, without the top-level windows above its own, and
// with WS_CLIPSIBLINGS / WS_CLIPCHILDREN without its siblings above and its children.
#include "ddraw/WindowSeam.h"

#include "ddraw/Region.h"
#include "plat/gdi.h"
#include "plat/sim_user.h"
#include "plat/winuser.h"
#include "user/UserState.h"
#include "user/WindowTree.h"

namespace plat::detail::ddraw {

namespace {

constexpr uint32_t kDesktopBackground = 0x3A6EA5;

bool Shows(HWND hwnd) {
  auto w = user::Find(hwnd);
  return w && (w->style & WS_VISIBLE);
}

// Removes from `region` the windows listed before `self` (those above it).
std::vector<RECT> WithoutWindowsAbove(std::vector<RECT> region, const std::vector<HWND>& zOrder, HWND self) {
  for (HWND other : zOrder) {
    if (other == self) break;
    if (auto o = user::Find(other); o && Shows(other)) region = Subtract(region, o->rect);
  }
  return region;
}

// Caller holds the window-system lock.
std::vector<RECT> VisiblePartsLocked(const user::Window& w) {
  if (!user::VisibleLocked(w)) return {};
  std::vector<RECT> region{w.rect};
  if (w.style & WS_CLIPCHILDREN)
    for (HWND c : w.children)
      if (auto child = user::Find(c); child && Shows(c)) region = Subtract(region, child->rect);
  const user::Window* level = &w;
  std::shared_ptr<user::Window> hold;
  while (level->parent) {
    if (level->style & WS_CLIPSIBLINGS)
      region = WithoutWindowsAbove(std::move(region), user::SiblingsLocked(*level), level->hwnd);
    hold = user::Find(level->parent);
    if (!hold) return {};
    region = Clip(region, hold->rect);
    level = hold.get();
  }
  // Top-level windows (owned pop-ups among them) always clip each other.
  return WithoutWindowsAbove(std::move(region), user::State().topLevel, level->hwnd);
}

}  // namespace

void DesktopSize(int* width, int* height) {
  auto lock = user::Lock();
  *width = user::State().desktopWidth;
  *height = user::State().desktopHeight;
}

bool IsTopLevelWindow(HWND hwnd) {
  auto w = user::Find(hwnd);
  return w && !w->parent && !(w->style & WS_CHILD);
}

bool WithWindowTarget(HWND hwnd, const std::function<void(WindowTarget&)>& use) {
  auto w = user::Find(hwnd);
  if (!w) return false;
  auto lock = user::Lock();
  WindowTarget t;
  t.pixels = w->pixels.data();
  t.width = w->Width();
  t.height = w->Height();
  t.client = user::ClientOrigin(*w);
  t.visible = VisiblePartsLocked(*w);
  use(t);
  return true;
}

XrgbImage ReadWindowImage(HWND hwnd) {
  sim::WindowImage image = sim::ReadWindow(hwnd);
  return XrgbImage{image.width, image.height, std::move(image.pixels)};
}

XrgbImage ReadDesktopImage() {
  XrgbImage desk;
  DesktopSize(&desk.width, &desk.height);
  desk.pixels.assign(static_cast<size_t>(desk.width) * static_cast<size_t>(desk.height), kDesktopBackground);
  std::vector<std::pair<HWND, RECT>> tops;
  {
    auto lock = user::Lock();
    for (HWND t : user::State().topLevel)
      if (auto w = user::Find(t); w && (w->style & WS_VISIBLE)) tops.emplace_back(t, w->rect);
  }
  // Bottom to top, so the topmost is drawn last.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    const XrgbImage win = ReadWindowImage(it->first);
    const RECT& r = it->second;
    // A shaped window shows only inside its region (window coordinates): the windows
    // below show through what the region cuts away, as input passes through it.
    HRGN shape = sim::WindowRegion(it->first);
    for (int y = 0; y < win.height; ++y) {
      const int dy = r.top + y;
      if (dy < 0 || dy >= desk.height) continue;
      for (int x = 0; x < win.width; ++x) {
        const int dx = r.left + x;
        if (dx < 0 || dx >= desk.width) continue;
        if (shape && !PtInRegion(shape, x, y)) continue;
        desk.pixels[static_cast<size_t>(dy) * desk.width + dx] = win.pixels[static_cast<size_t>(y) * win.width + x];
      }
    }
  }
  return desk;
}

}  // namespace plat::detail::ddraw
