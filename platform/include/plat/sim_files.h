// Test control of the file system view: which folder a fake Windows path stands for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat::sim {

// Paths starting with `windowsPrefix` (compared without regard to ASCII case or separator
// style) map into `nativeFolder`. The folder is used as given; what follows the prefix is
// resolved inside it.
void MapPathPrefix(const std::string& windowsPrefix, const std::string& nativeFolder);
void ClearPathPrefixes();
// Folder that unmapped drive paths (`C:\...`) map into; "/" by default.
void SetDriveRoot(const std::string& nativeFolder);

// Files open through CreateFileA handles right now.
uint32_t OpenFileCount();
// While recording, CreateFileA notes each name it opened, as the caller gave it, and
// every opener of the layer notes each name it was asked for, whether the open succeeds
// or not: CreateFileA, OpenCFile (and so the INI reader), the GDI image loaders' file
// reads and LoadCursorFromFileA. Starting (or stopping) a recording clears both lists.
void RecordOpenedFiles(bool on);
std::vector<std::string> OpenedFiles();
std::vector<std::string> RequestedFiles();

}  // namespace plat::sim
