// Fuzz target: the avatar composer's GIF 89a reader from bytes, then the frames put on
// two layers and composed at several tick counts, centred on a canvas of their own and
// at an odd position on a small fixed canvas, and drawn to a device context.
#include <cstdint>
#include <memory>
#include <span>

#include "graphics/KK_GdiScope.h"
#include "graphics/XAvatarComposer.h"
#include "graphics/XGif89Reader.h"
#include "plat/sim_gdi.h"
#include "plat/sim_kernel.h"

namespace {
// Every frame is a whole screen and every composition a whole canvas, by design, so a
// screen's cost is paid per frame and per tick. The reader's own cap (4 M pixels) is
// right for avatars and is covered by the unit tests; here screens stay small so that
// the fuzzer spends its time on the codes and blocks rather than on memset.
constexpr uint32_t kMaxFuzzScreenPixels = 64 * 64;

void Run(const std::span<const uint8_t> bytes) {
  auto bottom = std::make_unique<XDibAnimation>();
  DecodeGif89a(bytes, *bottom);
  auto top = std::make_unique<XDibAnimation>();
  DecodeGif89a(bytes, *top);
  const int32_t frames = bottom->FrameCount();
  const int64_t duration = bottom->Duration();

  {
    // The bitmap outlives the DC's hold on it: a selected bitmap cannot be deleted.
    KK_GdiObject<HBITMAP> target(CreateBitmap(8, 8, 1, 32, nullptr));
    KK_MemoryDC memory;
    if (memory.Select(target.Get())) {
      for (int32_t n = 0; n < frames && n < 3; ++n) {
        bottom->DrawToDC(memory.Get(), RECT{-2, 1, 6, 9}, n, n % 2 == 0);
        bottom->StretchToDC(memory.Get(), RECT{0, 0, 8, 8}, RECT{1, 1, 5, 4}, n, n == 1 ? 0xFFFFFFFFu : 0x123456, n == 2);
      }
    }
  }

  XAvatarComposer composer;
  composer.SetLayer(0, std::move(bottom));
  composer.SetLayer(23, std::move(top));
  XDib canvas;
  XDib fixed;
  fixed.CreateDib32(SIZE{16, 16});
  const POINT odd{-3, 5};
  const uint32_t ticks[] = {0, 1, 99, 100, 0x7FFFFFFF, 0xFFFFFFFF, uint32_t(duration > 0 ? duration - 1 : 7)};
  for (uint32_t t : ticks) {
    plat::sim::SetTickBase(t);
    composer.Compose(nullptr, canvas, false, false);
    composer.Compose(&odd, fixed, false, true);
  }
}

}  // namespace

// No GDI object may outlive a pass.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > kMaxFuzzScreenPixels)
    return 0;
  static const bool warm = [] {
    KK_MemoryDC first;  // the process's first DC makes the stock objects
    return true;
  }();
  (void)warm;
  const size_t live = plat::sim::LiveGdiObjects();
  Run(std::span<const uint8_t>(data, size));
  if (plat::sim::LiveGdiObjects() != live) __builtin_trap();
  return 0;
}
