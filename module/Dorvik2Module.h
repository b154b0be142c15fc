// The library's remaining exports, which do nothing of use but must exist, and the
// module's own handle.
#pragma once

#include <cstdint>

#include "host/Dorvik2Api.h"
#include "plat/module.h"

class DORVIK2_EXPORT CDorvik2 {
 public:
  CDorvik2();
  CDorvik2& operator=(const CDorvik2& other);
};

extern "C" {
DORVIK2_EXPORT int32_t fnDorvik2();
DORVIK2_EXPORT extern int32_t nDorvik2;
}

namespace dorvik2_module {
// The name the module finds itself by: the shared library's file name.
constexpr const char* kModuleName = "Dorvik2";
constexpr int32_t kFnDorvik2Answer = 42;
// The handle the load-time initialiser found (null when loaded under another name,
// or linked into a program).
HMODULE HandleAtLoad();
}  // namespace dorvik2_module
