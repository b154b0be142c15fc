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

TEST_F(CryptTest, PassHashedInPiecesDerivesTheSameKeyEveryTime) {
  const Bytes plain = testing_support::SampleText(40);
  const Bytes expected = ReferenceRc4(testing_support::SaltedFortyBitKey(testing_support::kMd5Abc), plain);
  Objects o;
  ASSERT_TRUE(CryptAcquireContextA(&o.provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(CryptCreateHash(o.provider, CALG_MD5, 0, 0, &o.hash));
  ASSERT_TRUE(CryptHashData(o.hash, reinterpret_cast<const BYTE*>("a"), 1, 0));
  ASSERT_TRUE(CryptHashData(o.hash, nullptr, 0, 0));
  ASSERT_TRUE(CryptHashData(o.hash, reinterpret_cast<const BYTE*>("bc"), 2, 0));
  for (int round = 0; round < 2; ++round) {
    HCRYPTKEY key = 0;
    ASSERT_TRUE(CryptDeriveKey(o.provider, CALG_RC4, o.hash, 0, &key));
    EXPECT_EQ(Encrypt(key, plain), expected) << "round " << round;
    EXPECT_TRUE(CryptDestroyKey(key));
  }
}

TEST_F(CryptTest, ProviderChoiceIsLimitedToTheBaseProviderWithoutContainers) {
  struct Case {
    const char* container;
    const char* name;
    DWORD type;
    DWORD flags;
    DWORD error;  // 0: succeeds
  };
  const Case cases[] = {
      {nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT, 0},
      {nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT, 0},
      {nullptr, "Some Other Provider", PROV_RSA_FULL, CRYPT_VERIFYCONTEXT, NTE_KEYSET_NOT_DEF},
      {nullptr, MS_DEF_PROV_A, 24, CRYPT_VERIFYCONTEXT, NTE_BAD_PROV_TYPE},
      {nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, 0, NTE_BAD_FLAGS},
      {"keys", MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT, NTE_BAD_FLAGS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.name ? c.name : "(null)") << " type " << c.type << " flags " << c.flags);
    HCRYPTPROV provider = 99;
    SetLastError(0);
    const BOOL ok = CryptAcquireContextA(&provider, c.container, c.name, c.type, c.flags);
    if (c.error == 0) {
      ASSERT_TRUE(ok);
      EXPECT_NE(provider, 0u);
      EXPECT_TRUE(CryptReleaseContext(provider, 0));
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(GetLastError(), c.error);
      EXPECT_EQ(provider, 0u);
    }
  }
}

TEST_F(CryptTest, RefusalsCarryTheProviderErrorCodes) {
  Objects o;
  Make(o, "abc");
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  BYTE data[4] = {};
  DWORD length = sizeof data;
  ExpectRefusals({
      {"hash of another algorithm", [&] { return CryptCreateHash(o.provider, CALG_RC4, 0, 0, &hash); }, NTE_BAD_ALGID},
      {"keyed MD5", [&] { return CryptCreateHash(o.provider, CALG_MD5, o.key, 0, &hash); }, NTE_BAD_KEY},
      {"hash flags", [&] { return CryptCreateHash(o.provider, CALG_MD5, 0, 1, &hash); }, NTE_BAD_FLAGS},
      {"hash-data flags", [&] { return CryptHashData(o.hash, data, 1, 1); }, NTE_BAD_FLAGS},
      {"key of another algorithm", [&] { return CryptDeriveKey(o.provider, CALG_MD5, o.hash, 0, &key); }, NTE_BAD_ALGID},
      {"128-bit key", [&] { return CryptDeriveKey(o.provider, CALG_RC4, o.hash, 128u << 16, &key); }, NTE_BAD_FLAGS},
      {"56-bit key", [&] { return CryptDeriveKey(o.provider, CALG_RC4, o.hash, 56u << 16, &key); }, NTE_BAD_FLAGS},
      {"exportable key", [&] { return CryptDeriveKey(o.provider, CALG_RC4, o.hash, 1, &key); }, NTE_BAD_FLAGS},
      {"decrypt with a hash", [&] { return CryptDecrypt(o.key, o.hash, TRUE, 0, data, &length); }, NTE_BAD_HASH},
      {"decrypt flags", [&] { return CryptDecrypt(o.key, 0, TRUE, 0x40, data, &length); }, NTE_BAD_FLAGS},
      {"encrypt past the buffer", [&] { return CryptEncrypt(o.key, 0, TRUE, 0, data, &length, 3); }, ERROR_MORE_DATA},
      {"decrypt without a length", [&] { return CryptDecrypt(o.key, 0, TRUE, 0, data, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"release flags", [&] { return CryptReleaseContext(o.provider, 1); }, NTE_BAD_FLAGS},
  });
  EXPECT_EQ(hash, 0u);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(plat::sim::LiveCryptHandles(), (plat::sim::CryptHandleCounts{1, 1, 1}));
}

TEST_F(CryptTest, InjectedFaultsFailOnlyTheirCallAndCreateNothing) {
  Objects o;
  Make(o, "");
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  BYTE data[2] = {1, 2};
  DWORD length = sizeof data;
  const std::pair<const char*, std::function<BOOL()>> calls[] = {
      {"CryptAcquireContextA",
       [&] { return CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT); }},
      {"CryptCreateHash", [&] { return CryptCreateHash(o.provider, CALG_MD5, 0, 0, &hash); }},
      {"CryptHashData", [&] { return CryptHashData(o.hash, data, 1, 0); }},
      {"CryptDeriveKey", [&] { return CryptDeriveKey(o.provider, CALG_RC4, o.hash, 0, &key); }},
      {"CryptEncrypt", [&] { return CryptEncrypt(o.key, 0, TRUE, 0, data, &length, length); }},
      {"CryptDecrypt", [&] { return CryptDecrypt(o.key, 0, TRUE, 0, data, &length); }},
  };
  for (const auto& [fault, call] : calls) {
    plat::sim::FailNext(fault, 1, 1);
    EXPECT_TRUE(call()) << fault << ": the skipped call";
    // The skipped call may have made an object; it goes before the failing call.
    if (provider) CryptReleaseContext(std::exchange(provider, 0), 0);
    if (hash) CryptDestroyHash(std::exchange(hash, 0));
    if (key) CryptDestroyKey(std::exchange(key, 0));
    SetLastError(0);
    EXPECT_FALSE(call()) << fault;
    EXPECT_EQ(GetLastError(), NTE_FAIL) << fault;
    EXPECT_EQ(plat::sim::FaultsFired(fault), 1u) << fault;
    EXPECT_EQ(provider | hash | key, 0u) << fault;
  }
}

}  // namespace
