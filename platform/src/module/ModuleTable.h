// Loaded modules as the layer sees them: one handle per shared object (the main program
// included), created when the object is first named and kept for the whole process.
#pragma once

#include <memory>
#include <string>

#include "core/HandleTable.h"
#include "plat/types.h"

namespace plat::detail {

struct ModuleObject : Object {
  std::string key;   // the loader's name of the object; empty for the main program
  std::string path;  // native path, for GetModuleFileNameA
  void* library = nullptr;  // dlopen handle while LoadLibraryA references are held
  uint32_t loads = 0;
};

// The handle of the object the loader knows as `key` ("" = the main program).
HMODULE ModuleHandleFor(const std::string& key);
HMODULE MainModule();
// The module object; a null handle means the main program. Null when not a module.
std::shared_ptr<ModuleObject> FindModule(HMODULE module);

}  // namespace plat::detail
