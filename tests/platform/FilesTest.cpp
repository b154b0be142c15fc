#include <dirent.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "KernelTestSupport.h"
#include "plat/files.h"
#include "plat/sim.h"
#include "support/TempDir.h"

namespace {

using kernel_test::AndError;
using testing_support::TempDir;
const HANDLE kBad = INVALID_HANDLE_VALUE;

class FilesTest : public testing::Test {
 protected:
  void SetUp() override { plat::sim::MapPathPrefix("C:\\Game\\", dir.path()); }
  void TearDown() override {
    plat::sim::ClearPathPrefixes();
    plat::sim::ClearFaults();
  }
  HANDLE Open(const char* name, DWORD access, DWORD disposition, DWORD share = FILE_SHARE_READ) {
    return CreateFileA((std::string("C:\\Game\\") + name).c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  std::string ReadAll(HANDLE h) {
    char buf[256];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &got, nullptr));
    return std::string(buf, got);
  }
  TempDir dir;
};

TEST_F(FilesTest, HandlesCheckAccessAndRefuseStaleValuesAndCloseTheirDescriptors) {
  dir.Write("a.txt", "abc");
  HANDLE reader = Open("a.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(reader, kBad);
  DWORD n = 99;
  EXPECT_EQ(AndError(WriteFile(reader, "x", 1, &n, nullptr)), std::pair(FALSE, ERROR_ACCESS_DENIED));
  EXPECT_EQ(n, 0u);
  HANDLE writer = Open("a.txt", GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ);
  char c;
  EXPECT_EQ(AndError(ReadFile(writer, &c, 1, &n, nullptr)), std::pair(FALSE, ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(writer));
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_EQ(AndError(CloseHandle(reader)), std::pair(FALSE, ERROR_INVALID_HANDLE));
  // A new file may reuse the slot; the old value must still be refused.
  HANDLE again = Open("a.txt", GENERIC_READ, OPEN_EXISTING);
  EXPECT_NE(again, reader);
  for (HANDLE bad : {reader, kBad, static_cast<HANDLE>(nullptr)}) {
    EXPECT_EQ(AndError(ReadFile(bad, &c, 1, &n, nullptr)), std::pair(FALSE, ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_FALSE(GetFileTime(bad, nullptr, nullptr, nullptr));
  }
  EXPECT_TRUE(CloseHandle(again));
  auto openDescriptors = [] {
    int count = 0;
    DIR* d = opendir("/proc/self/fd");
    while (d && readdir(d)) ++count;
    if (d) closedir(d);
    return count;
  };
  const int before = openDescriptors();
  std::vector<HANDLE> handles;
  for (int i = 0; i < 8; ++i) handles.push_back(Open("a.txt", GENERIC_READ, OPEN_EXISTING));
  EXPECT_EQ(openDescriptors(), before + 8);
  for (HANDLE h : handles) EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(openDescriptors(), before);
}

TEST_F(FilesTest, InjectedFaultsFailOnceThenCallsWorkAgain) {
  dir.Write("f.txt", "abc");
  plat::sim::FailNext("CreateFileA");
  EXPECT_EQ(AndError(Open("f.txt", GENERIC_READ, OPEN_EXISTING)), std::pair(kBad, ERROR_ACCESS_DENIED));
  HANDLE h = Open("f.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(h, kBad);
  char buf[4];
  DWORD n = 0;
  plat::sim::FailNext("ReadFile");
  EXPECT_EQ(AndError(ReadFile(h, buf, 3, &n, nullptr)), std::pair(FALSE, ERROR_READ_FAULT));
  EXPECT_TRUE(ReadFile(h, buf, 3, &n, nullptr));
  EXPECT_EQ(n, 3u);
  plat::sim::FailNext("WriteFile");
  EXPECT_EQ(AndError(WriteFile(h, "d", 1, &n, nullptr)), std::pair(FALSE, ERROR_WRITE_FAULT));
  EXPECT_TRUE(WriteFile(h, "d", 1, &n, nullptr));
  CloseHandle(h);
  EXPECT_EQ(dir.Read("f.txt"), "abcd");
  plat::sim::FailNext("OpenCFile");
  EXPECT_EQ(plat::OpenCFile("C:\\Game\\f.txt", "rb"), nullptr);
  plat::sim::FailNext("GetFileAttributesA");
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\f.txt"), INVALID_FILE_ATTRIBUTES);
  plat::sim::FailNext("DeleteFileA");
  EXPECT_FALSE(DeleteFileA("C:\\Game\\f.txt"));
  EXPECT_TRUE(dir.Exists("f.txt"));
  EXPECT_EQ(plat::sim::FaultsFired("CreateFileA"), 1u);
}

}  // namespace
