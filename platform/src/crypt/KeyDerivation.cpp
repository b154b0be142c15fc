// RC4 key derivation from a hash digest, with the base provider's defaults.
#include "crypt/KeyDerivation.h"

#include "plat/wincrypt.h"

namespace plat::detail {
namespace {

constexpr DWORD kDefaultKeyBits = 40;
constexpr DWORD kKeyBitsShift = 16;
constexpr DWORD kOptionMask = 0xFFFF;
// The base provider is taken to salt a key of its default length with zero bytes up to
// 128 bits unless CRYPT_NO_SALT is given: a 40-bit key runs RC4 with 5 digest bytes and
// 11 zero bytes, a different stream from a bare 5-byte key. No file enciphered by that
// provider has confirmed it yet; one that disproves it changes this constant and the
// test that pins it.
constexpr size_t kDefaultKeySaltBytes = 11;

}  // namespace

std::optional<std::vector<uint8_t>> Rc4KeyFromDigest(const Md5Digest& digest, DWORD flags) {
  DWORD bits = flags >> kKeyBitsShift;
  if (bits == 0) bits = kDefaultKeyBits;
  if (bits != kDefaultKeyBits || (flags & kOptionMask & ~CRYPT_NO_SALT) != 0) return std::nullopt;
  std::vector<uint8_t> key(digest.begin(), digest.begin() + bits / 8);
  if (!(flags & CRYPT_NO_SALT)) key.resize(key.size() + kDefaultKeySaltBytes, 0);
  return key;
}

}  // namespace plat::detail
