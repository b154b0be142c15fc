// The shell's "open this document" call. Headless: the request is recorded (see
// plat::sim::ShellExecuteCalls) and nothing is started: no browser, shell or process.
#pragma once

#include "plat/types.h"

// Answers a value above 32 (success) as the system does for a started document.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
