// The thread's last-error value, as the layer's functions report failures.
#pragma once

#include "plat/types.h"

DWORD GetLastError();
void SetLastError(DWORD code);
