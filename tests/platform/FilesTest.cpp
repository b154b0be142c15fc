#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "KernelTestSupport.h"
#include "plat/files.h"
#include "plat/gdi.h"
#include "plat/ini.h"
#include "plat/winuser.h"
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

TEST_F(FilesTest, RecordingNotesEveryOpenAskedForFailedOnesTooAndTheFilesOpened) {
  dir.Write("a.txt", "abc");
  plat::sim::RecordOpenedFiles(true);
  HANDLE h = Open("a.txt", GENERIC_READ, OPEN_EXISTING);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(Open("gone.txt", GENERIC_READ, OPEN_EXISTING), kBad);
  EXPECT_EQ(plat::OpenCFile("C:\\Game\\gone.c", "rb"), nullptr);
  char out[8];
  GetPrivateProfileStringA("S", "k", "", out, sizeof out, "C:\\Game\\gone.ini");
  EXPECT_EQ(LoadImageA(nullptr, "C:\\Game\\gone.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadCursorFromFileA("C:\\Game\\gone.ani"), nullptr);
  EXPECT_EQ(plat::sim::OpenedFiles(), std::vector<std::string>{"C:\\Game\\a.txt"});
  EXPECT_EQ(plat::sim::RequestedFiles(),
            (std::vector<std::string>{"C:\\Game\\a.txt", "C:\\Game\\gone.txt", "C:\\Game\\gone.c",
                                      "C:\\Game\\gone.ini", "C:\\Game\\gone.bmp", "C:\\Game\\gone.ani"}));
  plat::sim::RecordOpenedFiles(false);
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

TEST_F(FilesTest, ReadWriteAndFilePointer) {
  HANDLE h = Open("data.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, kBad);
  DWORD n = 0, high = 7;
  EXPECT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(GetFileSize(h, &high), 10u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(ReadAll(h), "56789");  // the end is success with fewer bytes
  EXPECT_EQ(ReadAll(h), "");
  EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_END), 6u);
  EXPECT_EQ(ReadAll(h), "6789");
  // Before the start: refused, position unchanged.
  EXPECT_EQ(AndError(SetFilePointer(h, -11, nullptr, FILE_END)), std::pair(INVALID_SET_FILE_POINTER, ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 10u);
  EXPECT_EQ(AndError(SetFilePointer(h, 0, nullptr, 3)), std::pair(INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER));
  // Beyond 4 GiB only with the high part (the file stays sparse).
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
  EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_END), 11u);
  LONG distanceHigh = 1;
  EXPECT_EQ(AndError(SetFilePointer(h, 0x10, &distanceHigh, FILE_BEGIN)), std::pair(0x10u, NO_ERROR));
  EXPECT_EQ(distanceHigh, 1);
  EXPECT_TRUE(WriteFile(h, "!", 1, &n, nullptr));
  EXPECT_EQ(GetFileSize(h, &high), 0x11u);
  EXPECT_EQ(high, 1u);
  EXPECT_EQ(GetFileSize(h, nullptr), 0x11u);
  EXPECT_EQ(AndError(SetFilePointer(h, 0, nullptr, FILE_END)), std::pair(INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER));
  // A low part of 0xFFFFFFFF is a position, told apart by the cleared last error.
  distanceHigh = 0;
  SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_EQ(AndError(SetFilePointer(h, -1, &distanceHigh, FILE_BEGIN)), std::pair(0xFFFFFFFFu, NO_ERROR));
  // Back from 4 GiB + 16 by a negative 64-bit distance.
  distanceHigh = -1;
  EXPECT_EQ(SetFilePointer(h, static_cast<LONG>(0xFFFFFFF0u), &distanceHigh, FILE_END), 1u);
  EXPECT_EQ(distanceHigh, 1);
  EXPECT_TRUE(SetFilePointer(h, 4, nullptr, FILE_BEGIN) == 4u && SetEndOfFile(h));
  EXPECT_EQ(GetFileSize(h, &high), 4u);
  EXPECT_EQ(high, 0u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(dir.Read("data.bin"), "0123");
}

TEST_F(FilesTest, ReadOnlyFilesRefuseWritingUntilTheAttributeIsLifted) {
  dir.Write("ro.txt", "keep");
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\RO.txt"), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(SetFileAttributesA("C:\\Game\\RO.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\ro.txt"), FILE_ATTRIBUTE_READONLY);
  for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS})
    EXPECT_EQ(AndError(Open("ro.txt", GENERIC_WRITE, disposition)), std::pair(kBad, ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open("ro.txt", GENERIC_READ, CREATE_ALWAYS), kBad);
  EXPECT_EQ(plat::OpenCFile("C:\\Game\\ro.txt", "wb"), nullptr);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(plat::OpenCFile("C:\\Game\\ro.txt", "r+b"), nullptr);
  EXPECT_EQ(AndError(DeleteFileA("C:\\Game\\ro.txt")), std::pair(FALSE, ERROR_ACCESS_DENIED));
  EXPECT_EQ(dir.Read("ro.txt"), "keep");
  HANDLE reader = Open("ro.txt", GENERIC_READ, OPEN_EXISTING);
  EXPECT_NE(reader, kBad);
  CloseHandle(reader);
  ASSERT_TRUE(SetFileAttributesA("C:\\Game\\ro.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\ro.txt"), FILE_ATTRIBUTE_NORMAL);
  HANDLE writer = Open("ro.txt", GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(writer, kBad);
  CloseHandle(writer);
  EXPECT_TRUE(DeleteFileA("C:\\Game\\ro.txt"));
  EXPECT_FALSE(dir.Exists("ro.txt"));
  // A file created read-only is read-only from the start.
  HANDLE created = CreateFileA("C:\\Game\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
  DWORD n;
  EXPECT_TRUE(WriteFile(created, "x", 1, &n, nullptr));
  CloseHandle(created);
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\new.txt"), FILE_ATTRIBUTE_READONLY);
}

TEST_F(FilesTest, ShareModesAreHonouredBetweenHandles) {
  dir.Write("s.txt", "shared");
  HANDLE first = Open("s.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ);
  ASSERT_NE(first, kBad);
  // Another reader that shares reading is fine; a writer is not, and neither is a reader
  // that would forbid the first handle's reading.
  HANDLE second = Open("S.TXT", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_NE(second, kBad);
  CloseHandle(second);
  EXPECT_EQ(AndError(Open("s.txt", GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE)),
            std::pair(kBad, ERROR_SHARING_VIOLATION));
  EXPECT_EQ(AndError(Open("s.txt", GENERIC_READ, OPEN_EXISTING, 0)), std::pair(kBad, ERROR_SHARING_VIOLATION));
  // A refused CREATE_ALWAYS leaves the file alone.
  EXPECT_EQ(Open("s.txt", GENERIC_WRITE, CREATE_ALWAYS, FILE_SHARE_READ), kBad);
  EXPECT_EQ(dir.Read("s.txt"), "shared");
  EXPECT_EQ(AndError(DeleteFileA("C:\\Game\\s.txt")), std::pair(FALSE, ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(first));
  HANDLE exclusive = Open("s.txt", GENERIC_WRITE, OPEN_EXISTING, 0);
  EXPECT_NE(exclusive, kBad);
  CloseHandle(exclusive);
  HANDLE deletable = Open("s.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_DELETE);
  EXPECT_TRUE(DeleteFileA("C:\\Game\\s.txt"));
  CloseHandle(deletable);
}

TEST_F(FilesTest, CreationDispositionsFollowWindows) {
  struct Case {
    DWORD disposition;
    bool exists;
    bool opens;
    DWORD error;
    const char* contentAfter;  // null: the file must not exist
  };
  const Case cases[] = {
      {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
      {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
      {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
      {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
      {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
      {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.exists ? " on existing" : " on missing"));
    std::remove((dir / "f.txt").c_str());
    if (c.exists) dir.Write("f.txt", "old");
    SetLastError(12345);
    HANDLE h = Open("f.txt", GENERIC_READ | GENERIC_WRITE, c.disposition);
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
    EXPECT_EQ(GetLastError(), c.error);
    if (h != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(CloseHandle(h));
    }
    EXPECT_EQ(dir.Exists("f.txt"), c.contentAfter != nullptr);
    if (c.contentAfter) {
      EXPECT_EQ(dir.Read("f.txt"), c.contentAfter);
    }
  }
  // A missing folder is a missing path, not a missing file.
  EXPECT_EQ(Open("nowhere\\f.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open("nowhere\\f.txt", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  // A folder cannot be opened as a file.
  dir.Write("sub/x", "");
  EXPECT_EQ(Open("SUB", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Open("f.txt", GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FilesTest, FileTimeCountsHundredNanosecondsSince1601) {
  dir.Write("t.txt", "x");
  // 2001-02-03 04:05:06.7 UTC.
  const timespec times[2] = {{981173106, 700000000}, {981173106, 700000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "t.txt").c_str(), times, 0), 0);
  HANDLE h = Open("t.txt", GENERIC_READ, OPEN_EXISTING);
  FILETIME creation{}, access{}, write{};
  ASSERT_TRUE(GetFileTime(h, &creation, &access, &write));
  const uint64_t expected = (981173106ull + 11644473600ull) * 10000000ull + 7000000ull;
  for (const FILETIME& t : {creation, access, write}) {
    EXPECT_EQ(t.dwLowDateTime, static_cast<DWORD>(expected));
    EXPECT_EQ(t.dwHighDateTime, static_cast<DWORD>(expected >> 32));
  }
  CloseHandle(h);
}

TEST_F(FilesTest, FoldersAndAttributesByName) {
  EXPECT_TRUE(CreateDirectoryA("C:\\Game\\Saves", nullptr));
  EXPECT_FALSE(CreateDirectoryA("C:\\Game\\SAVES", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryA("C:\\Game\\no\\such", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\saves"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(DeleteFileA("C:\\Game\\saves"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  EXPECT_EQ(GetFileAttributesA("C:\\Game\\missing.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\missing\\x.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA("C:\\Game\\missing.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(RemoveDirectoryA("C:\\Game\\Saves"));
  EXPECT_EQ(GetFileAttributesA("C:\\Game\\saves"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
