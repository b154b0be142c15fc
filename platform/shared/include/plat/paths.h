// Files by Windows path for code that reads with stdio, and the path a Windows path
// names on the file system, on every side of the layer.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// The C runtime's fopen of a Windows path (CP949 bytes), for code that reads with stdio
// and hands the FILE to libraries such as libvorbisfile. Writing modes refuse a
// read-only file. Returns null with errno and the last error set.
FILE* OpenCFile(const char* windowsPath, const char* mode);

// The file-system path a Windows path names: two paths that name the same file map to
// the same text. See each side's files.h for its rules.
std::string MapPath(std::string_view windowsPath);

}  // namespace plat
