// The object behind a file handle, and the table of open files that share modes are
// checked against.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/HandleTable.h"
#include "plat/types.h"

namespace plat::detail {

// Data access of a handle, reduced to what sharing compares.
constexpr DWORD kAccessRead = 1;
constexpr DWORD kAccessWrite = 2;

struct FileObject : Object {
  int fd = -1;
  DWORD access = 0;  // kAccessRead | kAccessWrite
  DWORD share = 0;   // FILE_SHARE_* bits
  dev_t device = 0;
  ino_t inode = 0;
  // Closes the descriptor and leaves the open-file table.
  ~FileObject() override;
};

class OpenFiles {
 public:
  // The lock that makes "check, then register" one step.
  std::mutex& Mutex() { return mutex_; }
  // Whether a new handle with `access` and `share` on that file clashes with an open one.
  // Call with the lock held.
  bool Conflicts(dev_t device, ino_t inode, DWORD access, DWORD share) const;
  // Whether some open handle forbids deleting the file. Call with the lock held.
  bool ForbidsDelete(dev_t device, ino_t inode) const;
  // Call with the lock held.
  void Add(const FileObject* file);
  void Remove(const FileObject* file);  // takes the lock itself

  // For tests: how many are open, and, while recording, the names CreateFileA opened
  // and the names any opener was asked for. These take the lock themselves.
  uint32_t Count();
  void NoteOpened(const char* windowsName);
  void NoteRequested(const char* windowsName);
  void SetRecording(bool on);
  void SetOpenHook(std::function<void(const std::string&)> hook);
  std::vector<std::string> Opened();
  std::vector<std::string> Requested();

 private:
  std::mutex mutex_;
  std::vector<const FileObject*> files_;
  bool recording_ = false;
  std::vector<std::string> opened_;
  std::vector<std::string> requested_;
  // Shared, so that a hook replaced while it runs lives until it returns.
  std::shared_ptr<const std::function<void(const std::string&)>> hook_;
};

OpenFiles& OpenFileTable();

std::shared_ptr<FileObject> FindFile(HANDLE handle);

}  // namespace plat::detail
