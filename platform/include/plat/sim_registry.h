// Test control of the registry: where its file lives, and re-reading that file as a
// second process starting now would.
#pragma once

#include <string>

namespace plat::sim {

// File-system path (UTF-8) of the registry file; "" restores the default,
// $XDG_CONFIG_HOME (or $HOME/.config) + "/dorvik2/registry.dat". The file is read on
// the next registry call; open keys stay valid and are looked up again by path.
void SetRegistryFile(const std::string& path);
std::string RegistryFile();
// Forgets what is in memory and reads the file again on the next registry call.
void ReloadRegistry();

}  // namespace plat::sim
