// The CryptoAPI subset: provider contexts, MD5 hashes and RC4 keys as objects of the
// layer's handle table. Each object locks itself, so two threads sharing a hash or a
// key see whole calls, never torn state.
#include "plat/wincrypt.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/Faults.h"
#include "core/HandleTable.h"
#include "crypt/KeyDerivation.h"
#include "crypt/Rc4Stream.h"
#include "plat/error.h"

namespace {

using plat::detail::HandleKind;

struct Provider : plat::detail::Object {};

struct Hash : plat::detail::Object {
  Hash() { md5_init(&md5); }
  std::mutex mutex;
  md5_ctx md5;
};

struct Key : plat::detail::Object {
  explicit Key(std::span<const uint8_t> bytes) : material(bytes.begin(), bytes.end()), rc4(bytes) {}
  std::mutex mutex;
  const std::vector<uint8_t> material;
  plat::detail::Rc4Stream rc4;
};

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

template <class T>
std::shared_ptr<T> Find(ULONG_PTR value, HandleKind kind) {
  return plat::detail::Handles().Get<T>(value, kind);
}

bool Destroy(ULONG_PTR value, HandleKind kind) { return plat::detail::Handles().Remove(value, kind) != nullptr; }

// Stores a new object's handle in `out`; the table being full is the provider running
// out of memory.
BOOL Publish(HandleKind kind, std::shared_ptr<plat::detail::Object> object, ULONG_PTR* out) {
  const uintptr_t value = plat::detail::Handles().Insert(kind, std::move(object));
  if (value == 0) return Fail(NTE_FAIL);
  *out = value;
  return TRUE;
}

bool IsBaseProvider(LPCSTR name) { return name == nullptr || std::strcmp(name, MS_DEF_PROV_A) == 0; }

// The shared body of CryptEncrypt and CryptDecrypt: RC4 is its own inverse. The stream
// runs on from call to call until a final one, after which the key starts it again.
BOOL Crypt(const char* fault, HCRYPTKEY key, HCRYPTHASH hash, BOOL isFinal, DWORD flags, BYTE* data,
           DWORD* length) {
  if (plat::detail::ShouldFail(fault)) return Fail(NTE_FAIL);
  if (!length || (!data && *length > 0)) return Fail(ERROR_INVALID_PARAMETER);
  auto object = Find<Key>(key, HandleKind::CryptKey);
  if (!object) return Fail(NTE_BAD_UID);
  if (hash != 0) return Fail(NTE_BAD_HASH);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  std::lock_guard lock(object->mutex);
  object->rc4.Apply({data, *length});
  if (isFinal) object->rc4 = plat::detail::Rc4Stream(object->material);
  return TRUE;
}

}  // namespace

BOOL CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName, DWORD providerType,
                          DWORD flags) {
  if (plat::detail::ShouldFail("CryptAcquireContextA")) return Fail(NTE_FAIL);
  if (!provider) return Fail(ERROR_INVALID_PARAMETER);
  *provider = 0;
  if (!IsBaseProvider(providerName)) return Fail(NTE_KEYSET_NOT_DEF);
  if (providerType != PROV_RSA_FULL) return Fail(NTE_BAD_PROV_TYPE);
  if (flags != CRYPT_VERIFYCONTEXT || container != nullptr) return Fail(NTE_BAD_FLAGS);
  return Publish(HandleKind::CryptProvider, std::make_shared<Provider>(), provider);
}

BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags) {
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  if (!Destroy(provider, HandleKind::CryptProvider)) return Fail(NTE_BAD_UID);
  return TRUE;
}

BOOL CryptCreateHash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash) {
  if (plat::detail::ShouldFail("CryptCreateHash")) return Fail(NTE_FAIL);
  if (!hash) return Fail(ERROR_INVALID_PARAMETER);
  *hash = 0;
  if (!Find<Provider>(provider, HandleKind::CryptProvider)) return Fail(NTE_BAD_UID);
  if (algorithm != CALG_MD5) return Fail(NTE_BAD_ALGID);
  if (key != 0) return Fail(NTE_BAD_KEY);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  return Publish(HandleKind::CryptHash, std::make_shared<Hash>(), hash);
}

BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD flags) {
  if (plat::detail::ShouldFail("CryptHashData")) return Fail(NTE_FAIL);
  if (!data && length > 0) return Fail(ERROR_INVALID_PARAMETER);
  auto object = Find<Hash>(hash, HandleKind::CryptHash);
  if (!object) return Fail(NTE_BAD_UID);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  std::lock_guard lock(object->mutex);
  if (length > 0) md5_update(&object->md5, length, data);
  return TRUE;
}

BOOL CryptDestroyHash(HCRYPTHASH hash) {
  if (!Destroy(hash, HandleKind::CryptHash)) return Fail(NTE_BAD_UID);
  return TRUE;
}

BOOL CryptDeriveKey(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTHASH baseData, DWORD flags, HCRYPTKEY* key) {
  if (plat::detail::ShouldFail("CryptDeriveKey")) return Fail(NTE_FAIL);
  if (!key) return Fail(ERROR_INVALID_PARAMETER);
  *key = 0;
  if (!Find<Provider>(provider, HandleKind::CryptProvider)) return Fail(NTE_BAD_UID);
  auto hash = Find<Hash>(baseData, HandleKind::CryptHash);
  if (!hash) return Fail(NTE_BAD_UID);
  if (algorithm != CALG_RC4) return Fail(NTE_BAD_ALGID);
  plat::detail::Md5Digest digest;
  {
    std::lock_guard lock(hash->mutex);
    // nettle's digest call starts the context over; a copy leaves the hash as it was.
    md5_ctx copy = hash->md5;
    md5_digest(&copy, digest.size(), digest.data());
  }
  std::optional<std::vector<uint8_t>> bytes = plat::detail::Rc4KeyFromDigest(digest, flags);
  if (!bytes) return Fail(NTE_BAD_FLAGS);
  return Publish(HandleKind::CryptKey, std::make_shared<Key>(*bytes), key);
}

BOOL CryptDestroyKey(HCRYPTKEY key) {
  if (!Destroy(key, HandleKind::CryptKey)) return Fail(NTE_BAD_UID);
  return TRUE;
}

BOOL CryptEncrypt(HCRYPTKEY key, HCRYPTHASH hash, BOOL isFinal, DWORD flags, BYTE* data, DWORD* length,
                  DWORD bufferLength) {
  if (length && bufferLength < *length) return Fail(ERROR_MORE_DATA);
  return Crypt("CryptEncrypt", key, hash, isFinal, flags, data, length);
}

BOOL CryptDecrypt(HCRYPTKEY key, HCRYPTHASH hash, BOOL isFinal, DWORD flags, BYTE* data, DWORD* length) {
  return Crypt("CryptDecrypt", key, hash, isFinal, flags, data, length);
}
