#include <gtest/gtest.h>
#include <unistd.h>

#include "plat/files.h"
#include "plat/sim.h"
#include "support/TempDir.h"

namespace path_map_test {

using testing_support::TempDir;

// Names in CP949, as the module writes them.
const std::string kPictureCp949 = "\xB1\xD7\xB8\xB2";  // 그림
const std::string kHangulCp949 = "\xC7\xD1\xB1\xDB";   // 한글

class PathMapTest : public testing::Test {
 protected:
  void SetUp() override {
    dir.Write("gameimage/hwatoo/normal.bmp", "BM");
    dir.Write("Data.txt", "upper");
    dir.Write("data.txt", "lower");
    dir.Write("그림/한글.bmp", "korean");
    plat::sim::MapPathPrefix("C:\\Game\\", dir.path());
  }
  void TearDown() override {
    plat::sim::ClearPathPrefixes();
    plat::sim::SetDriveRoot("/");
  }
  TempDir dir;
};

TEST_F(PathMapTest, ExistingComponentsResolveAgainstTheDirectoryInAnyCase) {
  struct Case {
    std::string windows;
    std::string native;  // relative to the mapped folder
  };
  const Case cases[] = {
      {"C:\\Game\\GameImage\\Hwatoo\\NORMAL.bmp", "gameimage/hwatoo/normal.bmp"},
      {"c:/game/gameimage/HWATOO/normal.BMP", "gameimage/hwatoo/normal.bmp"},
      // An exact match wins over a case-insensitive one; otherwise the first in byte order.
      {"C:\\Game\\data.txt", "data.txt"}, {"C:\\Game\\Data.txt", "Data.txt"}, {"C:\\Game\\DATA.TXT", "Data.txt"},
      // What does not exist yet keeps the case it was given, below the last match.
      {"C:\\Game\\GAMEIMAGE\\New\\File.TXT", "gameimage/New/File.TXT"},
      // Repeated separators collapse; a trailing one stays.
      {"C:\\Game\\\\GameImage\\\\Hwatoo\\", "gameimage/hwatoo/"},
      {"C:\\Game\\GameImage\\..\\DATA.TXT", "gameimage/../Data.txt"},
      {"C:\\Game\\" + kPictureCp949 + "\\" + kHangulCp949 + ".BMP", "그림/한글.bmp"},
      {"C:\\Game\\" + kHangulCp949 + "\\new.txt", "한글/new.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::MapPath(c.windows), dir / c.native) << c.windows;
}

TEST_F(PathMapTest, PrefixesMatchWholeComponentsAndTheLongestWins) {
  TempDir other;
  plat::sim::MapPathPrefix("C:\\Game\\Sound", other.path());
  plat::sim::MapPathPrefix("D:\\Data", other.path());
  EXPECT_EQ(plat::MapPath("C:\\GAME\\sound\\a.wav"), other / "a.wav");
  EXPECT_EQ(plat::MapPath("C:\\Game\\Sounds\\a.wav"), dir / "Sounds/a.wav");
  EXPECT_EQ(plat::MapPath("D:\\Data"), other.path());
  EXPECT_EQ(plat::MapPath("C:\\Game"), dir.path());
  EXPECT_EQ(plat::MapPath("C:\\Game\\"), dir.path());
  // Not under the prefix: the drive root, which every drive letter shares.
  plat::sim::SetDriveRoot(other.path());
  EXPECT_EQ(plat::MapPath("D:\\DataSet\\x.txt"), other / "DataSet/x.txt");
  EXPECT_EQ(plat::MapPath("E:x.txt"), other / "x.txt");
  plat::sim::ClearPathPrefixes();
  EXPECT_EQ(plat::MapPath("C:\\Game\\a.txt"), other / "Game/a.txt");
}

TEST_F(PathMapTest, NativeAndRelativePathsResolveTheSameWay) {
  // A host may hand over a native folder (UTF-8 on disk) and the module appends to it.
  EXPECT_EQ(plat::MapPath(dir.path() + "GameImage\\HWATOO\\Normal.bmp"), dir / "gameimage/hwatoo/normal.bmp");
  EXPECT_EQ(plat::MapPath(dir.path() + "그림\\" + kHangulCp949 + ".bmp"), dir / "그림/한글.bmp");

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  EXPECT_EQ(plat::MapPath("GAMEIMAGE\\Hwatoo\\Normal.BMP"), "gameimage/hwatoo/normal.bmp");
  EXPECT_EQ(plat::MapPath(".\\DATA.txt"), "./Data.txt");
  EXPECT_EQ(plat::MapPath("missing\\x"), "missing/x");
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_EQ(plat::MapPath(""), "");
}

}  // namespace path_map_test
