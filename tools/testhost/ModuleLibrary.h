// The module as a host loads it: the shared library opened by file, its three
// exports resolved by name.
#pragma once

#include <string>

#include "host/Dorvik2Api.h"

namespace testhost {

class ModuleLibrary {
 public:
  ModuleLibrary() = default;
  // The library stays loaded: its globals live for the process, and a loader
  // thread it let go may still run in it.
  ~ModuleLibrary() = default;
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // Opens the file and resolves the exports; false with `error` set otherwise.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return handle_ != nullptr; }
  void* Symbol(const char* name) const;

  CreateGameWndFn create = nullptr;
  InitGameWndFn init = nullptr;
  DestroyGameWndFn destroy = nullptr;

 private:
  void* handle_ = nullptr;
};

}  // namespace testhost
