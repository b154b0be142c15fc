// The data-file decryption routine: the files and the cryptography objects live in one
// holder whose destructor releases them, so every way out of the routine cleans up.
#include "module/DecryptFile.h"

#include <cstring>

#include "plat/files.h"
#include "plat/handle.h"
#include "plat/wincrypt.h"

namespace {

constexpr DWORD kPassBytes = 8;
constexpr DWORD kBlockBytes = 1000;

class DecryptSession {
 public:
  DecryptSession() = default;
  DecryptSession(const DecryptSession&) = delete;
  DecryptSession& operator=(const DecryptSession&) = delete;
  ~DecryptSession() {
    if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
    if (destination != INVALID_HANDLE_VALUE) CloseHandle(destination);
    if (hash) CryptDestroyHash(hash);
    if (key) CryptDestroyKey(key);
    if (provider) CryptReleaseContext(provider, 0);
  }

  bool Open(const char* sourcePath, const char* destinationPath) {
    source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    destination = CreateFileA(destinationPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return destination != INVALID_HANDLE_VALUE;
  }

  // The pass is the leading bytes up to the first zero, so a file whose pass starts
  // with zero hashes nothing at all.
  bool MakeKey() {
    char pass[kPassBytes + 1] = {};
    DWORD got = 0;
    if (!ReadFile(source, pass, kPassBytes, &got, nullptr) || got != kPassBytes) return false;
    const DWORD passLength = static_cast<DWORD>(std::strlen(pass));
    if (!CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return false;
    if (!CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) return false;
    if (!CryptHashData(hash, reinterpret_cast<const BYTE*>(pass), passLength, 0)) return false;
    if (!CryptDeriveKey(provider, CALG_RC4, hash, 0, &key)) return false;
    CryptDestroyHash(hash);
    hash = 0;
    return true;
  }

  // A read that returns less than a whole block has met the end of the file; that block
  // (possibly empty) is the final one.
  bool CopyBody() {
    BYTE block[kBlockBytes];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(source, block, kBlockBytes, &got, nullptr)) return false;
      const BOOL atEnd = got < kBlockBytes;
      DWORD length = got;
      if (!CryptDecrypt(key, 0, atEnd, 0, block, &length)) return false;
      DWORD written = 0;
      if (!WriteFile(destination, block, length, &written, nullptr) || written != length) return false;
      if (atEnd) return true;
    }
  }

 private:
  HANDLE source = INVALID_HANDLE_VALUE;
  HANDLE destination = INVALID_HANDLE_VALUE;
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
};

// Deleting the destination first would destroy a source that is the same file.
bool SameFile(const char* a, const char* b) { return plat::MapPath(a) == plat::MapPath(b); }

}  // namespace

int DecryptFileTo(const char* sourcePath, const char* destinationPath) {
  if (!sourcePath || !destinationPath || SameFile(sourcePath, destinationPath)) return 0;
  // The destination is replaced even when it was read-only, and even if the source
  // then turns out to be missing.
  SetFileAttributesA(destinationPath, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(destinationPath);
  DecryptSession session;
  return session.Open(sourcePath, destinationPath) && session.MakeKey() && session.CopyBody() ? 1 : 0;
}
