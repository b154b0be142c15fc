// Fuzz target of the data-file decryption: the input is an enciphered file as it stands
// on disk, its pass in the first eight bytes and the body after. Whatever the bytes, a
// file that holds a whole pass decrypts and one that does not is refused; the plain text
// is exactly as long as the body and, enciphered again in one piece under the pass's
// key, gives the body back (the file is decrypted block by block); the source is left
// as it was; and no file or cryptography handle outlives the call.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "module/DecryptFile.h"
#include "plat/files.h"
#include "plat/handle.h"
#include "plat/sim_crypt.h"
#include "plat/wincrypt.h"

namespace {

constexpr size_t kMaxInput = 1u << 16;
constexpr size_t kPassBytes = 8;
constexpr const char* kScratch = "fuzz-decrypt";
constexpr const char* kFolder = "E:\\Data\\";
constexpr const char* kSource = "E:\\Data\\source.dat";
constexpr const char* kDestination = "E:\\Data\\plain.dat";

using Bytes = std::vector<uint8_t>;

Bytes ReadNative(const char* name) {
  std::ifstream in(FuzzScratchFolder(kScratch) / name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The plain text enciphered under the key of the pass (the bytes before its first zero).
Bytes Encipher(const uint8_t* pass, Bytes text) {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  if (!CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) ||
      !CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) ||
      !CryptHashData(hash, pass, static_cast<DWORD>(strnlen(reinterpret_cast<const char*>(pass), kPassBytes)), 0) ||
      !CryptDeriveKey(provider, CALG_RC4, hash, 0, &key))
    __builtin_trap();
  auto length = static_cast<DWORD>(text.size());
  if (!CryptEncrypt(key, 0, TRUE, 0, text.data(), &length, length)) __builtin_trap();
  CryptDestroyKey(key);
  CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  const Bytes input(data, data + size);
  FuzzWriteInput(kScratch, kFolder, "source.dat", data, size);

  const int32_t result = DecryptFileTo(kSource, kDestination);
  if (plat::sim::LiveCryptHandles() != plat::sim::CryptHandleCounts{}) __builtin_trap();
  if (ReadNative("source.dat") != input) __builtin_trap();
  if (result != (size >= kPassBytes ? 1 : 0)) __builtin_trap();
  // Both files can be opened for writing alone: neither is still held open.
  for (const char* name : {kSource, kDestination}) {
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) __builtin_trap();
    CloseHandle(h);
  }
  if (result != 1) return 0;
  const Bytes plain = ReadNative("plain.dat");
  if (plain.size() != size - kPassBytes) __builtin_trap();
  if (Encipher(data, plain) != Bytes(input.begin() + kPassBytes, input.end())) __builtin_trap();
  return 0;
}
