// Translation of POSIX failures into the error codes Windows file functions report.
#pragma once

#include <sys/stat.h>

#include <string>

#include "plat/types.h"

namespace plat::detail {

DWORD ErrorFromErrno(int err);
// ERROR_PATH_NOT_FOUND when the folder of `nativePath` is missing, else
// ERROR_FILE_NOT_FOUND.
DWORD MissingFileError(const std::string& nativePath);
// Windows' read-only attribute: no write bit at all in the mode.
inline bool IsReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

}  // namespace plat::detail
