// Dialogs from the module's resources, controls and the message box.
#pragma once

#include "plat/module.h"
#include "plat/win32.h"
