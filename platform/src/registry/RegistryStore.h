// The process's registry: the tree in memory and the one file that holds it. The
// file is re-read whenever it changed on disk (another process wrote it) and is
// rewritten whole after each change; a corrupt file is reported, never replaced.
#pragma once

#include <ctime>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include "plat/types.h"
#include "registry/RegistryTree.h"

namespace plat::detail {

class RegistryStore {
 public:
  static RegistryStore& Instance();

  // Every other member expects this lock held.
  std::mutex& Mutex() { return mutex_; }

  // Brings the tree up to date with the file: ERROR_SUCCESS, or ERROR_BADDB while the
  // file is corrupt or unreadable.
  LONG Refresh();
  const RegTree& Tree() const { return tree_; }
  // Writes `next` to a temporary file and renames it over the registry file, then
  // adopts it. On failure the file and the tree in memory are unchanged.
  LONG Commit(RegTree next);

  void SetPath(const std::string& path);
  const std::string& Path() const { return path_; }
  void Forget() { loaded_ = false; }

 private:
  struct FileId {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const FileId& o) const;
  };
  static FileId IdOf(const std::string& path);
  static FileId IdOf(const struct stat& st);
  void Load();

  std::mutex mutex_;
  std::string path_;
  RegTree tree_;
  bool loaded_ = false;
  bool corrupt_ = false;
  FileId loadedId_;
};

}  // namespace plat::detail
