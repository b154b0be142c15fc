// Test control of the stand-in resource manager: which handles it knows, the surface
// each one gives and the answer its release gives. Only tests may include this.
#pragma once

#include <cstdint>

#include "plat/com.h"
#include "plat/types.h"

struct IDirectDrawSurface4;

namespace xres_stub {

void SetEntry(int32_t handle, const ComPtr<IDirectDrawSurface4>& surface, BOOL releaseAnswer);
void Clear();
// How often ReleaseEntry was asked about this handle.
int32_t ReleaseCalls(int32_t handle);

}  // namespace xres_stub
