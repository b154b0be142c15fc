// The data files' key: MD5 of the pass, an RC4 key derived from it with the base
// provider's defaults, and the stream that key gives, byte for byte. A file enciphered
// on one side must decipher on the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plat/wincrypt.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const char* digits) {
  Bytes out;
  for (const char* p = digits; p[0] && p[1]; p += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return out;
}

class Rc4Key {
 public:
  // As the module makes it: a verify-only context of the base provider, the pass
  // hashed, the key derived with `flags`, the hash destroyed.
  explicit Rc4Key(const std::string& pass, DWORD flags = 0) {
    if (!CryptAcquireContextA(&provider_, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return;
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(provider_, CALG_MD5, 0, 0, &hash)) return;
    if (CryptHashData(hash, reinterpret_cast<const BYTE*>(pass.data()), static_cast<DWORD>(pass.size()), 0)) {
      CryptDeriveKey(provider_, CALG_RC4, hash, flags, &key_);
    }
    CryptDestroyHash(hash);
  }
  ~Rc4Key() {
    if (key_) CryptDestroyKey(key_);
    if (provider_) CryptReleaseContext(provider_, 0);
  }
  Rc4Key(const Rc4Key&) = delete;
  Rc4Key& operator=(const Rc4Key&) = delete;

  bool Made() const { return key_ != 0; }
  Bytes Encrypt(Bytes data, BOOL isFinal = TRUE) {
    DWORD length = static_cast<DWORD>(data.size());
    EXPECT_TRUE(CryptEncrypt(key_, 0, isFinal, 0, data.data(), &length, length));
    EXPECT_EQ(length, data.size());
    return data;
  }
  Bytes Decrypt(Bytes data, BOOL isFinal = TRUE) {
    DWORD length = static_cast<DWORD>(data.size());
    EXPECT_TRUE(CryptDecrypt(key_, 0, isFinal, 0, data.data(), &length));
    EXPECT_EQ(length, data.size());
    return data;
  }

 private:
  HCRYPTPROV provider_ = 0;
  HCRYPTKEY key_ = 0;
};

TEST(SeamCrypt, DerivedKeysGiveTheKnownStreams) {
  struct Vector {
    std::string pass;
    DWORD flags;
    Bytes stream;  // RC4 over 16 zero bytes
  };
  const Vector vectors[] = {
      {"pass", 0, Hex("2e4b29e495beb712fadd5334b161bb1c")},
      {"Dorvik#2", 0, Hex("0ee3e3e41ca646f0ec025254aa853c9b")},
      // A pass starting with a zero byte hashes nothing.
      {"", 0, Hex("02957a220ca614e1e1cfbf65206f9eb3")},
      {"pass", CRYPT_NO_SALT, Hex("48ed22d1c731f73ec23cc69ca9578ad1")},
  };
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.pass + (v.flags ? " unsalted" : ""));
    Rc4Key key(v.pass, v.flags);
    ASSERT_TRUE(key.Made());
    EXPECT_EQ(key.Encrypt(Bytes(16, 0)), v.stream);
  }
}

// The module deciphers a file in blocks, the last one final: the stream runs on from
// block to block, and a second key from the same pass starts it again.
TEST(SeamCrypt, TheStreamRunsOnAcrossCallsAndDeciphersWhatWasEnciphered) {
  Bytes plain(2500);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7 + 3);
  Rc4Key whole("Dorvik#2");
  ASSERT_TRUE(whole.Made());
  const Bytes sealed = whole.Encrypt(plain);
  EXPECT_NE(sealed, plain);

  Rc4Key blocks("Dorvik#2");
  ASSERT_TRUE(blocks.Made());
  Bytes opened;
  for (size_t at = 0; at < sealed.size(); at += 1000) {
    const size_t n = std::min<size_t>(1000, sealed.size() - at);
    const Bytes part = blocks.Decrypt(Bytes(sealed.begin() + at, sealed.begin() + at + n), at + n == sealed.size());
    opened.insert(opened.end(), part.begin(), part.end());
  }
  EXPECT_EQ(opened, plain);

  // A final call ends the stream: the key starts over, as a new key from the pass would.
  Rc4Key fresh("Dorvik#2");
  ASSERT_TRUE(fresh.Made());
  EXPECT_EQ(blocks.Encrypt(Bytes(16, 0)), fresh.Encrypt(Bytes(16, 0)));
}

}  // namespace
