// Closing kernel handles (threads, events, files, find handles): one entry point for all kinds.
#pragma once

#include "plat/types.h"

BOOL CloseHandle(HANDLE handle);
