// The VIP helper settings popup over a game window on the synthetic data: the threshold
// groups, confirming and reopening, what the VIP state shows, the stored switch, the
// item-mall link and the popup's life with the scene.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "base/TextUtil.h"
#include "panels/CHelperView.h"
#include "panels/HelperAlert.h"
#include "panels/SkinnedPopup.h"
#include "plat/registry.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

namespace sp = skinned_popup;
using V = CHelperView;

class HelperViewTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    // The helpers below reach the popup's controls through the selected popup.
    selected_.emplace(scene->VipManager().HelperView().OwnPopup());
    scene->VipManager().Vip() = {};
    scene->VipManager().Alert() = {};
    ForgetStoredSwitch();
    plat::sim::ClearShellExecuteCalls();
  }
  void TearDown() override {
    ForgetStoredSwitch();
    scene->VipManager().Vip() = {};
    scene->VipManager().Alert() = {};
    selected_.reset();
    GameTableTest::TearDown();
  }
  std::optional<skinned_popup::Selection> selected_;
  void ForgetStoredSwitch() {
    HKEY key = nullptr;
    const std::string path = "Software\\" + scene->RegistryBasePath() + "\\14";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, V::kAlertValueName);
    RegCloseKey(key);
  }
  V& View() { return scene->VipManager().HelperView(); }
  // Built and shown for a VIP with the options and the service on (unless told).
  void Open(std::array<int32_t, 3> service = {1, 1, 1}) {
    scene->VipManager().Vip().service = service;
    ASSERT_EQ(View().ShowGameHelpPopup(V::kGameNumber, sp::kTemplateId, wnd->Handle()), 1);
    View().ShowPopupDialog(1, 1);
  }
  static HWND Window(int32_t id) {
    sp::Child* c = sp::FindChild(id);
    return c ? c->hwnd : nullptr;
  }
  static void Click(int32_t id) {
    ASSERT_NE(Window(id), nullptr) << id;
    SendMessageA(Window(id), BM_CLICK, 0, 0);
  }
  static std::string Text(int32_t id) {
    char buf[64] = {};
    sp::GetChildText(id, sizeof(buf), buf);
    return buf;
  }
  static int32_t Enabled(int32_t id) { return Window(id) && IsWindowEnabled(Window(id)) ? 1 : 0; }
  static int32_t LayerShown(int32_t key) {
    sp::BackImage* layer = nullptr;
    return sp::State().layers.Find(key, &layer) >= 0 ? layer->shown : -1;
  }
  // The checked choice of each threshold group.
  static std::array<int32_t, 3> Choices() {
    return {sp::GetCheckedInRange(V::kMinutesNone, V::kMinutes60), sp::GetCheckedInRange(V::kGamesNone, V::kGamesOwn),
            sp::GetCheckedInRange(V::kMoneyNone, V::kMoneyOwn)};
  }
  static std::array<int32_t, 3> EditsEnabled() {
    return {Enabled(V::kGamesEdit), Enabled(V::kMoneyHighEdit), Enabled(V::kMoneyLowEdit)};
  }
  std::string StoredSwitch() const {
    uint32_t value = 0;
    return ReadRegistryValue(scene->RegistryBasePath(), "14", V::kAlertValueName, &value)
               ? FormatString("%u", value)
               : "none";
  }
};

