// Operations on files and folders by name, and the C-runtime opener.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/Faults.h"
#include "files/FileErrors.h"
#include "files/FileObject.h"
#include "plat/error.h"
#include "plat/files.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Why a name cannot be used, or ERROR_SUCCESS; fills `st` when the name exists.
DWORD StatName(LPCSTR name, std::string& path, struct stat& st) {
  if (!name || !*name) return ERROR_PATH_NOT_FOUND;
  path = plat::MapPath(name);
  if (stat(path.c_str(), &st) == 0) return ERROR_SUCCESS;
  return errno == ENOENT ? plat::detail::MissingFileError(path) : plat::detail::ErrorFromErrno(errno);
}

}  // namespace

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (plat::detail::ShouldFail("GetFileAttributesA")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_FILE_ATTRIBUTES;
  }
  std::string path;
  struct stat st;
  if (DWORD error = StatName(fileName, path, st)) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return plat::detail::IsReadOnlyMode(st.st_mode) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
  if (plat::detail::ShouldFail("SetFileAttributesA")) return Fail(ERROR_ACCESS_DENIED);
  std::string path;
  struct stat st;
  if (DWORD error = StatName(fileName, path, st)) return Fail(error);
  mode_t mode = st.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else mode |= S_IWUSR;
  if (chmod(path.c_str(), mode) != 0) return Fail(plat::detail::ErrorFromErrno(errno));
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (plat::detail::ShouldFail("DeleteFileA")) return Fail(ERROR_ACCESS_DENIED);
  std::string path;
  struct stat st;
  if (DWORD error = StatName(fileName, path, st)) return Fail(error);
  if (S_ISDIR(st.st_mode) || plat::detail::IsReadOnlyMode(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  auto& table = plat::detail::OpenFileTable();
  std::lock_guard lock(table.Mutex());
  if (table.ForbidsDelete(st.st_dev, st.st_ino)) return Fail(ERROR_SHARING_VIOLATION);
  if (unlink(path.c_str()) != 0) return Fail(plat::detail::ErrorFromErrno(errno));
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (plat::detail::ShouldFail("CreateDirectoryA")) return Fail(ERROR_ACCESS_DENIED);
  if (!pathName || !*pathName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = plat::MapPath(pathName);
  if (mkdir(path.c_str(), 0777) == 0) return TRUE;
  switch (errno) {
    case EEXIST: return Fail(ERROR_ALREADY_EXISTS);
    case ENOENT: return Fail(ERROR_PATH_NOT_FOUND);
    default: return Fail(plat::detail::ErrorFromErrno(errno));
  }
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (plat::detail::ShouldFail("RemoveDirectoryA")) return Fail(ERROR_ACCESS_DENIED);
  std::string path;
  struct stat st;
  if (DWORD error = StatName(pathName, path, st)) return Fail(error);
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (rmdir(path.c_str()) != 0) return Fail(plat::detail::ErrorFromErrno(errno));
  return TRUE;
}

namespace plat {

FILE* OpenCFile(const char* windowsPath, const char* mode) {
  detail::OpenFileTable().NoteRequested(windowsPath);
  if (!windowsPath || !mode || !*mode) {
    errno = EINVAL;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (detail::ShouldFail("OpenCFile")) {
    errno = EACCES;
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::string path = MapPath(windowsPath);
  const bool writes = mode[0] == 'w' || mode[0] == 'a' || std::strchr(mode, '+') != nullptr;
  struct stat st;
  if (writes && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && detail::IsReadOnlyMode(st.st_mode)) {
    errno = EACCES;
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) SetLastError(errno == ENOENT ? detail::MissingFileError(path) : detail::ErrorFromErrno(errno));
  return f;
}

}  // namespace plat
