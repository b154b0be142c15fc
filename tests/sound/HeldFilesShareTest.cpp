// Files the module holds open while it reads them (a picture being decoded, a sound
// being streamed): another program may read them meanwhile, none may write them, and a
// file the module writes is its own until it is done.
#include <gtest/gtest.h>

#include <string>

#include "graphics/KFileHandle.h"
#include "plat/kernel.h"
#include "plat/sim.h"
#include "sound/ByteSource.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kFile = "C:\\Held\\a.bin";

// What another program's opens of the file get while the module holds it: one to
// read and one to write, each sharing everything.
std::string OthersGet() {
  std::string out;
  for (DWORD access : {GENERIC_READ, GENERIC_WRITE}) {
    HANDLE h = CreateFileA(kFile, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    out += h != INVALID_HANDLE_VALUE ? "opened " : "refused ";
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return out;
}

TEST(HeldFilesShare, OthersMayReadWhatTheModuleReadsAndNothingOfWhatItWrites) {
  testing_support::TempDir dir;
  dir.Write("a.bin", std::string(64, 'x'));
  plat::sim::MapPathPrefix("C:\\Held\\", dir.path());
  {
    CFileByteSource sound;
    ASSERT_TRUE(sound.Open(kFile));
    EXPECT_EQ(OthersGet(), "opened refused ") << "a sound being streamed";
  }
  {
    KFileHandle picture;
    ASSERT_TRUE(picture.Open(kFile, KFileHandle::kRead | KFileHandle::kShareRead));
    EXPECT_EQ(OthersGet(), "opened refused ") << "a picture being read";
  }
  {
    KFileHandle written;
    ASSERT_TRUE(written.Open(kFile, KFileHandle::kWrite | KFileHandle::kCreateAlways));
    EXPECT_EQ(OthersGet(), "refused refused ") << "a file being written";
  }
  EXPECT_EQ(OthersGet(), "opened opened ") << "every handle closed";
  plat::sim::ClearPathPrefixes();
}

}  // namespace
