// Test control of the file system view: which folder a fake Windows path stands for.
#pragma once

#include <cstdint>
#include <functional>
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

// Runs on the opening thread before each open of the openers above, with the name as
// the caller gave it (recording or not), so that a test can hold a thread at a file.
// The hook may block; it runs outside the layer's locks. Null removes it.
using OpenHook = std::function<void(const std::string& windowsPath)>;
void SetOpenHook(OpenHook hook);

}  // namespace plat::sim
