// Global memory blocks. A fixed block's handle is its address (as on Windows, so it can
// be used directly); a moveable block's handle is a handle-table value that GlobalLock
// turns into the address. Blocks never actually move.
#pragma once

#include "plat/types.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Blocks always start zeroed, with or without GMEM_ZEROINIT.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
// Nonzero while the block stays locked; 0 with NO_ERROR once unlocked, or with
// ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL memory);
// Null on success; the handle back (ERROR_INVALID_HANDLE) when it is not a block.
HGLOBAL GlobalFree(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
