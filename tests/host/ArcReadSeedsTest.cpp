// The arc_read fuzz target's seed corpus is made by our writers: this test builds
// every seed and compares it with the committed file. DORVIK_WRITE_SEEDS=1 rewrites
// the files instead (after a change of a writer or of the op table).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/ArcReadOps.h"
#include "host/ArcReadWrite.h"
#include "host/XNetCodec.h"

namespace {

using namespace arc_fuzz;

class Seed {
 public:
  explicit Seed(std::vector<uint8_t> ops) : ops_(std::move(ops)), buf_(CreateXBuf(nullptr)) {}
  ~Seed() { buf_->Release(); }
  IXBuf* Buf() const { return buf_; }
  void Raw(const std::string& bytes) { buf_->Append(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  std::string Bytes() const {
    std::string out(1, static_cast<char>(ops_.size()));
    out.append(ops_.begin(), ops_.end());
    out.append(reinterpret_cast<const char*>(buf_->GetData()), buf_->GetLength());
    return out;
  }

 private:
  std::vector<uint8_t> ops_;
  IXBuf* buf_;
};

VARIANT ByteArray(const std::string& bytes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(v.parray->pvData));
  return v;
}

std::map<std::string, std::string> BuildSeeds() {
  std::map<std::string, std::string> seeds;
  {
    Seed s({kInt32, kUint32, kInt64, kUint64, kInt16, kUint16, kUint32});
    ArcWrite(s.Buf(), int32_t{-7});
    ArcWrite(s.Buf(), uint32_t{0xCAFEBABE});
    ArcWrite(s.Buf(), int64_t{-1234567890123});
    ArcWrite(s.Buf(), uint64_t{0xFEDCBA9876543210});
    ArcWrite(s.Buf(), uint8_t{0xFF});
    ArcWrite(s.Buf(), int8_t{-1});
    ArcWrite(s.Buf(), uint8_t{1});
    ArcWrite(s.Buf(), uint8_t{2});
    ArcWrite(s.Buf(), uint8_t{3});  // one byte short of the last 32-bit read
    seeds["integers"] = s.Bytes();
  }
  {
    Seed s({kString, kString, kString, kModuleString32, kModuleString16});
    ArcWrite(s.Buf(), std::string());
    ArcWrite(s.Buf(), std::string("\xB3\xC9 money"));
    ArcWrite(s.Buf(), std::string("a\0b", 3));
    ArcWrite(s.Buf(), std::string("name\0tail", 9));
    s.Raw(std::string("\x03\0abc", 5));
    seeds["strings"] = s.Bytes();
  }
  {
    Seed s({kBlob, kVariant, kVariantRaw, kVariant});
    IXBuf* blob = CreateXBuf(nullptr);
    ArcWrite(blob, uint32_t{42});
    ArcWrite(s.Buf(), blob);
    blob->Release();
    VARIANT v = ByteArray(std::string("\x01\x02\0\x04", 4));
    ArcWrite(s.Buf(), v);
    ArcWriteRaw(s.Buf(), v);
    VariantClear(&v);
    seeds["blob_variant"] = s.Bytes();
  }
  {
    Seed s({kBstr, kBstr, kBstr});
    ArcWrite(s.Buf(), std::string("odd"));
    ArcWrite(s.Buf(), std::string("\x41\0\x42\0", 4));
    ArcWrite(s.Buf(), uint32_t{0x7FFFFFFF});
    seeds["bstr"] = s.Bytes();
  }
  {
    Seed s({kNetInt32, kNetUint32, kNetUint64, kNetString, kNetString, kNetUint32});
    BYTE net[64];
    uint32_t left = sizeof net;
    BYTE* p = WriteNetU32(net, &left, 0xFFFFFFFEu);
    p = WriteNetU32(p, &left, 7);
    p = WriteNetU32(p, &left, 1);
    p = WriteNetU32(p, &left, 2);
    p = WriteNetString(p, &left, "net");
    p = WriteNetWString(p, &left, u"\uB0E5");
    s.Raw(std::string(reinterpret_cast<char*>(net), sizeof net - left));
    seeds["network"] = s.Bytes();
  }
  {
    // Counts that promise far more than follows.
    Seed s({kString, kVariant, kModuleString32, kModuleString16, kBlob, kBstr, kNetString});
    for (int i = 0; i < 3; ++i) ArcWrite(s.Buf(), uint32_t{0xFFFFFFF0});
    s.Raw("\xFF\xFF");
    ArcWrite(s.Buf(), uint32_t{0x10000000});
    ArcWrite(s.Buf(), uint32_t{0x7FFFFFFF});
    s.Raw("\x7F\xFF\xFF\xFF" "ab");
    seeds["lying_counts"] = s.Bytes();
  }
  return seeds;
}

TEST(ArcReadSeeds, CommittedCorpusMatchesTheWriters) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "run through CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / "arc_read";
  const bool write = std::getenv("DORVIK_WRITE_SEEDS") != nullptr;
  if (write) std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : BuildSeeds()) {
    const auto path = dir / name;
    if (write) {
      std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      continue;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing; run with DORVIK_WRITE_SEEDS=1";
    const std::string committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, bytes) << path << " differs from what the writers give";
  }
}

}  // namespace
