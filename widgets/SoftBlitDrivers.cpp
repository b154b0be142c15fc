// The software blit drivers: lock both surfaces, agree on a format, run the member.
#include "widgets/SoftBlit.h"

HRESULT AlphaBlendSurface(int32_t, int32_t, const DDSurface&, const DDSurface&, const RECT&, uint32_t, BOOL,
                          uint32_t, BlitPath) {
  return 0;
}
HRESULT BlendBlitStretch(const DDSurface&, const RECT&, const DDSurface&, const RECT&, uint32_t, uint32_t,
                         BlitPath) {
  return 0;
}
HRESULT BlendBlitAlpha(const DDSurface&, const RECT&, const DDSurface&, const RECT&, uint32_t, const uint8_t*,
                       size_t, BlitPath) {
  return 0;
}
