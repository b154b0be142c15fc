// Kernel file access for the sprite library's loaders and writers.
#include "graphics/KFileHandle.h"

bool KFileHandle::Open(const char* name, uint32_t flags) {
  Close();
  static const DWORD kAccess[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
  DWORD share = 0;
  switch (flags & 0x70) {
    case kShareRead: share = FILE_SHARE_READ; break;
    case kShareWrite: share = FILE_SHARE_WRITE; break;
    case kShareBoth: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;
  }
  DWORD creation = OPEN_EXISTING;
  if ((flags & kOpenAlways) == kOpenAlways) creation = OPEN_ALWAYS;
  else if (flags & kCreateAlways) creation = CREATE_ALWAYS;
  HANDLE h = CreateFileA(name, kAccess[flags & 3], share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_handle = h;
  return true;
}

void KFileHandle::Close() {
  if (m_handle) CloseHandle(m_handle);
  m_handle = nullptr;
}

int32_t KFileHandle::Read(void* buffer, int32_t count) {
  if (count < 1) return 0;
  DWORD got = 0;
  if (!m_handle || !ReadFile(m_handle, buffer, DWORD(count), &got, nullptr)) return -1;
  return int32_t(got);
}

int32_t KFileHandle::Write(const void* buffer, int32_t count) {
  if (count == 0 || !m_handle) return 0;
  DWORD put = 0;
  return WriteFile(m_handle, buffer, DWORD(count), &put, nullptr) && put == DWORD(count) ? 1 : 0;
}

int64_t KFileHandle::Remaining() const {
  if (!m_handle) return -1;
  LONG posHigh = 0;
  SetLastError(NO_ERROR);
  const DWORD posLow = SetFilePointer(m_handle, 0, &posHigh, FILE_CURRENT);
  if (posLow == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(m_handle, &sizeHigh);
  if (sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
  const int64_t pos = int64_t(uint64_t(uint32_t(posHigh)) << 32 | posLow);
  const int64_t size = int64_t(uint64_t(sizeHigh) << 32 | sizeLow);
  return size >= pos ? size - pos : 0;
}

namespace kk {

bool ReadFileBytes(const char* name, size_t cap, std::vector<uint8_t>& out, bool* openFailed) {
  out.clear();
  KFileHandle f;
  const bool opened = f.Open(name, KFileHandle::kRead | KFileHandle::kShareRead);
  if (openFailed) *openFailed = !opened;
  if (!opened) return false;
  uint8_t chunk[64 * 1024];
  for (;;) {
    const int32_t got = f.Read(chunk, int32_t(sizeof chunk));
    if (got < 0) return false;
    if (got == 0) return true;
    if (out.size() + size_t(got) > cap) return false;
    out.insert(out.end(), chunk, chunk + got);
  }
}

int32_t WriteFileBytes(const char* name, std::span<const uint8_t> bytes) {
  KFileHandle f;
  if (!f.Open(name, KFileHandle::kWrite | KFileHandle::kCreateAlways)) return 0;
  constexpr size_t kStep = size_t(1) << 30;
  for (size_t at = 0; at < bytes.size(); at += kStep) {
    const size_t n = std::min(kStep, bytes.size() - at);
    if (!f.Write(bytes.data() + at, int32_t(n))) return 0;
  }
  return 1;
}

}  // namespace kk
