// Variants and safe arrays (with oleauto.h).
#pragma once

#include "plat/oleauto.h"
