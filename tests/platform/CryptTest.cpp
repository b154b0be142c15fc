#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "crypt/Rc4Stream.h"
#include "plat/error.h"
#include "plat/sim.h"
#include "plat/wincrypt.h"
#include "support/CryptReference.h"

namespace {

using testing_support::Bytes;
using testing_support::KnownDigest;
using testing_support::ReferenceRc4;

// RFC 6229, 40-bit key 01 02 03 04 05, keystream offset 0.
const Bytes kRfc6229Key{0x01, 0x02, 0x03, 0x04, 0x05};
const Bytes kRfc6229Stream{0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27,
                           0xcc, 0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8};

class CryptTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::sim::ClearFaults();
    EXPECT_EQ(plat::sim::LiveCryptHandles(), plat::sim::CryptHandleCounts{});
  }
  // A context, an MD5 hash of `pass` and a key derived with `flags`; the hash is kept
  // for tests that use it after derivation.
  struct Objects {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    ~Objects() {
      if (key) CryptDestroyKey(key);
      if (hash) CryptDestroyHash(hash);
      if (provider) CryptReleaseContext(provider, 0);
    }
  };
  static void Make(Objects& o, const std::string& pass, DWORD flags = 0) {
    ASSERT_TRUE(CryptAcquireContextA(&o.provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    ASSERT_TRUE(CryptCreateHash(o.provider, CALG_MD5, 0, 0, &o.hash));
    ASSERT_TRUE(CryptHashData(o.hash, reinterpret_cast<const BYTE*>(pass.data()), static_cast<DWORD>(pass.size()), 0));
    ASSERT_TRUE(CryptDeriveKey(o.provider, CALG_RC4, o.hash, flags, &o.key));
  }
  static Bytes Encrypt(HCRYPTKEY key, Bytes data) {
    DWORD length = static_cast<DWORD>(data.size());
    EXPECT_TRUE(CryptEncrypt(key, 0, TRUE, 0, data.data(), &length, length));
    EXPECT_EQ(length, data.size());
    return data;
  }
};

TEST(Rc4Stream, MatchesRfc6229KeystreamAcrossPieces) {
  EXPECT_EQ(ReferenceRc4(kRfc6229Key, Bytes(16, 0)), kRfc6229Stream) << "the test's own RC4";
  for (size_t split : {0u, 1u, 7u, 16u}) {
    SCOPED_TRACE(split);
    plat::detail::Rc4Stream rc4(kRfc6229Key);
    Bytes out(16, 0);
    rc4.Apply({out.data(), split});
    rc4.Apply({out.data() + split, out.size() - split});
    EXPECT_EQ(out, kRfc6229Stream);
  }
}

// Pins the salting of the default 40-bit key; a sample file proving the provider does
// otherwise changes KeyDerivation.cpp and this test together. CRYPT_NO_SALT keeps the
// bare forty digest bits.
TEST_F(CryptTest, DefaultKeyIsFortyDigestBitsPlusElevenZeroBytesAndNoSaltDropsTheZeros) {
  const Bytes plain = testing_support::SampleText(300);
  for (const KnownDigest* d : {&testing_support::kMd5Abc, &testing_support::kMd5Empty,
                               &testing_support::kMd5EightBytes}) {
    SCOPED_TRACE(d->pass);
    Objects o;
    Make(o, d->pass);
    EXPECT_EQ(Encrypt(o.key, plain), ReferenceRc4(testing_support::SaltedFortyBitKey(*d), plain));
  }
  const KnownDigest& d = testing_support::kMd5Abc;
  for (DWORD flags : {CRYPT_NO_SALT, (40u << 16) | CRYPT_NO_SALT}) {
    Objects o;
    Make(o, d.pass, flags);
    EXPECT_EQ(Encrypt(o.key, plain), ReferenceRc4(Bytes(d.md5.begin(), d.md5.begin() + 5), plain));
  }
}

struct Refusal { const char* what; std::function<BOOL()> call; DWORD error; };

void ExpectRefusals(const std::vector<Refusal>& refusals) {
  for (const Refusal& r : refusals) {
    SetLastError(0);
    EXPECT_FALSE(r.call()) << r.what;
    EXPECT_EQ(GetLastError(), r.error) << r.what;
  }
}

TEST_F(CryptTest, StaleAndForgedHandlesAreRefusedAsBadUid) {
  Objects dead;
  Make(dead, "abc");
  const HCRYPTPROV provider = dead.provider;
  const HCRYPTHASH hash = dead.hash;
  const HCRYPTKEY key = dead.key;
  ASSERT_TRUE(CryptDestroyKey(key));
  ASSERT_TRUE(CryptDestroyHash(hash));
  ASSERT_TRUE(CryptReleaseContext(provider, 0));
  dead.key = dead.hash = dead.provider = 0;
  // A live object of another kind must not pass for the stale one.
  Objects live;
  Make(live, "abc");
  HCRYPTHASH newHash = 0;
  HCRYPTKEY newKey = 0;
  BYTE data[1] = {};
  DWORD length = 1;
  ExpectRefusals({
      {"release twice", [&] { return CryptReleaseContext(provider, 0); }, NTE_BAD_UID},
      {"destroy hash twice", [&] { return CryptDestroyHash(hash); }, NTE_BAD_UID},
      {"destroy key twice", [&] { return CryptDestroyKey(key); }, NTE_BAD_UID},
      {"hash on a released context", [&] { return CryptCreateHash(provider, CALG_MD5, 0, 0, &newHash); }, NTE_BAD_UID},
      {"hash data into a destroyed hash", [&] { return CryptHashData(hash, data, 1, 0); }, NTE_BAD_UID},
      {"derive on a released context", [&] { return CryptDeriveKey(provider, CALG_RC4, live.hash, 0, &newKey); }, NTE_BAD_UID},
      {"derive from a destroyed hash", [&] { return CryptDeriveKey(live.provider, CALG_RC4, hash, 0, &newKey); }, NTE_BAD_UID},
      {"decrypt with a destroyed key", [&] { return CryptDecrypt(key, 0, TRUE, 0, data, &length); }, NTE_BAD_UID},
      {"encrypt with a destroyed key", [&] { return CryptEncrypt(key, 0, TRUE, 0, data, &length, 1); }, NTE_BAD_UID},
      {"key used as a hash", [&] { return CryptHashData(live.key, data, 1, 0); }, NTE_BAD_UID},
      {"hash used as a key", [&] { return CryptDecrypt(live.hash, 0, TRUE, 0, data, &length); }, NTE_BAD_UID},
      {"hash used as a context", [&] { return CryptReleaseContext(live.hash, 0); }, NTE_BAD_UID},
      {"null handle", [&] { return CryptDestroyKey(0); }, NTE_BAD_UID},
      {"forged handle", [&] { return CryptDestroyHash(0x7FFFFFFF); }, NTE_BAD_UID},
  });
  EXPECT_EQ(newHash, 0u);
  EXPECT_EQ(newKey, 0u);
}

}  // namespace
