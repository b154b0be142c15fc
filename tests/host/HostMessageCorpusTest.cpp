// The fuzz seeds of the host message reader are the writer's own blocks: one per
// type, a truncated copy of each, and the older length of each type that gained
// fields. This test keeps the committed seeds equal to what the writer makes now;
// run it with DORVIK_WRITE_CORPUS=1 to write them again after a record changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "HostRecordTestSupport.h"
#include "host/HostMessage.h"

namespace {

using host_test::FilledMessage;
using host_test::WriteBlock;

std::map<std::string, std::string> ExpectedSeeds() {
  std::map<std::string, std::string> seeds;
  for (uint32_t code = 0; code < HM_TYPE_LIMIT; ++code) {
    char name[16];
    std::snprintf(name, sizeof name, "type%02u", code);
    const HostMessage msg = FilledMessage(code);
    const std::string block = WriteBlock(msg);
    seeds[std::string(name) + "_full"] = block;
    seeds[std::string(name) + "_cut"] = block.substr(0, block.size() > 4 ? block.size() / 2 + 2 : 2);
  }
  for (const auto& older : host_test::kOlderLayouts) {
    char name[16];
    std::snprintf(name, sizeof name, "type%02u", older.code);
    HostMessage msg;
    msg.type = older.code;
    msg.record = MakeHostRecord(older.code);
    seeds[std::string(name) + "_older"] = WriteBlock(msg).substr(0, 4 + older.olderSize);
  }
  return seeds;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(HostMessageCorpus, CommittedSeedsAreTheWritersBlocks) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "DORVIK_SOURCE_DIR is set by CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / "host_message";
  const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr;
  if (write) {
    std::filesystem::create_directories(dir);
  }
  for (const auto& [name, bytes] : ExpectedSeeds()) {
    const auto path = dir / name;
    if (write) {
      std::ofstream(path, std::ios::binary) << bytes;
    }
    EXPECT_EQ(ReadFile(path), bytes) << name << " is stale: rerun with DORVIK_WRITE_CORPUS=1";
  }
}

}  // namespace
