// Fuzz target: animation files (.qla) from bytes; every (sub-)animation is played for
// ever over a scripted list of times (large jumps, a step back, the 32-bit wrap) and
// drawn, hit-tested and measured at each step; names are looked up.
#include <cstdint>
#include <span>
#include <string>

#include "graphics/KK_FXMan.h"
#include "graphics/K_Animation.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib.h"
#include "plat/sim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    plat::sim::UseVirtualClock();
    return CreateFXManager(32) == 1;
  }();
  (void)ready;
  K_Animation_RSC rsc;
  if (!rsc.LoadFromBytes(std::span<const uint8_t>(data, size))) return 0;
  K_Dib image;
  image.Create(40, 30, 32);
  // Catching up is linear in the time passed, so the jumps stay within two minutes; the two
  // largest values are differences past 2^31, read as a clock that went back.
  static const uint32_t kTimes[] = {0, 9, 10, 11, 55, 1000, 999, 65536, 0xFFFFFF00, 0xFFFFFFFF, 5, 100000};
  for (int32_t i = 0; i < rsc.GetAnimationCount(); ++i) {
    K_Animation_RSC* sub = rsc.GetSubAnimation(i);
    const std::string name(sub->Header().name);
    int32_t index = -2;
    if (rsc.FindByName(name, &index) == nullptr || index < 0 || index > i) __builtin_trap();
    K_Animation player;
    player.SetRsc(sub);
    plat::sim::SetTickBase(0xFFFFF000u);
    player.Play(-1);
    for (uint32_t call : {0u, 0x10000u, 0x30000u}) {
      for (uint32_t t : kTimes) {
        player.Step(0xFFFFF000u + t);
        player.Draw(image, 20, 15, call);
        // A hit test walks every part of the frame, so the fine grid is kept for the
        // first step and later steps sample a coarse one.
        const int32_t grid = call == 0 && t == kTimes[0] ? 3 : 19;
        for (int32_t y = -20; y < 20; y += grid)
          for (int32_t x = -20; x < 20; x += grid) player.HitTest(x, y, call);
        K_Rect r;
        sub->GetFrameRect(player.CurrentFrame(), r, call);
        player.IsFrameMoving();
      }
      player.Play(2);
      player.SetStopFrame(call ? K_Animation::kHoldLast : 1);
    }
  }
  return 0;
}
