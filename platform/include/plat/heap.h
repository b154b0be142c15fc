// The process heap: raw allocations for code that must survive running out of
// memory (a null result, never an exception). Tests force failures by the fault
// name "HeapAlloc".
#pragma once

#include "plat/types.h"

constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;

HANDLE GetProcessHeap();
// Null when the memory cannot be had; HEAP_ZERO_MEMORY clears it.
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
// A null pointer is accepted and does nothing.
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
