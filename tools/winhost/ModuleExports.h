// Dorvik2.dll's exports as a Windows host finds them: by ordinal, each named export
// checked to stand at its ordinal.
#pragma once

#include <windows.h>

#include <string>

#include "host/Dorvik2Api.h"
#include "module/Dorvik2Module.h"

namespace winhost {

// The exports' ordinals, by which a host may resolve them.
enum ExportOrdinal : WORD {
  kCreateGameWnd = 1,
  kDestroyGameWnd = 2,
  kInitGameWnd = 3,
  kCDorvik2Constructor = 4,
  kCDorvik2Assign = 5,
  kFnDorvik2 = 6,
  kNDorvik2 = 7,
};

struct ModuleExports {
  CreateGameWndFn create = nullptr;
  InitGameWndFn init = nullptr;
  DestroyGameWndFn destroy = nullptr;
  decltype(&fnDorvik2) fnDorvik2 = nullptr;
  decltype(&nDorvik2) nDorvik2 = nullptr;
};

// False with `error` when an ordinal is missing or a name stands elsewhere.
bool FindExports(HMODULE module, ModuleExports& out, std::string& error);

}  // namespace winhost
