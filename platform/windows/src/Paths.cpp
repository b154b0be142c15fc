// Windows paths on Windows: the C runtime opens them as they are, and a path maps to
// its full path with ASCII letters lowered, as the file system ignores their case
// (the trail bytes of CP949 characters are left alone).
#include "plat/codepage.h"
#include "plat/files.h"

namespace plat {

FILE* OpenCFile(const char* windowsPath, const char* mode) {
  if (!windowsPath || !mode) return nullptr;
  return std::fopen(windowsPath, mode);  // conventions: allow
}

std::string MapPath(std::string_view windowsPath) {
  const std::string path(windowsPath);
  const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::string full(size, '\0');
  const DWORD written = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return path;
  full.resize(written);
  for (size_t i = 0; i < full.size();) {
    const size_t n = Cp949CharLength(std::string_view(full).substr(i));
    if (n == 1 && full[i] >= 'A' && full[i] <= 'Z') full[i] = static_cast<char>(full[i] - 'A' + 'a');
    i += n;
  }
  return full;
}

}  // namespace plat
