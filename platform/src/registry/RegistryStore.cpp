#include "registry/RegistryStore.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Faults.h"
#include "plat/sim.h"
#include "registry/RegistryFile.h"

namespace plat::detail {
namespace {

std::string DefaultPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* pw = getpwuid(getuid());
      home = pw ? pw->pw_dir : nullptr;
    }
    base = std::string(home && *home ? home : ".") + "/.config";
  }
  return base + "/dorvik2/registry.dat";
}

// Reads the whole file; 0 on success, else an errno value (EFBIG past the size cap).
int ReadWhole(int fd, const struct stat& st, std::string* out) {
  if (!S_ISREG(st.st_mode)) return EINVAL;
  if (static_cast<uintmax_t>(st.st_size) > kRegMaxFileSize) return EFBIG;
  out->clear();
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    out->append(buf, static_cast<size_t>(n));
    if (out->size() > kRegMaxFileSize) return EFBIG;
  }
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool RegistryStore::FileId::operator==(const FileId& o) const {
  if (exists != o.exists) return false;
  if (!exists) return true;
  return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
         mtime.tv_nsec == o.mtime.tv_nsec;
}

RegistryStore::FileId RegistryStore::IdOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    // A file that exists but cannot be examined must not look absent.
    FileId id;
    id.exists = errno != ENOENT;
    return id;
  }
  return IdOf(st);
}

RegistryStore::FileId RegistryStore::IdOf(const struct stat& st) {
  FileId id;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtime = st.st_mtim;
  return id;
}

RegistryStore& RegistryStore::Instance() {
  static RegistryStore* store = [] {
    auto* s = new RegistryStore;
    s->path_ = DefaultPath();
    return s;
  }();
  return *store;
}

void RegistryStore::SetPath(const std::string& path) {
  path_ = path.empty() ? DefaultPath() : path;
  loaded_ = false;
}

void RegistryStore::Load() {
  loaded_ = true;
  corrupt_ = false;
  tree_ = RegTree{};
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // No file yet is an empty registry; any other failure is reported until fixed.
    corrupt_ = errno != ENOENT;
    loadedId_ = IdOf(path_);
    return;
  }
  // The identity of the file actually read, not of whatever the name holds by now.
  struct stat st;
  std::string bytes;
  const int err = fstat(fd, &st) == 0 ? ReadWhole(fd, st, &bytes) : errno;
  close(fd);
  loadedId_ = err == 0 ? IdOf(st) : IdOf(path_);
  if (err != 0 || !DecodeRegistry(bytes, &tree_)) {
    tree_ = RegTree{};
    corrupt_ = true;
  }
}

LONG RegistryStore::Refresh() {
  if (!loaded_ || !(IdOf(path_) == loadedId_)) Load();
  return corrupt_ ? static_cast<LONG>(ERROR_BADDB) : static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegistryStore::Commit(RegTree next) {
  if (corrupt_) return static_cast<LONG>(ERROR_BADDB);
  const std::string bytes = EncodeRegistry(next);
  std::error_code ec;
  const std::filesystem::path target(path_);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);

  // A name of our own, so two processes writing at once never share a temporary.
  const std::string temp = path_ + ".tmp." + std::to_string(getpid());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return static_cast<LONG>(ERROR_CANTWRITE);
  // The injected failure stops half way, as a full disk would.
  const bool failed = ShouldFail("RegistryPersist");
  const size_t toWrite = failed ? bytes.size() / 2 : bytes.size();
  bool ok = WriteAll(fd, bytes.data(), toWrite) && !failed && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(temp.c_str(), path_.c_str()) != 0) {
    unlink(temp.c_str());
    return static_cast<LONG>(ERROR_CANTWRITE);
  }
  tree_ = std::move(next);
  loadedId_ = IdOf(path_);
  return static_cast<LONG>(ERROR_SUCCESS);
}

}  // namespace plat::detail

namespace plat::sim {

void SetRegistryFile(const std::string& path) {
  auto& store = detail::RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  store.SetPath(path);
}

std::string RegistryFile() {
  auto& store = detail::RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  return store.Path();
}

void ReloadRegistry() {
  auto& store = detail::RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  store.Forget();
}

}  // namespace plat::sim
