// Base types: the system's own (32-bit x86, where `LONG` is the compiler's long).
#pragma once

#include <cstddef>
#include <cstdint>

#include "plat/win32.h"
