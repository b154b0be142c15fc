// The fuzz targets' seed corpora are made by our writers: these tests build every
// seed and compare it with the committed file. DORVIK_WRITE_CORPUS=1 rewrites the
// files instead, after a writer, a record or the op table changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "HostRecordTestSupport.h"
#include "fuzz/ArcReadOps.h"
#include "host/ArcReadWrite.h"
#include "host/XNetCodec.h"

namespace {

using namespace arc_fuzz;
using namespace host_test;

void ExpectCommittedSeeds(const char* corpus, const std::map<std::string, std::string>& seeds) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "DORVIK_SOURCE_DIR is set by CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / corpus;
  const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr || std::getenv("DORVIK_WRITE_SEEDS") != nullptr;
  if (write) std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : seeds) {
    const auto path = dir / name;
    if (write) std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::ifstream in(path, std::ios::binary);
    const std::string committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, bytes) << path << " is stale or missing: rerun with DORVIK_WRITE_CORPUS=1";
  }
}

// A seed of the archive reader: the op count, the ops, then the bytes they read.
class Seed {
 public:
  explicit Seed(std::vector<uint8_t> ops) : ops_(std::move(ops)) {}
  IXBuf* Buf() const { return buf_.get(); }
  void Raw(const std::string& bytes) { Buf()->Append(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  std::string Bytes() const {
    return static_cast<char>(ops_.size()) + std::string(ops_.begin(), ops_.end()) + buf_.bytes();
  }

 private:
  std::vector<uint8_t> ops_;
  host_test::Buf buf_;
};

std::map<std::string, std::string> ArcReadSeeds() {
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

// One block per message type, a truncated copy of each, and the older length of each
// type that gained fields.
std::map<std::string, std::string> HostMessageSeeds() {
  std::map<std::string, std::string> seeds;
  auto name = [](uint32_t code, const char* kind) {
    char text[16];
    std::snprintf(text, sizeof text, "type%02u_", code);
    return text + std::string(kind);
  };
  for (uint32_t code = 0; code < HM_TYPE_LIMIT; ++code) {
    const std::string block = WriteBlock(FilledMessage(code));
    seeds[name(code, "full")] = block;
    seeds[name(code, "cut")] = block.substr(0, block.size() > 4 ? block.size() / 2 + 2 : 2);
  }
  for (const auto& older : host_test::kOlderLayouts) {
    HostMessage msg;
    msg.type = older.code;
    msg.record = MakeHostRecord(older.code);
    seeds[name(older.code, "older")] = WriteBlock(msg).substr(0, 4 + older.olderSize);
  }
  return seeds;
}

TEST(FuzzSeeds, CommittedArchiveReaderCorpusMatchesTheWriters) { ExpectCommittedSeeds("arc_read", ArcReadSeeds()); }

TEST(FuzzSeeds, CommittedHostMessageCorpusIsTheWritersBlocks) {
  ExpectCommittedSeeds("host_message", HostMessageSeeds());
}

}  // namespace
