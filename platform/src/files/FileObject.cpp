#include "files/FileObject.h"

#include <unistd.h>

#include <algorithm>

#include "plat/files.h"
#include "plat/sim.h"

namespace plat::detail {

FileObject::~FileObject() {
  OpenFileTable().Remove(this);
  if (fd >= 0) close(fd);
}

bool OpenFiles::Conflicts(dev_t device, ino_t inode, DWORD access, DWORD share) const {
  auto allows = [](DWORD shareBits, DWORD accessBits) {
    if ((accessBits & kAccessRead) && !(shareBits & FILE_SHARE_READ)) return false;
    if ((accessBits & kAccessWrite) && !(shareBits & FILE_SHARE_WRITE)) return false;
    return true;
  };
  for (const FileObject* f : files_) {
    if (f->device != device || f->inode != inode) continue;
    if (!allows(f->share, access) || !allows(share, f->access)) return true;
  }
  return false;
}

bool OpenFiles::ForbidsDelete(dev_t device, ino_t inode) const {
  return std::any_of(files_.begin(), files_.end(), [&](const FileObject* f) {
    return f->device == device && f->inode == inode && !(f->share & FILE_SHARE_DELETE);
  });
}

void OpenFiles::Add(const FileObject* file) { files_.push_back(file); }

void OpenFiles::Remove(const FileObject* file) {
  std::lock_guard lock(mutex_);
  std::erase(files_, file);
}

uint32_t OpenFiles::Count() {
  std::lock_guard lock(mutex_);
  return static_cast<uint32_t>(files_.size());
}

void OpenFiles::NoteOpened(const char* windowsName) {
  std::lock_guard lock(mutex_);
  if (recording_) opened_.emplace_back(windowsName);
}

void OpenFiles::NoteRequested(const char* windowsName) {
  std::shared_ptr<const std::function<void(const std::string&)>> hook;
  {
    std::lock_guard lock(mutex_);
    if (recording_ && windowsName && *windowsName) requested_.emplace_back(windowsName);
    hook = hook_;
  }
  if (hook) (*hook)(windowsName ? windowsName : "");
}

void OpenFiles::SetOpenHook(std::function<void(const std::string&)> hook) {
  auto next = hook ? std::make_shared<const std::function<void(const std::string&)>>(std::move(hook)) : nullptr;
  std::lock_guard lock(mutex_);
  hook_ = std::move(next);
}

void OpenFiles::SetRecording(bool on) {
  std::lock_guard lock(mutex_);
  recording_ = on;
  opened_.clear();
  requested_.clear();
}

std::vector<std::string> OpenFiles::Opened() {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::vector<std::string> OpenFiles::Requested() {
  std::lock_guard lock(mutex_);
  return requested_;
}

OpenFiles& OpenFileTable() {
  static OpenFiles* table = new OpenFiles;
  return *table;
}

std::shared_ptr<FileObject> FindFile(HANDLE handle) {
  return Handles().Get<FileObject>(FromHandle(handle), HandleKind::File);
}

}  // namespace plat::detail

namespace plat::sim {

uint32_t OpenFileCount() { return detail::OpenFileTable().Count(); }
void RecordOpenedFiles(bool on) { detail::OpenFileTable().SetRecording(on); }
void SetOpenHook(OpenHook hook) { detail::OpenFileTable().SetOpenHook(std::move(hook)); }
std::vector<std::string> OpenedFiles() { return detail::OpenFileTable().Opened(); }
std::vector<std::string> RequestedFiles() { return detail::OpenFileTable().Requested(); }

}  // namespace plat::sim