TEST_F(HelperViewTest, ConfirmingAMoneyThresholdStoresTheSwitchSetsTheReminderAndReopensAsLeft) {
  Open();
  Click(V::kMoneyOwn);
  sp::SetChildText(V::kMoneyHighEdit, "1");
  sp::SetChildText(V::kMoneyLowEdit, "5000");
  Click(V::kSwitchOn);
  host.Clear();
  trace.Clear();
  HWND popup = sp::State().popup;
  Click(V::kConfirm);

  EXPECT_EQ(View().Settings(), (V::Thresholds{0, 0, 150000000}));
  EXPECT_EQ(View().ConfirmedSettings(), View().Settings());
  EXPECT_EQ(StoredSwitch(), "1");
  const HelperAlert& alert = scene->VipManager().Alert();
  EXPECT_EQ(std::tuple(alert.minutes, alert.gamesTarget, alert.moneyTarget), std::tuple(0, 0, int64_t{150000000}));
  EXPECT_TRUE(IsWindow(popup));
  EXPECT_FALSE(IsWindowVisible(popup));
  const auto events = host.CallsTo(testing_support::HostSlot::NotifyEvent);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].line, "NotifyEvent(7, 45, \"vip\", 17)");
  EXPECT_EQ(trace.effects, std::vector<int32_t>{IPanelScene::kEffectClick});

  View().ShowPopupDialog(1, 1);
  EXPECT_EQ(std::pair(Text(V::kMoneyHighEdit), Text(V::kMoneyLowEdit)), std::pair(std::string("1"), std::string("5000")));
  EXPECT_EQ(Choices(), (std::array<int32_t, 3>{V::kMinutesNone, V::kGamesNone, V::kMoneyOwn}));
  EXPECT_EQ(EditsEnabled(), (std::array{0, 1, 1}));
  EXPECT_EQ(sp::GetCheckedInRange(V::kSwitchOff, V::kSwitchOn), V::kSwitchOn);
}

TEST_F(HelperViewTest, EachChoiceKeepsOneKindOfReminder) {
  struct Case {
    std::vector<int32_t> clicks;
    std::array<int32_t, 3> choices;
    std::array<int32_t, 3> edits;  // 226, 229, 230 enabled
  };
  const Case cases[] = {
      {{V::kMoneyOwn, V::kMinutes30}, {V::kMinutes30, V::kGamesNone, V::kMoneyNone}, {0, 0, 0}},
      {{V::kGamesOwn, V::kMinutes60}, {V::kMinutes60, V::kGamesNone, V::kMoneyNone}, {0, 0, 0}},
      {{V::kGamesOwn, V::kGamesNone}, {V::kMinutesNone, V::kGamesNone, V::kMoneyNone}, {0, 0, 0}},
      {{V::kMoneyOwn, V::kGames30}, {V::kMinutesNone, V::kGames30, V::kMoneyNone}, {0, 0, 0}},
      {{V::kMinutes30, V::kGamesOwn}, {V::kMinutesNone, V::kGamesOwn, V::kMoneyNone}, {1, 0, 0}},
      {{V::kMoneyOwn, V::kMoneyNone}, {V::kMinutesNone, V::kGamesNone, V::kMoneyNone}, {0, 0, 0}},
      {{V::kGamesOwn, V::kMinutes30, V::kMoneyOwn}, {V::kMinutesNone, V::kGamesNone, V::kMoneyOwn}, {0, 1, 1}},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks.back());
    View().ShowPopupDialog(1, 1);
    for (int32_t id : c.clicks) Click(id);
    EXPECT_EQ(Choices(), c.choices);
    EXPECT_EQ(EditsEnabled(), c.edits);
  }
  Click(V::kGamesOwn);
  sp::SetChildText(V::kGamesEdit, "45");
  Click(V::kConfirm);
  EXPECT_EQ(View().Settings(), (V::Thresholds{0, 45, 0}));
  EXPECT_EQ(scene->VipManager().Alert().gamesTarget, 45);
}

TEST_F(HelperViewTest, TheVipStateDecidesWhatShows) {
  struct Row {
    std::array<int32_t, 3> state;
    std::array<int32_t, 3> layers;  // 1, 2, 4 shown
    std::array<int32_t, 2> buttons;  // 252, 253 visible
    std::array<int32_t, 2> texts, radios, switches;  // visible, enabled
  };
  const Row rows[] = {
      {{0, 0, 0}, {1, 1, 0}, {1, 1}, {0, 0}, {0, 0}, {0, 0}},
      {{1, 1, 1}, {0, 0, 1}, {0, 0}, {1, 1}, {1, 1}, {1, 1}},
      {{1, 0, 1}, {0, 0, 1}, {0, 0}, {1, 1}, {0, 0}, {1, 1}},
      {{1, 1, 0}, {1, 0, 1}, {1, 0}, {1, 1}, {1, 1}, {0, 0}},
  };
  Open();
  auto both = [](int32_t id) { return std::array{sp::IsChildVisible(id), Enabled(id)}; };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::PrintToString(r.state));
    View().UpdatePopupControls(r.state[0], r.state[1], r.state[2]);
    EXPECT_EQ((std::array{LayerShown(V::kLayerOption), LayerShown(V::kLayerStatus), LayerShown(V::kLayerMoney)}),
              r.layers);
    EXPECT_EQ((std::array{sp::IsChildVisible(V::kViewItem), sp::IsChildVisible(V::kViewItemNormal)}), r.buttons);
    for (int32_t id = V::kTextGame; id <= V::kTextMoneyNote; ++id) EXPECT_EQ(both(id), r.texts) << id;
    for (int32_t id : {V::kMinutesNone, V::kMinutes30, V::kMinutes60, V::kGamesNone, V::kGames30, V::kGamesOwn,
                       V::kMoneyNone, V::kMoneyOwn})
      EXPECT_EQ(both(id), r.radios) << id;
    // The edits show with the options and open only with their own choice (none here).
    for (int32_t id : {V::kGamesEdit, V::kMoneyHighEdit, V::kMoneyLowEdit})
      EXPECT_EQ(both(id), (std::array{r.radios[0], 0})) << id;
    for (int32_t id : {V::kSwitchOff, V::kSwitchOn}) EXPECT_EQ(both(id), r.switches) << id;
  }
}

