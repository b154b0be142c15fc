// The module unloaded as a host unloads it: its global objects go at the library's
// detach, and with them what they held of the layer.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/ModuleGlobal.h"
#include "plat/gdi.h"
#include "plat/module.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "testhost/ScriptMessages.h"
#include "testhost/TestHost.h"

namespace {

template <class F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Every object of the layer the module makes: GDI's, and each COM object.
struct LayerCounts {
  size_t gdiObjects, deviceContexts;
  uint32_t directDraws, surfaces, clippers, palettes, soundBuffers;
  size_t heapBlocks;
  bool operator==(const LayerCounts&) const = default;
};

void PrintTo(const LayerCounts& c, std::ostream* os) {
  *os << "{gdi objects " << c.gdiObjects << ", dcs " << c.deviceContexts << ", ddraw objects " << c.directDraws
      << ", surfaces " << c.surfaces << ", clippers " << c.clippers << ", palettes " << c.palettes
      << ", sound buffers " << c.soundBuffers << ", heap blocks " << c.heapBlocks << "}";
}
[[maybe_unused]] void (*const kPrintCounts)(const LayerCounts&, std::ostream*) = PrintTo;

LayerCounts Live() {
  return {plat::sim::LiveGdiObjects(),  plat::sim::LiveDeviceContexts(), plat::sim::LiveDirectDrawObjects(),
          plat::sim::LiveSurfaces(),    plat::sim::LiveClippers(),       plat::sim::LivePalettes(),
          plat::sim::LiveSoundBuffers(), plat::sim::LiveHeapBlocks()};
}

TEST(ModuleUnload, TheGlobalsGoAtTheLastFreeLibraryWithWhatTheyHeld) {
  if (GetModuleHandleA("Dorvik2")) GTEST_SKIP() << "another test of this process holds the module";
  LayerCounts before{}, destroyed{};
  HMODULE module = LoadLibraryA(DORVIK2_MODULE_FILE);
  ASSERT_NE(module, nullptr);
  {
    testhost::TestHost host;
    // Stock objects are made at their first use and live for the process.
    for (int object = WHITE_BRUSH; object <= DEFAULT_GUI_FONT; ++object) GetStockObject(object);
    before = Live();
    host.UseExports(Export<CreateGameWndFn>(module, "CreateGameWnd"), Export<InitGameWndFn>(module, "InitGameWnd"),
                    Export<DestroyGameWndFn>(module, "DestroyGameWnd"));
    plat::sim::MapPathPrefix("C:\\g\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
    ASSERT_EQ(host.Create(), 0);
    ASSERT_NE(host.Init(u"C:\\g\\", u"C:\\p\\", 1), nullptr);
    ASSERT_TRUE(host.WaitForLoader(10000));
    std::vector<uint8_t> entry;
    std::string why;
    ASSERT_TRUE(testhost::ScriptMessages().Bytes("HM_ROOM_ENTER", "entryKind=1", 101, true, entry, why)) << why;
    int32_t length = static_cast<int32_t>(entry.size());
    EXPECT_EQ(host.Client()->OnReceive(0, 0, entry.data(), &length), 0);
    host.Advance(250);
    EXPECT_EQ(host.Destroy(), 0);
    plat::sim::ClearPathPrefixes();
  }
  // The test host reads the module's commands with its own copy of the buffer code,
  // whose pool is this program's: let go first, so that what is left is the module's.
  module_globals::DestroyAll();
  destroyed = Live();
  // The buffer pool and the block allocator keep their free blocks for the next game.
  EXPECT_GT(destroyed.heapBlocks, before.heapBlocks);
  HMODULE again = LoadLibraryA(DORVIK2_MODULE_FILE);
  EXPECT_EQ(again, module);
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ(Live(), destroyed) << "a reference given back while another is held detaches nothing";
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleA("Dorvik2"), nullptr);
  EXPECT_EQ(Live(), before) << "the last FreeLibrary left blocks, objects or surfaces of the module";
  WNDCLASSA game{};
  EXPECT_FALSE(GetClassInfoA(module, "Dorvik2Wnd", &game)) << "the class goes with the procedure";
}

}  // namespace
