#include "module/DecryptFile.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "plat/error.h"
#include "plat/files.h"
#include "plat/handle.h"
#include "plat/sim.h"
#include "plat/wincrypt.h"
#include "support/CryptReference.h"
#include "support/HostWindowFixture.h"
#include "support/TempDir.h"

namespace {

using testing_support::Bytes;
using testing_support::KnownDigest;

constexpr size_t kBlock = 1000;

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

// An enciphered file as the tool that makes them writes it: the 8 pass bytes, then the
// body under the key the pass's digest gives.
std::string Enciphered(const std::string& passField, const KnownDigest& digest, const Bytes& plain) {
  EXPECT_EQ(passField.size(), 8u);
  return passField + AsString(testing_support::ReferenceRc4(testing_support::SaltedFortyBitKey(digest), plain));
}

class DecryptFileTest : public testing::Test {
 protected:
  void SetUp() override { plat::sim::MapPathPrefix("C:\\Data\\", dir.path()); }
  void TearDown() override {
    plat::sim::ClearFaults();
    EXPECT_EQ(plat::sim::LiveCryptHandles(), plat::sim::CryptHandleCounts{});
    for (const char* name : {"src.bin", "dst.bin"}) EXPECT_TRUE(!dir.Exists(name) || NobodyHasOpen(name)) << name;
    plat::sim::ClearPathPrefixes();
  }
  static bool NobodyHasOpen(const std::string& name) {
    HANDLE h = CreateFileA(("C:\\Data\\" + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }
  int Decrypt() { return DecryptFileTo("C:\\Data\\src.bin", "C:\\Data\\dst.bin"); }
  void WriteSource(const Bytes& plain, const std::string& passField = "abc\0\0\0\0\0",
                   const KnownDigest& digest = testing_support::kMd5Abc) {
    dir.Write("src.bin", Enciphered(std::string(passField.data(), 8), digest, plain));
  }
  testing_support::TempDir dir;
};

TEST_F(DecryptFileTest, PassEndsAtTheFirstZeroByte) {
  struct Case { std::string passField; const KnownDigest* digest; };
  using namespace std::string_literals;
  const Case cases[] = {
      {"abc\0\0\0\0\0"s, &testing_support::kMd5Abc},
      {"abc\0zzzz"s, &testing_support::kMd5Abc},
      {"\0abcdefg"s, &testing_support::kMd5Empty},
      {"q7Rz2mXe"s, &testing_support::kMd5EightBytes},
  };
  const Bytes plain = testing_support::SampleText(1500);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.digest->pass);
    WriteSource(plain, c.passField, *c.digest);
    EXPECT_EQ(Decrypt(), 1);
    EXPECT_EQ(dir.Read("dst.bin"), AsString(plain));
  }
}

TEST_F(DecryptFileTest, BodyOfAnyLengthRunsOneStreamAcrossBlocks) {
  for (size_t size : {size_t{0}, size_t{1}, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, size_t{2500}}) {
    SCOPED_TRACE(size);
    const Bytes plain = testing_support::SampleText(size, static_cast<uint32_t>(size));
    WriteSource(plain);
    EXPECT_EQ(Decrypt(), 1);
    EXPECT_EQ(dir.Read("dst.bin"), AsString(plain));
  }
}

TEST_F(DecryptFileTest, ExistingDestinationIsReplacedEvenWhenReadOnlyOrUndeletable) {
  const Bytes plain = testing_support::SampleText(10);
  WriteSource(plain);
  for (const char* how : {"plain", "read-only", "deletion fails"}) {
    SCOPED_TRACE(how);
    dir.Write("dst.bin", std::string(3000, 'x'));
    if (how[0] == 'r') {
      ASSERT_TRUE(SetFileAttributesA("C:\\Data\\dst.bin", FILE_ATTRIBUTE_READONLY));
    }
    if (how[0] == 'd') plat::sim::FailNext("DeleteFileA");
    EXPECT_EQ(Decrypt(), 1);
    EXPECT_EQ(dir.Read("dst.bin"), AsString(plain));
    EXPECT_EQ(GetFileAttributesA("C:\\Data\\dst.bin"), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(DecryptFileTest, MissingOrTruncatedSourceFails) {
  dir.Write("dst.bin", "old");
  EXPECT_EQ(Decrypt(), 0);
  EXPECT_FALSE(dir.Exists("dst.bin")) << "the destination goes before the source is looked at";
  dir.Write("src.bin", "abcde");
  EXPECT_EQ(Decrypt(), 0);
  ASSERT_TRUE(dir.Exists("dst.bin"));
  EXPECT_EQ(dir.Read("dst.bin"), "");
}

TEST_F(DecryptFileTest, SameFileTwiceIsRefusedBeforeTouchingIt) {
  WriteSource(testing_support::SampleText(50));
  const std::string other("abc\0\0\0\0\0payload", 15);
  dir.Write("data/x.bin", other);
  const std::string source = dir.Read("src.bin");
  const std::pair<const char*, const char*> spellings[] = {
      {"C:\\Data\\src.bin", "C:\\Data\\src.bin"},
      {"C:\\Data\\src.bin", "c:/data//SRC.BIN"},
      {"C:\\Data\\DATA\\X.BIN", "C:\\Data\\data/x.bin"},
  };
  for (const auto& [from, to] : spellings) {
    SCOPED_TRACE(to);
    EXPECT_EQ(DecryptFileTo(from, to), 0);
  }
  EXPECT_EQ(dir.Read("src.bin"), source);
  EXPECT_EQ(dir.Read("data/x.bin"), other);
}

// Every failure ends with 0, releases everything (checked on tear-down) and leaves the
// destination with exactly the plain text of the blocks finished before it.
TEST_F(DecryptFileTest, FailuresReleaseEverythingAndKeepFinishedBlocks) {
  struct Case { const char* fault; uint32_t skip; bool destinationExists; size_t blocksKept; };
  const Case cases[] = {
      {"CreateFileA", 0, false, 0},           // the source
      {"CreateFileA", 1, false, 0},           // the destination
      {"ReadFile", 0, true, 0},               // the pass
      {"CryptAcquireContextA", 0, true, 0},
      {"CryptCreateHash", 0, true, 0},
      {"CryptHashData", 0, true, 0},
      {"CryptDeriveKey", 0, true, 0},
      {"ReadFile", 1, true, 0},               // the first block
      {"CryptDecrypt", 0, true, 0},
      {"WriteFile", 0, true, 0},
      {"ReadFile", 2, true, 1},               // the second block
      {"CryptDecrypt", 1, true, 1},
      {"WriteFile", 1, true, 1},
      {"CryptDecrypt", 2, true, 2},           // the last, short block
  };
  const Bytes plain = testing_support::SampleText(2500);
  WriteSource(plain);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fault << " after " << c.skip);
    plat::sim::FailNext(c.fault, 1, c.skip);
    EXPECT_EQ(Decrypt(), 0);
    EXPECT_EQ(plat::sim::FaultsFired(c.fault), 1u);
    plat::sim::ClearFaults();
    EXPECT_EQ(plat::sim::LiveCryptHandles(), plat::sim::CryptHandleCounts{});
    ASSERT_EQ(dir.Exists("dst.bin"), c.destinationExists);
    if (c.destinationExists) {
      EXPECT_TRUE(NobodyHasOpen("dst.bin"));
      EXPECT_EQ(dir.Read("dst.bin"), AsString(Bytes(plain.begin(), plain.begin() + c.blocksKept * kBlock)));
    }
    EXPECT_TRUE(NobodyHasOpen("src.bin"));
  }
}

// The fixture's sealed file is what the real system's CryptoAPI makes of the plain text
// under its 8-byte pass (the Windows parts host seals the plain text there and checks
// the bytes are these, and opens this file with the module's routine): the layer must
// open it to the plain text, and seal the plain text to the same bytes.
TEST_F(DecryptFileTest, TheRealSystemsSealedFixtureOpensAndSealsTheSame) {
  plat::sim::MapPathPrefix("C:\\Sealed\\", DORVIK_SEALED_FIXTURES);
  const auto read = [](const char* path) {
    std::string out;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(h, block, sizeof block, &got, nullptr) && got > 0) out.append(block, got);
    CloseHandle(h);
    return out;
  };
  const std::string plain = read("C:\\Sealed\\sealed-plain.txt"), sealed = read("C:\\Sealed\\sealed.bin");
  ASSERT_GT(plain.size(), 2 * kBlock) << "a body of several blocks";
  ASSERT_EQ(sealed.size(), plain.size() + 8);
  EXPECT_EQ(DecryptFileTo("C:\\Sealed\\sealed.bin", "C:\\Data\\dst.bin"), 1);
  EXPECT_EQ(dir.Read("dst.bin"), plain);

  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  ASSERT_TRUE(CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  ASSERT_TRUE(CryptCreateHash(provider, CALG_MD5, 0, 0, &hash));
  ASSERT_TRUE(CryptHashData(hash, reinterpret_cast<const BYTE*>(sealed.data()), 8, 0));
  ASSERT_TRUE(CryptDeriveKey(provider, CALG_RC4, hash, 0, &key));
  std::string body = plain;
  DWORD length = static_cast<DWORD>(body.size());
  ASSERT_TRUE(CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(body.data()), &length, length));
  EXPECT_EQ(sealed.substr(0, 8) + body, sealed);
  CryptDestroyKey(key);
  CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
}

// While the routine reads the sealed file, another program may read it too but not
// write it; the routine waits at its destination's open meanwhile.
TEST_F(DecryptFileTest, TheSealedFileStaysReadableByOthersWhileItIsRead) {
  WriteSource(Bytes(3 * kBlock, 7));
  testing_support::OpenWatch watch({.holdAt = "dst.bin"});
  int answer = 0;
  std::thread decrypting([&] { answer = Decrypt(); });
  ASSERT_TRUE(watch.WaitHeld(10000));
  std::string others;
  for (DWORD access : {GENERIC_READ, GENERIC_WRITE}) {
    HANDLE h = CreateFileA("C:\\Data\\src.bin", access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    others += h != INVALID_HANDLE_VALUE ? "opened " : "refused ";
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  watch.Release();
  decrypting.join();
  EXPECT_EQ(others, "opened refused ");
  EXPECT_EQ(answer, 1);
}

}  // namespace
