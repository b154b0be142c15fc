// The widget factory on a built table: failures leave one record each and tell the host
// only for missing pictures; widgets come out placed, keyed, shown and enabled.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <thread>

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "platform/GdiFixtures.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "support/GifWriter.h"
#include "support/SpriteFileWriters.h"
#include "support/TempDir.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_factory_test {

using Record = CDorvik2VWS::LoadErrorRecord;
using testing_support::HostSlot;

class FactoryTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    plat::sim::MapPathPrefix(scene->ImageFolder(), dir_.path());
    WriteBmp("strip.bmp", 8, 4);
    testing_support::GifDesc gif;
    gif.width = 4, gif.height = 2, gif.globalTable = {0x000000, 0xFF0000}, gif.frames.resize(1);
    gif.frames[0].width = 4, gif.frames[0].height = 2, gif.frames[0].indices.assign(8, 1);
    const auto bytes = testing_support::EncodeGif(gif);
    dir_.Write("anim.gif", std::string(bytes.begin(), bytes.end()));
    host.Clear();
    scene->ClearLoadErrors();
  }
  void TearDown() override {
    plat::sim::ClearPathPrefixes();
    GameTableTest::TearDown();
  }
  void WriteBmp(const std::string& name, int32_t w, int32_t h) {
    gdi_test::BmpLayout bmp;
    bmp.width = w, bmp.height = -h;
    bmp.pixels.assign(gdi_test::Stride(w, 24) * static_cast<uint32_t>(h), 0x40);
    const auto bytes = gdi_test::WriteBmp(bmp);
    dir_.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  std::vector<testing_support::HostCall> Events() const { return host.CallsTo(HostSlot::NotifyEvent); }
  testing_support::TempDir dir_;
};

TEST_F(FactoryTest, AMissingPictureIsRecordedAndReportedEachTime) {
  const std::string event = "NotifyEvent(" + std::to_string(static_cast<uint32_t>(scene->MyUserNo())) + ", 36, (null), 0)";
  for (size_t n = 1; n <= 2; ++n) {
    EXPECT_EQ(scene->CreateQLSWnd("Back\\missing.qls", {3, 4}, 1), nullptr);
    ASSERT_EQ(scene->LoadErrors(), std::vector<Record>(n, Record{1, "Back\\missing.qls"}));
    const auto events = Events();
    ASSERT_EQ(events.size(), n);
    EXPECT_EQ(events.back().line, event);
    EXPECT_EQ(events.back().thread, std::this_thread::get_id());
  }
  // A text surface that cannot be made is recorded only.
  EXPECT_EQ(scene->CreateTextWnd({0, 0}, {-4, 0}, "x", 0, 12, 400), nullptr);
  EXPECT_EQ(scene->LoadErrors().back(), (Record{0, ""}));
  EXPECT_EQ(Events().size(), 2u);
}

TEST_F(FactoryTest, PictureCellsFollowColumnsAndRows) {
  struct Case { int32_t columns, rows; GSize cell; };  // cell {0, 0}: refused
  for (const Case c : {Case{1, 1, {8, 4}}, Case{4, 1, {2, 4}}, Case{1, 2, {8, 2}}, Case{0, 1, {}}, Case{1, -1, {}}}) {
    scene->ClearLoadErrors();
    std::unique_ptr<GVDDSWnd> wnd(scene->CreateDDSWnd("strip.bmp", {10, 20}, 0, 1, c.columns, c.rows));
    EXPECT_EQ(scene->LoadErrors(), std::vector<Record>(wnd ? 0 : 1, Record{0, ""}));
    if (!wnd) {
      EXPECT_EQ(c.cell.cx, 0);
      continue;
    }
    EXPECT_EQ(wnd->GetRect(), GRect(GPoint(10, 20), c.cell));
    EXPECT_EQ(wnd->GetSourceRect(), GRect(GPoint(0, 0), c.cell));
    EXPECT_EQ(std::pair(wnd->IsVisible(), wnd->IsEnabled()), std::pair(1, 0));
  }
  EXPECT_TRUE(Events().empty());
}

