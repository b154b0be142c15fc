// Opening the module with the dynamic loader and resolving its exports.
#include "testhost/ModuleLibrary.h"

#include <dlfcn.h>

namespace testhost {

bool ModuleLibrary::Open(const std::string& path, std::string& error) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error = why ? why : "cannot open " + path;
    return false;
  }
  create = reinterpret_cast<CreateGameWndFn>(Symbol(dorvik2_api::kCreateGameWndName));
  init = reinterpret_cast<InitGameWndFn>(Symbol(dorvik2_api::kInitGameWndName));
  destroy = reinterpret_cast<DestroyGameWndFn>(Symbol(dorvik2_api::kDestroyGameWndName));
  if (!create || !init || !destroy) {
    error = path + " lacks an export";
    return false;
  }
  return true;
}

void* ModuleLibrary::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

}  // namespace testhost
