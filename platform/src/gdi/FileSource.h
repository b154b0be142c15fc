// Where GDI gets file and resource bytes from (LoadImageA, LoadBitmapA).
#pragma once

#include <cstdint>
#include <vector>

#include "plat/types.h"

namespace plat::detail::gdi {

// The whole file named by a Windows path (CP949, `\` separators), at most `limit`
// bytes; false with `error` (ERROR_FILE_NOT_FOUND, ERROR_NOT_ENOUGH_MEMORY, ...).
bool ReadWholeFile(LPCSTR windowsPath, size_t limit, std::vector<uint8_t>& out, DWORD& error);
// The bytes of a bitmap resource (RT_BITMAP: a packed DIB) of a module; false with
// `error` when there is none.
bool ReadBitmapResource(HINSTANCE module, LPCSTR name, std::vector<uint8_t>& out, DWORD& error);

}  // namespace plat::detail::gdi