TEST_F(FactoryTest, CardsStartOnTheDeckShowingTheBackAndAnimationsTickEvery50Ms) {
  std::unique_ptr<CVHTWnd> card(scene->CreateHTWnd(3, "strip.bmp", {2, 1}));
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->GetRect(), GRect(CDorvik2VWS::kDeckPoint, GSize(2, 1)));
  EXPECT_EQ(card->home, CDorvik2VWS::kDeckPoint);
  EXPECT_EQ(card->GetSourceRect(), GRect(GPoint(0, 50), GSize(2, 1)));
  EXPECT_EQ(card->HasColorKey(), 0);
  EXPECT_EQ(std::pair(card->IsVisible(), card->IsEnabled()), std::pair(1, 1));
  std::unique_ptr<GVAnimWnd> anim(scene->CreateAnimWnd("anim.gif", {5, 6}, {4, 2}));
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(std::tuple(anim->GetStep(), anim->GetPos(), anim->IsVisible()), std::tuple(50, GPoint(5, 6), 0));
}

TEST_F(FactoryTest, PiCountersSitAtHandSlotZeroHidden) {
  WriteBmp("Hwatoo/pee_count.bmp", 24, 22);
  for (int32_t side : {0, 1}) {
    std::unique_ptr<CVCountWnd> counter(scene->CreateCountWnd(side));
    ASSERT_NE(counter, nullptr);
    const GPoint at = side ? GPoint(472, 40) : GPoint(405, 388);
    EXPECT_EQ(counter->GetRect(), GRect(at, GSize(24, 22)));
    EXPECT_EQ(std::pair(counter->IsVisible(), counter->IsEnabled()), std::pair(0, 0));
    GVTextWnd* text = counter->Text();
    EXPECT_EQ(text->GetRect(), GRect(at + GSize(4, 4), GSize(16, 14)));
    EXPECT_EQ(std::tuple(text->GetTextColor(), text->GetTextFormat()), std::tuple(RGB(255, 255, 255), 1u));
  }
  EXPECT_TRUE(scene->LoadErrors().empty());
}

TEST_F(FactoryTest, APanelWhoseChildFailsGoesWithItsChildrenAndNoRecordOfItsOwn) {
  testing_support::QlaAnimation icon{.name = "", .frames = {testing_support::QlaFrame{.parts = {{}}}}};
  const auto bytes = testing_support::QlaFile(icon, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0));
  dir_.Write("Icon/go.qla", std::string(bytes.begin(), bytes.end()));
  ASSERT_NE(_QLSRsc_MANAGER_::InitSpriteResourceManager(64, scene->ImageFolder().c_str()), 0);
  EXPECT_EQ(scene->CreateHTIconWnd(0), nullptr);
  _QLSRsc_MANAGER_::InitSpriteResourceManager(0, nullptr);
  EXPECT_EQ(scene->LoadErrors(), std::vector<Record>(1, Record{1, "Icon\\shake.qla"}));
}

TEST_F(FactoryTest, AvatarsFallBackToTheDefaultPicture) {
  const std::string fallback = scene->ImageFolder() + "Avatar\\default.gif";
  const std::string part = scene->ImageFolder() + "anim.gif";
  dir_.Write("Avatar/default.gif", dir_.Read("anim.gif"));
  // Failures: surfaces refused, the avatar's, then the default part's and avatar's.
  struct Case { std::vector<std::string> given; uint32_t failures; bool made; std::vector<std::string> after; };
  const Case cases[] = {{{}, 0, true, {fallback}}, {{part, part}, 0, true, {part, part}},
                        {{"", ""}, 1, true, {fallback}}, {{""}, 3, false, {fallback}}};
  for (Case c : cases) {
    plat::sim::FailNext("IDirectDraw4::CreateSurface", c.failures);
    std::unique_ptr<GVAvatarWnd> avatar(scene->CreateAvatarWnd(c.given, {7, 8}));
    plat::sim::ClearFaults();
    EXPECT_EQ(avatar != nullptr, c.made) << c.failures;
    EXPECT_EQ(c.given, c.after);
    EXPECT_EQ(avatar ? avatar->GetPos() : GPoint(7, 8), GPoint(7, 8));
  }
  EXPECT_TRUE(scene->LoadErrors().empty());
  EXPECT_TRUE(Events().empty());
}

}  // namespace scene_factory_test
