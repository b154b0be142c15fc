// The cryptography calls the module makes: a verify-only context of the base provider,
// MD5 hashing and RC4 keys derived from a hash. Handles are the layer's checked handles;
// failures return FALSE with the provider's NTE_* code as the last error.
#pragma once

#include "plat/types.h"

using HCRYPTPROV = ULONG_PTR;
using HCRYPTHASH = ULONG_PTR;
using HCRYPTKEY = ULONG_PTR;
using ALG_ID = uint32_t;

#define MS_DEF_PROV_A "Microsoft Base Cryptographic Provider v1.0"

constexpr DWORD PROV_RSA_FULL = 1;
constexpr DWORD CRYPT_VERIFYCONTEXT = 0xF0000000u;

constexpr ALG_ID CALG_MD5 = 0x8003;
constexpr ALG_ID CALG_RC4 = 0x6801;

// CryptDeriveKey: the key length in bits sits in the high 16 bits (0: the provider's
// default of 40 bits); CRYPT_NO_SALT keeps a 40-bit key unsalted.
constexpr DWORD CRYPT_NO_SALT = 0x00000010;

// Last-error values: typed as DWORD so they compare with GetLastError() as they are.
constexpr DWORD NTE_BAD_UID = 0x80090001u;
constexpr DWORD NTE_BAD_HASH = 0x80090002u;
constexpr DWORD NTE_BAD_KEY = 0x80090003u;
constexpr DWORD NTE_BAD_ALGID = 0x80090008u;
constexpr DWORD NTE_BAD_FLAGS = 0x80090009u;
constexpr DWORD NTE_BAD_PROV_TYPE = 0x80090014u;
constexpr DWORD NTE_KEYSET_NOT_DEF = 0x80090019u;
constexpr DWORD NTE_FAIL = 0x80090020u;

// Only the base provider (by name, or null for it) of type PROV_RSA_FULL, and only
// CRYPT_VERIFYCONTEXT without a container: the layer keeps no key containers. Another
// provider name gives NTE_KEYSET_NOT_DEF, another type NTE_BAD_PROV_TYPE, anything else
// NTE_BAD_FLAGS.
BOOL CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName, DWORD providerType,
                          DWORD flags);
BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags);

// CALG_MD5 only, unkeyed (`key` 0), flags 0.
BOOL CryptCreateHash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash);
BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD flags);
BOOL CryptDestroyHash(HCRYPTHASH hash);

// CALG_RC4 from the digest of the data hashed so far; deriving again from the same hash
// gives the same key. Only the 40-bit length is offered (flags 0 or CRYPT_NO_SALT);
// other lengths give NTE_BAD_FLAGS.
BOOL CryptDeriveKey(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTHASH baseData, DWORD flags, HCRYPTKEY* key);
BOOL CryptDestroyKey(HCRYPTKEY key);

// In place, `*length` bytes. The key's RC4 stream runs on from one call to the next
// until a call with `isFinal` set, after which it starts again from the key; `hash`
// must be 0 and `flags` 0. CryptEncrypt refuses a
// `bufferLength` below `*length` with ERROR_MORE_DATA (a stream cipher never grows).
BOOL CryptEncrypt(HCRYPTKEY key, HCRYPTHASH hash, BOOL isFinal, DWORD flags, BYTE* data, DWORD* length,
                  DWORD bufferLength);
BOOL CryptDecrypt(HCRYPTKEY key, HCRYPTHASH hash, BOOL isFinal, DWORD flags, BYTE* data, DWORD* length);
