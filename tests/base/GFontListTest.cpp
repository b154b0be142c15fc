// The font list: the first preferred face the system reports, asked once per list
// whatever the caller's thread; the default face's fallbacks and the error box.
#include "base/GFontList.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "plat/gdi.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "plat/sim_user.h"

namespace {

class GFontListTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::sim::SetReportedFontFaces({});
    plat::sim::ClearFaults();
    plat::sim::ClearMessageBoxCalls();
  }
};

TEST_F(GFontListTest, FirstReportedPreferredFaceWins) {
  const struct {
    const char* system;
    std::vector<std::string> reported;
    std::string installed, withFallback, withoutFallback;
  } cases[] = {
      {"Korean names", plat::sim::DefaultReportedFontFaces(), "굴림", "굴림", "굴림"},
      {"English names", {"Batang", "Dotumche", "Gulim"}, "Gulim", "Gulim", "Gulim"},
      {"Dotumche and Arial", {"Arial", "Dotumche"}, "Dotumche", "Dotumche", "Dotumche"},
      {"Arial only", {"Tahoma", "Arial"}, "Arial", "Arial", "Arial"},
      {"none of the five", {"Tahoma", "gulim", "Gulim "}, "", "Tahoma", "Arial"},
  };
  for (const auto& c : cases) {
    plat::sim::SetReportedFontFaces(c.reported);
    GFontList list;
    EXPECT_FALSE(list.IsEnumerated());
    EXPECT_EQ(list.GetInstalledFace(), c.installed) << c.system;
    EXPECT_TRUE(list.IsEnumerated());
    EXPECT_EQ(list.GetDefaultFace("Tahoma"), c.withFallback) << c.system;
    EXPECT_EQ(list.GetDefaultFace(nullptr), c.withoutFallback) << c.system;
  }
}

TEST_F(GFontListTest, SystemIsAskedOnceEvenWhenTwoThreadsStartTogether) {
  plat::sim::SetReportedFontFaces({"Dotumche"});
  GFontList list;
  std::string fromLoader;
  std::thread loader([&] { fromLoader = list.GetInstalledFace(); });
  const std::string fromWindow = list.GetInstalledFace();
  loader.join();
  EXPECT_EQ(fromWindow, "Dotumche");
  EXPECT_EQ(fromLoader, "Dotumche");
  plat::sim::SetReportedFontFaces({"Gulim"});  // a later change is never seen
  EXPECT_EQ(list.GetInstalledFace(), "Dotumche");
  EXPECT_EQ(list.GetFoundIndex(), 3);
}

TEST_F(GFontListTest, DefaultFontIsMadeOrReportedInAnErrorBox) {
  GetStockObject(WHITE_BRUSH);  // the stock objects are made on first use of GDI
  const size_t objects = plat::sim::LiveGdiObjects();
  HFONT font = CreateDefaultFont(12, 400);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), OBJ_FONT);
  DeleteObject(font);
  EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
  EXPECT_TRUE(plat::sim::MessageBoxCalls().empty());

  plat::sim::FailNext("CreateFontIndirectA");
  EXPECT_EQ(CreateDefaultFont(12, 400), nullptr);
  const auto boxes = plat::sim::MessageBoxCalls();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "CreateDefaultFont");
  EXPECT_FALSE(boxes[0].caption.empty());  // the host program's path
  EXPECT_EQ(boxes[0].type, 0u);
}

}  // namespace
