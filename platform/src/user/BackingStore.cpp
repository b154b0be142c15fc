#include "user/BackingStore.h"

#include "user/UserState.h"

namespace plat::detail {

bool DrawIntoWindow(HWND hwnd, const std::function<void(PixelView)>& draw) {
  auto w = user::Find(hwnd);
  if (!w) return false;
  auto lock = user::Lock();
  draw(PixelView{w->pixels.data(), w->Width(), w->Height()});
  return true;
}

}  // namespace plat::detail
