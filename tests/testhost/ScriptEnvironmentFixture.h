// The world every game script test plays in: the module and the synthetic data, with a
// registry and a frame folder of the test program's own (the programs run side by side).
#pragma once

#include <string>

#include "support/TempDir.h"
#include "testhost/ScriptRunner.h"

namespace script_test {

inline const testing_support::TempDir& Folder() {
  static const testing_support::TempDir folder;
  return folder;
}

inline testhost::ScriptEnvironment Environment() {
  testhost::ScriptEnvironment e;
  e.modulePath = DORVIK2_MODULE_FILE;
  e.gameFolder = DORVIK_GAME_DATA_DIR;
  e.portalFolder = DORVIK_GAME_PORTAL_DIR;
  e.registryFile = Folder() / "registry.dat";
  e.frameFolder = Folder() / "frames";
  return e;
}

inline std::string ScriptPath(const std::string& name) { return std::string(DORVIK_GAME_SCRIPTS_DIR) + name; }

}  // namespace script_test