TEST_F(HelperViewTest, ARobotRoomHasNoOptionControlsAndTheRobotPicture) {
  registry_values::WriteDword(scene->RegistryBasePath(), "14", V::kAlertValueName, 1);
  scene->GetRoomData().roomState = V::kRobotRoomState;
  Open();
  for (int32_t id = V::kMinutesNone; id <= V::kSwitchOn; ++id) EXPECT_EQ(sp::FindChild(id), nullptr) << id;
  sp::BackImage* layer = nullptr;
  ASSERT_GE(sp::State().layers.Find(V::kLayerStatus, &layer), 0);
  EXPECT_NE(layer->path.find("VIP\\img_torong_robot.bmp"), std::string::npos);
  EXPECT_NE(sp::FindChild(V::kTextGame), nullptr);
  // Confirming without the switch's radios keeps the stored switch.
  Click(V::kConfirm);
  EXPECT_EQ(scene->VipManager().Vip().alertSwitch, 1);
  EXPECT_EQ(StoredSwitch(), "1");
}

TEST_F(HelperViewTest, TheUserInfoTexts) {
  Open();
  View().FillUserInfoPopup(90061, 3, 2, 1234000, 5000);
  EXPECT_EQ(Text(V::kTextGame), "무렉/1시간1분");
  EXPECT_EQ(Text(V::kTextRecord), "3승2패(5판)");
  EXPECT_EQ(Text(V::kTextMoney), FormatMoney(1234000, 0));
  EXPECT_EQ(Text(V::kTextMoneyNote), "(+" + FormatMoney(5000, 0) + ")");
  for (const int64_t second : {int64_t{0}, int64_t{-70000}}) {
    View().FillUserInfoPopup(59, 0, 0, 0, second);
    EXPECT_EQ(Text(V::kTextGame), "무렉/0시간0분");
    EXPECT_EQ(Text(V::kTextMoneyNote), "(" + FormatMoney(second, 0) + ")");
  }
  // Counts that would wrap 32 bits still add up.
  View().FillUserInfoPopup(0, 0x7FFFFFFF, 1, 0, 0);
  EXPECT_EQ(Text(V::kTextRecord), "2147483647승1패(2147483648판)");
}

TEST(HelperViewGameType, TitlesByTheGameTypeNumber) {
  const std::pair<int32_t, const char*> rows[] = {{1, "도르빅"}, {14, "무렉"}, {19, "타라몬"}, {24, "세리카"},
                                                  {43, "파닐로"}, {2, "-"},    {0, "-"},      {-1, "-"}};
  for (const auto& [type, title] : rows) EXPECT_EQ(CHelperView::GetGameTypeName(type), title) << type;
}

TEST_F(HelperViewTest, EachViewItemButtonOpensTheMallPageOnce) {
  Open({0, 0, 0});
  for (int32_t id : {V::kViewItem, V::kViewItemNormal}) {
    SCOPED_TRACE(id);
    plat::sim::ClearShellExecuteCalls();
    Click(id);
    const auto calls = plat::sim::ShellExecuteCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].owner, wnd->Handle());
    EXPECT_FALSE(calls[0].hasVerb);
    EXPECT_EQ(calls[0].file, "http://Quell/mall_top.vnt?ssn=14&method=item");
    EXPECT_EQ(calls[0].parameters + calls[0].directory, "");
    EXPECT_EQ(calls[0].show, SW_SHOW);
  }
}

