// Fuzz target of the scene's dispatcher: the input is cut into blocks at each "DVBK",
// each block goes to the game window's OnReceive as the host would hand it over, and
// the 50 ms tick runs between blocks. Whatever the bytes, every message is read,
// queued, handed to its type's handler and freed, with no read outside the bytes.
// An input gets ten seconds of the table's virtual time, and then no more blocks are
// read and a box still open is answered: a box that waits for a person, or a whole
// game's nested waits, would otherwise run on. The stored games' later handlers are
// reached by shorter inputs too.
// While the input plays, another program holds the display, as one may in a real
// session: the scene's draw finds it busy and paints nothing, while the handlers, the
// animations' steps and the boxes run as ever. A frame that no one reads cost most of
// an input's time, dozens of them for a game's animations. When the input is played
// the display comes back and the scene draws one frame: what its widgets marked while
// the display was busy, the whole table once a handler ran (each asks for that), so
// every widget the input left showing is drawn; a tick later, a frame of what moved.
// Each input ends with the game state reset, so that it frees most of what it made: the
// fuzzer runs an input again to look for a leak only when it saw more mallocs than frees.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "DispatchFraming.h"
#include "FuzzGameTable.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "plat/winuser.h"
#include "scene/CDorvik2VWS.h"

namespace {

using dispatch_fuzz::kBlockSeparator;
using dispatch_fuzz::kTickMs;
constexpr size_t kMaxInput = 1u << 20;
constexpr uint64_t kInputBudgetMicros = 10'000'000;

void Receive(IClientInterface* client, std::string_view block) {
  auto length = static_cast<int32_t>(block.size());
  client->OnReceive(0, 0, reinterpret_cast<const BYTE*>(block.data()), &length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  IClientInterface* client = FuzzGameTable("fuzz-dispatch");
  CDorvik2VWS* scene = dynamic_cast<CDorvik2Wnd*>(client)->Scene();
  const uint64_t start = plat::sim::NowMicros();
  const auto spent = [start] { return plat::sim::NowMicros() - start >= kInputBudgetMicros; };
  plat::sim::SetModalHook([spent](HWND) {
    if (spent()) plat::sim::PressKey(VK_RETURN);
  });
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  plat::sim::SetExclusiveHeldElsewhere(true);
  while (!spent()) {
    const size_t cut = rest.find(kBlockSeparator);
    Receive(client, rest.substr(0, cut));
    plat::sim::Advance(kTickMs);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + kBlockSeparator.size());
  }
  plat::sim::SetExclusiveHeldElsewhere(false);
  // The busy draws dropped the scene's mark but not the widgets' own.
  scene->MarkDirty();
  scene->RedrawIfDirty();
  // One more tick draws what the animations moved since: a frame of a part of the table.
  plat::sim::Advance(kTickMs);
  plat::sim::SetModalHook(nullptr);
  if (scene->IsBusy()) __builtin_trap();
  // The next input starts on an empty queue; the tick keeps running from the start.
  scene->ResetGameState();
  return 0;
}
