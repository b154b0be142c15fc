// File bytes for the image loaders: files through the layer's path mapping, bitmaps
// from the resources registered for a module.
#include "gdi/FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "files/FileObject.h"
#include "plat/files.h"
#include "plat/module.h"

namespace plat::detail::gdi {

bool ReadWholeFile(LPCSTR windowsPath, size_t limit, std::vector<uint8_t>& out, DWORD& error) {
  OpenFileTable().NoteRequested(windowsPath);
  if (!windowsPath || !*windowsPath) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  const std::string path = plat::MapPath(windowsPath);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > limit) {
    ::close(fd);
    error = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  return true;
}

bool ReadBitmapResource(HINSTANCE module, LPCSTR name, std::vector<uint8_t>& out, DWORD& error) {
  HRSRC resource = FindResourceA(module, name, RT_BITMAP);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!bytes) {
    error = ERROR_RESOURCE_NAME_NOT_FOUND;
    return false;
  }
  out.assign(bytes, bytes + SizeofResource(module, resource));
  return true;
}

}  // namespace plat::detail::gdi
