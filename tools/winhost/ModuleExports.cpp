// Resolving by ordinal, and the names against the ordinals.
#include "tools/winhost/ModuleExports.h"

namespace winhost {

namespace {

// GetProcAddress answers one function type for every export; void (*)() casts to any.
template <typename Fn>
Fn ExportAt(HMODULE module, WORD ordinal) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

bool FindExports(HMODULE module, ModuleExports& out, std::string& error) {
  for (WORD ordinal = kCreateGameWnd; ordinal <= kNDorvik2; ++ordinal) {
    if (!GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) {
      error = "no export with ordinal " + std::to_string(ordinal);
      return false;
    }
  }
  // The class's two members need only exist; the others must stand at their ordinals.
  const struct {
    const char* name;
    WORD ordinal;
  } named[] = {{"CreateGameWnd", kCreateGameWnd}, {"DestroyGameWnd", kDestroyGameWnd},
               {"InitGameWnd", kInitGameWnd},     {"fnDorvik2", kFnDorvik2},
               {"nDorvik2", kNDorvik2}};
  for (const auto& n : named) {
    if (GetProcAddress(module, n.name) != GetProcAddress(module, MAKEINTRESOURCEA(n.ordinal))) {
      error = std::string("export ") + n.name + " is not at ordinal " + std::to_string(n.ordinal);
      return false;
    }
  }
  out.create = ExportAt<CreateGameWndFn>(module, kCreateGameWnd);
  out.init = ExportAt<InitGameWndFn>(module, kInitGameWnd);
  out.destroy = ExportAt<DestroyGameWndFn>(module, kDestroyGameWnd);
  out.fnDorvik2 = ExportAt<decltype(&fnDorvik2)>(module, kFnDorvik2);
  // The variable's address, as the loader gives it for a data export.
  out.nDorvik2 = reinterpret_cast<decltype(&nDorvik2)>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kNDorvik2))));
  return true;
}

}  // namespace winhost
