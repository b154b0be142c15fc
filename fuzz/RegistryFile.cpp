// Fuzz target for the registry file reader: any bytes on disk must give either a
// registry or ERROR_BADDB, and a registry that was read must survive being written
// back and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScratchFolder.h"
#include "plat/registry.h"
#include "plat/sim.h"

namespace {

const std::string& RegistryPath() {
  static const std::string* path = new std::string((FuzzScratchFolder("fuzz-registry") / "registry.dat").string());
  return *path;
}

// Inputs are file bodies; the trailing checksum is added here so that mutations reach
// the structure checks instead of stopping at the checksum.
std::string Sealed(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(h >> (8 * i));
  return bytes;
}

LONG ReadBack() {
  plat::sim::ReloadRegistry();
  HKEY key = nullptr;
  const LONG r = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
  if (r == ERROR_SUCCESS) {
    DWORD size = 0;
    RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size);
    RegCloseKey(key);
  }
  return r == ERROR_BADDB ? r : ERROR_SUCCESS;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::sim::SetRegistryFile(RegistryPath());
  std::ofstream(RegistryPath(), std::ios::binary | std::ios::trunc) << Sealed(data, size);
  if (ReadBack() == ERROR_BADDB) return 0;
  const DWORD one = 1;
  if (RegSetValueExA(HKEY_CURRENT_USER, "fuzz", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4) !=
          ERROR_SUCCESS ||
      ReadBack() != ERROR_SUCCESS) {
    std::fprintf(stderr, "a registry that was read could not be written back\n");
    std::abort();
  }
  return 0;
}
