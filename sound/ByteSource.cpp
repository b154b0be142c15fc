// Byte sources over a layer file handle and over memory.
#include "sound/ByteSource.h"

#include <algorithm>
#include <cstring>

bool CFileByteSource::Open(const std::string& path) {
  Close();
  file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(file_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    Close();
    return false;
  }
  fileSize_ = static_cast<int64_t>((uint64_t{high} << 32) | low);
  base_ = 0;
  position_ = 0;
  return true;
}

bool CFileByteSource::SetBase(int64_t offset) {
  if (!IsOpen() || offset < 0 || offset > fileSize_) return false;
  base_ = offset;
  return Seek(0);
}

uint32_t CFileByteSource::Read(void* dest, uint32_t count) {
  if (!IsOpen() || count == 0 || position_ >= Size()) return 0;
  DWORD got = 0;
  if (!ReadFile(file_, dest, count, &got, nullptr)) return 0;
  position_ += got;
  return got;
}

bool CFileByteSource::Seek(int64_t position) {
  if (!IsOpen() || position < 0) return false;
  const int64_t absolute = base_ + position;
  LONG high = static_cast<LONG>(absolute >> 32);
  const DWORD low = SetFilePointer(file_, static_cast<LONG>(absolute & 0xFFFFFFFF), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
  position_ = position;
  return true;
}

void CFileByteSource::Close() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

uint32_t CMemoryByteSource::Read(void* dest, uint32_t count) {
  if (!open_ || position_ >= Size()) return 0;
  const auto n = static_cast<uint32_t>(std::min<int64_t>(count, Size() - position_));
  std::memcpy(dest, data_ + base_ + position_, n);
  position_ += n;
  return n;
}

bool CMemoryByteSource::Seek(int64_t position) {
  if (!open_ || position < 0) return false;
  position_ = position;
  return true;
}

bool CMemoryByteSource::SetBase(int64_t offset) {
  if (!open_ || offset < 0 || offset > static_cast<int64_t>(size_)) return false;
  base_ = offset;
  position_ = 0;
  return true;
}
