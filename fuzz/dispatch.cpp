// Fuzz target of the scene's dispatcher: the input is cut into blocks at each "DVBK",
// each block goes to the game window's OnReceive as the host would hand it over, and
// the 50 ms tick runs between blocks. Whatever the bytes, every message is read,
// queued, handed to its type's handler and freed, with no read outside the bytes.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ScratchFolder.h"
#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "plat/threads.h"
#include "scene/CDorvik2VWS.h"

namespace {

constexpr std::string_view kBlockSeparator = "DVBK";
constexpr uint32_t kTickMs = 50;
constexpr size_t kMaxInput = 1u << 20;

// A host that takes everything and answers nothing.
class SilentHost : public IHostInterface {
 public:
  int32_t Send(int32_t, int32_t, const BYTE*, int32_t) override { return 0; }
  int32_t GetAvatar(BSTR, BSTR, BSTR*) override { return 0; }
  int32_t SetText(BSTR, uint32_t, BSTR) override { return 0; }
  int32_t SetPlayState(uint32_t) override { return 0; }
  int32_t SetPlayerList(BSTR) override { return 0; }
  int32_t AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return 0; }
  int32_t RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t NotifyEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }
};

// One ready game window for the whole run, made on the first input.
IClientInterface* Table() {
  static IClientInterface* client = [] {
    plat::sim::UseVirtualClock();
    plat::sim::SetRegistryFile((FuzzScratchFolder("fuzz-dispatch") / "registry.dat").string());
    // The table is built from the synthetic data's pictures.
    plat::sim::MapPathPrefix("D:\\game\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "FuzzHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "FuzzHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr,
                                nullptr, nullptr);
    static SilentHost silent;
    IClientInterface* made = nullptr;
    if (CreateGameWnd(&silent, &made) != 0) __builtin_trap();
    if (!InitGameWnd(made, 0, host, u"D:\\game\\", u"D:\\portal\\", u"", 0, 0, 0, 0, 0)) __builtin_trap();
    auto* wnd = dynamic_cast<CDorvik2Wnd*>(made);
    if (HANDLE loader = wnd->LoaderThread()) WaitForSingleObject(loader, INFINITE);
    plat::sim::Advance(kTickMs);
    if (!wnd->Scene()->IsReady()) __builtin_trap();
    return made;
  }();
  return client;
}

void Receive(IClientInterface* client, std::string_view block) {
  auto length = static_cast<int32_t>(block.size());
  client->OnReceive(0, 0, reinterpret_cast<const BYTE*>(block.data()), &length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  IClientInterface* client = Table();
  CDorvik2VWS* scene = dynamic_cast<CDorvik2Wnd*>(client)->Scene();
  // Each input starts on an empty queue; the tick keeps running from the start.
  scene->ResetGameState();
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (;;) {
    const size_t cut = rest.find(kBlockSeparator);
    Receive(client, rest.substr(0, cut));
    plat::sim::Advance(kTickMs);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + kBlockSeparator.size());
  }
  if (scene->IsBusy()) __builtin_trap();
  return 0;
}
