// A folder for the targets whose reader takes a file name: every input is written out
// first, so the folder lives in memory where the machine has a tmpfs (a disk file
// truncated at every input costs a write-back each time, and most of the run). The
// process id keeps parallel runs apart; the folder goes when the process exits.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "plat/sim_files.h"

inline const std::filesystem::path& FuzzScratchFolder(const char* name) {
  static const std::filesystem::path* folder = [name] {
    std::error_code error;
    const std::filesystem::path shm("/dev/shm");
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, error) ? shm : std::filesystem::current_path();
    auto* made = new std::filesystem::path(base / (std::string(name) + "-" + std::to_string(getpid())));
    std::filesystem::create_directories(*made);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(FuzzScratchFolder(""), ignored);
    });
    return made;
  }();
  return *folder;
}

// Writes the input as `name` into the scratch folder, which the layer reads as the
// Windows folder `windowsFolder` (a prefix ending in a backslash) from the first call on.
inline void FuzzWriteInput(const char* scratchName, const char* windowsFolder, const char* name, const uint8_t* data,
                           size_t size) {
  static const bool mapped = [scratchName, windowsFolder] {
    plat::sim::MapPathPrefix(windowsFolder, FuzzScratchFolder(scratchName).string() + "/");
    return true;
  }();
  (void)mapped;
  std::ofstream(FuzzScratchFolder(scratchName) / name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