TEST_F(HelperViewTest, TheSwitchIsAStoredDwordOfOne) {
  struct Case {
    const char* stored;
    int32_t choice;
  };
  for (const Case c : {Case{nullptr, V::kSwitchOff}, Case{"dword", V::kSwitchOn}, Case{"text", V::kSwitchOff}}) {
    SCOPED_TRACE(c.stored ? c.stored : "none");
    ForgetStoredSwitch();
    if (c.stored && std::string(c.stored) == "dword")
      registry_values::WriteDword(scene->RegistryBasePath(), "14", V::kAlertValueName, 1);
    if (c.stored && std::string(c.stored) == "text")
      registry_values::WriteText(scene->RegistryBasePath(), "14", V::kAlertValueName, "1");
    Open();
    EXPECT_EQ(sp::GetCheckedInRange(V::kSwitchOff, V::kSwitchOn), c.choice);
    EXPECT_EQ(scene->VipManager().Vip().alertSwitch, c.choice == V::kSwitchOn ? 1 : 0);
  }
}

TEST_F(HelperViewTest, ThePopupShowsAtTheCornerHidesAndGoesWithTheScene) {
  const size_t before = plat::sim::LiveWindows();
  scene->VipManager().Vip().service = {1, 1, 1};
  ASSERT_EQ(View().ShowGameHelpPopup(V::kGameNumber, sp::kTemplateId, wnd->Handle()), 1);
  HWND first = sp::State().popup;
  const size_t one = plat::sim::LiveWindows();
  ASSERT_GT(one, before);
  ASSERT_EQ(View().ShowGameHelpPopup(V::kGameNumber, sp::kTemplateId, wnd->Handle()), 1);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(plat::sim::LiveWindows(), one);
  HWND popup = sp::State().popup;
  EXPECT_FALSE(IsWindowVisible(popup));

  View().ShowPopupDialog(1, 1);
  RECT game{}, own{};
  GetWindowRect(wnd->Handle(), &game);
  GetWindowRect(popup, &own);
  EXPECT_EQ(std::pair(own.right, own.bottom), std::pair(game.right, game.bottom));
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(View().RequestedShown(), 1);
  View().ShowPopupDialog(0, 0);
  EXPECT_FALSE(IsWindowVisible(popup));
  EXPECT_FALSE(IsWindowEnabled(popup));

  View().ShowPopupDialog(1, 1);
  scene->ResetRoomView();
  EXPECT_FALSE(IsWindowVisible(popup));
  scene->DestroyAll();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(sp::State().popup, nullptr);
  EXPECT_EQ(plat::sim::LiveWindows(), before);
  // A command arriving after the popup went does nothing.
  V::GameHelpCommand(MAKEWPARAM(V::kConfirm, BN_CLICKED), 0);
  EXPECT_EQ(StoredSwitch(), "none");
}

TEST_F(HelperViewTest, AFiredReminderForgetsTheGamesAndMoneyChoices) {
  Open();
  Click(V::kMoneyOwn);
  sp::SetChildText(V::kMoneyHighEdit, "0");
  sp::SetChildText(V::kMoneyLowEdit, "3");
  Click(V::kConfirm);
  ASSERT_EQ(scene->VipManager().Alert().moneyTarget, 30000);
  CDorvik2VIPMgr& vip = scene->VipManager();
  vip.OnGameResult(30000);
  // The display counts from tick 1 when it starts at 0.
  plat::sim::AdvanceClock(CDorvik2VIPMgr::kDisplayMs + 1);
  vip.Tick();
  EXPECT_EQ(View().Settings(), V::Thresholds{});
  View().ShowPopupDialog(1, 1);
  EXPECT_EQ(Choices(), (std::array<int32_t, 3>{V::kMinutesNone, V::kGamesNone, V::kMoneyNone}));
  EXPECT_EQ(std::pair(Text(V::kMoneyHighEdit), Text(V::kMoneyLowEdit)), std::pair(std::string("0"), std::string("0")));
}

}  // namespace
