// The VIP helper popup as room entry leaves it: built hidden over the game window with
// the stored switch, one popup however many entries, no option controls in a robot
// room; and the desktop with the host window, the game's first frame and the popup at
// the game window's corner, its shape cut from its background.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/RegistryValues.h"
#include "host/EntryRecords.h"
#include "panels/CHelperView.h"
#include "panels/HelperAlert.h"
#include "panels/SkinnedPopup.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

namespace sp = skinned_popup;
using plat::sim::DisplayFormat;
using V = CHelperView;

class HelperPopupSceneTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    plat::sim::ResetDisplay(Format());
    MakeTable();
    // The helpers below reach the popup's controls through the selected popup.
    selected_.emplace(scene->VipManager().HelperView().OwnPopup());
    scene->VipManager().Vip() = {};
    scene->VipManager().Alert() = {};
    ForgetStoredSwitch();
  }
  void TearDown() override {
    ForgetStoredSwitch();
    scene->VipManager().Vip() = {};
    scene->VipManager().Alert() = {};
    selected_.reset();
    GameTableTest::TearDown();
  }
  std::optional<skinned_popup::Selection> selected_;
  virtual DisplayFormat Format() const { return DisplayFormat::Rgb565; }
  // A stored 0 reads as no switch, like none at all.
  void ForgetStoredSwitch() { registry_values::WriteDword(scene->RegistryBasePath(), "14", V::kAlertValueName, 0); }
  // A player coming back into a running game: the entry with the fewest questions.
  void EnterRoom(int32_t roomState = 0) {
    RoomEnterMsg msg = MyEntry(2);
    msg.room.roomState = roomState;
    scene->OnRoomEnter(msg);
  }
};

TEST_F(HelperPopupSceneTest, RoomEntryBuildsOneHiddenPopupWithTheStoredSwitch) {
  registry_values::WriteDword(scene->RegistryBasePath(), "14", V::kAlertValueName, 1);
  const size_t before = plat::sim::LiveWindows();
  EnterRoom();
  HWND first = sp::State().popup;
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(IsWindowVisible(first));
  EXPECT_EQ(GetWindow(first, GW_OWNER), GetAncestor(wnd->Handle(), GA_ROOT));
  EXPECT_EQ(scene->VipManager().Vip().alertSwitch, 1);
  EXPECT_EQ(sp::GetCheckedInRange(V::kSwitchOff, V::kSwitchOn), V::kSwitchOn);
  const size_t one = plat::sim::LiveWindows();
  EXPECT_GT(one, before);

  EnterRoom(V::kRobotRoomState);
  EXPECT_FALSE(IsWindow(first)) << "the next entry's popup replaces it";
  EXPECT_LT(plat::sim::LiveWindows(), one) << "one popup, with fewer controls";
  EXPECT_EQ(sp::FindChild(V::kMinutesNone), nullptr) << "no options in a robot room";
  EXPECT_NE(sp::FindChild(V::kConfirm), nullptr);
}

// The popup's place and shape on the desktop, against a picture made from the desktop
// before it showed and the popup's own pixels inside its region.
class HelperPopupFrameTest : public HelperPopupSceneTest, public testing::WithParamInterface<DisplayFormat> {
 protected:
  DisplayFormat Format() const override { return GetParam(); }
};

TEST_P(HelperPopupFrameTest, ThePopupSitsAtTheGameWindowsCornerWithItsCornersCut) {
  scene->VipManager().Vip().service = {1, 1, 1};
  EnterRoom();
  scene->SetFullRedraw();
  scene->Draw(nullptr, GRect());
  Pump();
  const plat::sim::RgbImage under = plat::sim::CaptureDesktop();
  V& view = scene->VipManager().HelperView();
  view.ShowPopupDialog(1, 1);
  Pump();
  HWND popup = sp::State().popup;
  ASSERT_TRUE(IsWindowVisible(popup));
  RECT game{}, own{};
  GetWindowRect(wnd->Handle(), &game);
  GetWindowRect(popup, &own);
  ASSERT_EQ(std::pair(own.right, own.bottom), std::pair(game.right, game.bottom));

  HRGN shape = plat::sim::WindowRegion(popup);
  ASSERT_NE(shape, nullptr);
  const int w = own.right - own.left, h = own.bottom - own.top;
  EXPECT_FALSE(PtInRegion(shape, 0, 0)) << "the corner is cut";
  EXPECT_TRUE(PtInRegion(shape, w / 2, h / 2));
  const plat::sim::RgbImage face = plat::sim::CaptureWindow(popup);
  ASSERT_EQ(std::pair(face.width, face.height), std::pair(w, h));
  plat::sim::RgbImage expected = under;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int dx = own.left + x, dy = own.top + y;
      if (!PtInRegion(shape, x, y) || dx < 0 || dy < 0 || dx >= expected.width || dy >= expected.height) continue;
      const size_t from = (size_t(y) * size_t(w) + size_t(x)) * 3;
      const size_t to = (size_t(dy) * size_t(expected.width) + size_t(dx)) * 3;
      for (int c = 0; c < 3; ++c) expected.rgb[to + size_t(c)] = face.rgb[from + size_t(c)];
    }

  const bool wide = GetParam() == DisplayFormat::Xrgb8888;
  const std::string name = wide ? "helper_popup_32" : "helper_popup_565";
  const plat::sim::RgbImage shown = plat::sim::CaptureDesktop();
  const plat::sim::FrameCheck check = plat::sim::CheckFrame(shown, name, wide ? "6c3a04a779060b89" : "cb287f7515abc414");
  if (!check.matches) plat::sim::WritePng(expected, plat::sim::FrameFolder() + "/" + name + ".expected.png");
  EXPECT_TRUE(check.matches) << name << ": hash " << check.actualHash << ", pictures in " << check.actualPath;
  EXPECT_EQ(plat::sim::HashImage(shown), plat::sim::HashImage(expected)) << "the popup shows over the desktop";
}

INSTANTIATE_TEST_SUITE_P(Desktops, HelperPopupFrameTest,
                         testing::Values(DisplayFormat::Rgb565, DisplayFormat::Xrgb8888),
                         [](const testing::TestParamInfo<DisplayFormat>& info) { return info.index ? "f32" : "f565"; });

}  // namespace
