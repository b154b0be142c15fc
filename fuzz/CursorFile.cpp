// Fuzz target for the cursor file reader: any bytes in a .ani or .cur file must give
// a cursor or a null handle, never a read outside the bytes.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScratchFolder.h"
#include "plat/sim.h"
#include "plat/user.h"

namespace {

const std::filesystem::path& Folder() {
  static const auto* folder = [] {
    auto* f = new std::filesystem::path(FuzzScratchFolder("fuzz-cursor"));
    plat::sim::MapPathPrefix("C:\\Cursors\\", f->string());
    return f;
  }();
  return *folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ofstream(Folder() / "input.ani", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (HCURSOR cursor = LoadCursorFromFileA("C:\\Cursors\\input.ani")) {
    if (!DestroyCursor(cursor)) __builtin_trap();
  }
  return 0;
}
