// CreateFileA and the functions that work on an open file handle.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "core/Faults.h"
#include "files/FileErrors.h"
#include "files/FileObject.h"
#include "kernel/CivilTime.h"
#include "plat/error.h"
#include "plat/files.h"

using plat::detail::FileObject;
using plat::detail::kAccessRead;
using plat::detail::kAccessWrite;

namespace {

DWORD DataAccess(DWORD desired) {
  DWORD access = 0;
  if (desired & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) access |= kAccessRead;
  if (desired & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) access |= kAccessWrite;
  return access;
}

template <class R>
R Fail(DWORD error, R result) {
  SetLastError(error);
  return result;
}

FILETIME ToFileTime(const timespec& t) { return plat::detail::FileTimeFromUnix(t.tv_sec, t.tv_nsec); }

// The file behind `handle` when it allows `access`; null with the last error set.
std::shared_ptr<FileObject> FileFor(HANDLE handle, DWORD access) {
  auto file = plat::detail::FindFile(handle);
  if (!file) return Fail(ERROR_INVALID_HANDLE, nullptr);
  if ((file->access & access) != access) return Fail(ERROR_ACCESS_DENIED, nullptr);
  return file;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE) {
  plat::detail::OpenFileTable().NoteRequested(fileName);
  if (plat::detail::ShouldFail("CreateFileA")) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  if (!fileName || !*fileName) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const DWORD access = DataAccess(desiredAccess);
  if (disposition == TRUNCATE_EXISTING && !(access & kAccessWrite)) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);

  const std::string path = plat::MapPath(fileName);
  struct stat st;
  const bool existed = stat(path.c_str(), &st) == 0;
  if (existed) {
    if (disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    if (S_ISDIR(st.st_mode) && !(flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS))
      return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    // The mode bits decide, not open(): root may write anything, Windows may not.
    const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (plat::detail::IsReadOnlyMode(st.st_mode) && ((access & kAccessWrite) || truncates))
      return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  } else if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
    return Fail(plat::detail::MissingFileError(path), INVALID_HANDLE_VALUE);
  }

  int flags = O_CLOEXEC;
  if (existed && S_ISDIR(st.st_mode)) flags |= O_RDONLY | O_DIRECTORY;
  else if (access == (kAccessRead | kAccessWrite)) flags |= O_RDWR;
  else if (access == kAccessWrite) flags |= O_WRONLY;
  else flags |= O_RDONLY;
  if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
  const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;

  int fd = open(path.c_str(), flags, mode);
  if (fd < 0) {
    int err = errno;
    return Fail(err == ENOENT ? plat::detail::MissingFileError(path) : plat::detail::ErrorFromErrno(err),
                INVALID_HANDLE_VALUE);
  }
  auto file = std::make_shared<FileObject>();
  file->fd = fd;
  file->access = access;
  file->share = shareMode;
  if (fstat(fd, &st) != 0) return Fail(plat::detail::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
  file->device = st.st_dev;
  file->inode = st.st_ino;
  {
    auto& table = plat::detail::OpenFileTable();
    std::lock_guard lock(table.Mutex());
    if (table.Conflicts(st.st_dev, st.st_ino, access, shareMode)) {
      return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    table.Add(file.get());
  }
  // Truncation waits until sharing has been checked: a refused open changes nothing.
  if (existed && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) && ftruncate(fd, 0) != 0)
    return Fail(plat::detail::ErrorFromErrno(errno), INVALID_HANDLE_VALUE);

  uintptr_t value = plat::detail::Handles().Insert(plat::detail::HandleKind::File, file);
  if (value == 0) return Fail(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);
  plat::detail::OpenFileTable().NoteOpened(fileName);
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS
                                                                                       : ERROR_SUCCESS);
  return plat::detail::ToHandle<HANDLE>(value);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
  if (read) *read = 0;
  auto file = FileFor(handle, kAccessRead);
  if (!file) return FALSE;
  if (!buffer && toRead > 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (plat::detail::ShouldFail("ReadFile")) return Fail(ERROR_READ_FAULT, FALSE);
  DWORD done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < toRead) {
    ssize_t n = ::read(file->fd, out + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(plat::detail::ErrorFromErrno(errno), FALSE);
    if (n == 0) break;
    done += static_cast<DWORD>(n);
    if (read) *read = done;
  }
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
  if (written) *written = 0;
  auto file = FileFor(handle, kAccessWrite);
  if (!file) return FALSE;
  if (!buffer && toWrite > 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (plat::detail::ShouldFail("WriteFile")) return Fail(ERROR_WRITE_FAULT, FALSE);
  DWORD done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < toWrite) {
    ssize_t n = ::write(file->fd, in + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? plat::detail::ErrorFromErrno(errno) : ERROR_WRITE_FAULT, FALSE);
    done += static_cast<DWORD>(n);
    if (written) *written = done;
  }
  return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD moveMethod) {
  auto file = FileFor(handle, 0);
  if (!file) return INVALID_SET_FILE_POINTER;
  if (plat::detail::ShouldFail("SetFilePointer")) return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  int64_t move = distanceHigh
                     ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                            static_cast<uint32_t>(distance))
                     : static_cast<int64_t>(distance);
  int64_t origin;
  if (moveMethod == FILE_BEGIN) {
    origin = 0;
  } else if (moveMethod == FILE_CURRENT) {
    origin = lseek(file->fd, 0, SEEK_CUR);
  } else if (moveMethod == FILE_END) {
    struct stat st;
    origin = fstat(file->fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  } else {
    return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  if (origin < 0) return Fail(plat::detail::ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
  if ((move > 0 && origin > std::numeric_limits<int64_t>::max() - move) || origin + move < 0)
    return Fail(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
  const int64_t target = origin + move;
  if (!distanceHigh && target > static_cast<int64_t>(UINT32_MAX))
    return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  if (lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0)
    return Fail(plat::detail::ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  auto file = FileFor(handle, 0);
  if (!file) return INVALID_FILE_SIZE;
  struct stat st;
  if (fstat(file->fd, &st) != 0) return Fail(plat::detail::ErrorFromErrno(errno), INVALID_FILE_SIZE);
  const auto size = static_cast<uint64_t>(st.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

BOOL GetFileTime(HANDLE handle, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
  auto file = FileFor(handle, 0);
  if (!file) return FALSE;
  struct stat st;
  if (fstat(file->fd, &st) != 0) return Fail(plat::detail::ErrorFromErrno(errno), FALSE);
  if (creation) *creation = ToFileTime(st.st_mtim);
  if (lastAccess) *lastAccess = ToFileTime(st.st_atim);
  if (lastWrite) *lastWrite = ToFileTime(st.st_mtim);
  return TRUE;
}

BOOL SetEndOfFile(HANDLE handle) {
  auto file = FileFor(handle, kAccessWrite);
  if (!file) return FALSE;
  off_t at = lseek(file->fd, 0, SEEK_CUR);
  if (at < 0 || ftruncate(file->fd, at) != 0) return Fail(plat::detail::ErrorFromErrno(errno), FALSE);
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  auto file = FileFor(handle, 0);
  if (!file) return FALSE;
  if (fsync(file->fd) != 0 && errno != EINVAL) return Fail(plat::detail::ErrorFromErrno(errno), FALSE);
  return TRUE;
}
