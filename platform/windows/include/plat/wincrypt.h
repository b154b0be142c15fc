// CryptoAPI.
#pragma once

#include "plat/win32.h"

#include <wincrypt.h>
