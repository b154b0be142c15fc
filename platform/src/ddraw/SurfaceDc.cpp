// Surface device contexts until GDI exists in the layer: a handle that stands for the
// surface's memory, so the lock and DC rules of surfaces hold.
#include "ddraw/SurfaceDc.h"

#include <memory>

#include "core/HandleTable.h"

namespace plat::detail::ddraw {

namespace {
struct SurfaceDcObject : Object {
  PixelView memory;
  PixelFormat format;
};
}  // namespace

HDC CreateSurfaceDc(const PixelView& memory, const PixelFormat& format) {
  auto dc = std::make_shared<SurfaceDcObject>();
  dc->memory = memory;
  dc->format = format;
  return ToHandle<HDC>(Handles().Insert(HandleKind::DeviceContext, dc));
}

void DeleteSurfaceDc(HDC hdc) { Handles().Remove(FromHandle(hdc), HandleKind::DeviceContext); }

}  // namespace plat::detail::ddraw
