// The item panel's children: made hidden at (0, 0) + their offsets, moved with the panel.
#include "panels/CVItemWnd.h"

#include <gtest/gtest.h>

#include "host/CHostLink.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/CVResultWnd.h"
#include "support/RecordingHost.h"
#include "panels/PanelFilesFixture.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"

namespace item_wnd_test {

class ItemWndTest : public panel_test::PanelFilesTest {
 protected:
  // The children at `at` + their offsets, in creation order.
  static std::vector<Placed> Layout(CVItemWnd& item, GPoint at) {
    std::vector<Placed> rows{{"back", item.Background(), at, 0}};
    for (int32_t r = 0; r < CVItemWnd::kChoiceRows; ++r) {
      rows.push_back({"mark " + std::to_string(r), item.ChoiceMark(r), at + GSize(112, 20 + 17 * r), 0});
      rows.push_back({"text " + std::to_string(r), item.ChoiceText(r), at + GSize(125, 22 + 17 * r), 1});
    }
    rows.push_back({"tip box", item.TipBox(), GPoint(0, 0), 0});
    rows.push_back({"tip text", item.TipText(), GPoint(0, 0), 1});
    rows.push_back({"withdraw", item.WithdrawButton(), at + GSize(192, 26), 0});
    return rows;
  }
  panel_test::FakePanelScene scene_;
};

TEST_F(ItemWndTest, CreateMakesTheChildrenAtTheOriginAndTheHiddenPanelTakesInput) {
  CVItemWnd item(&scene_);
  ASSERT_EQ(item.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(item.GetRect(), item.IsVisible(), item.IsEnabled(), item.ItemIndex()),
            std::tuple(GRect(0, 0, 300, 92), 0, 1, -1));
  const std::vector<Placed> rows = Layout(item, GPoint(0, 0));
  ExpectPlaced(rows);
  EXPECT_EQ(Children(item), Order(rows));
  for (int32_t r = 0; r < CVItemWnd::kChoiceRows; ++r) {
    EXPECT_EQ(item.ChoiceMark(r)->IsEnabled(), 1);
    ExpectText(item.ChoiceText(r), GSize(65, 12), 0x7BF6F8, DT_LEFT, "choice text");
  }
  ExpectText(item.TipText(), GSize(12, 12), 0x000000, DT_CENTER, "tip text");
  EXPECT_EQ(std::tuple(item.TipBox()->GetRect(), item.TipBox()->GetFillColor(), item.TipBox()->GetFillLevel()),
            std::tuple(GRect(0, 0, 16, 16), COLORREF(0xE1FFFF), 0));
}

TEST_F(ItemWndTest, MovingThePanelMovesItsChildrenAndHidesTheTip) {
  CVItemWnd item(&scene_);
  ASSERT_EQ(item.Create(&scene_), 1);
  item.TipBox()->Show(1);
  item.SetPos(GPoint(210, 358));
  EXPECT_EQ(item.GetRect(), GRect(210, 358, 510, 450));
  std::vector<Placed> rows = Layout(item, GPoint(210, 358));
  rows[rows.size() - 2].shown = 0;  // the tip text hides with its box
  ExpectPlaced(rows);
}

// ---- Reservations ------------------------------------------------------------------------------

// The table's chance icon and caption, me (7, "나", "me") in seat 0, the host recording.
class ItemReserveTest : public ItemWndTest {
 protected:
  void SetUp() override {
    ItemWndTest::SetUp();
    scene_.link.Fill(&host_, nullptr, CHostLink::kGameNumber);
    scene_.myUserNo = 7;
    PlayerInfo& me = scene_.model.room.seats.Player(0);
    me.userNo = 7, me.nickname = "나", me.userId = "me";
    scene_.chanceIcon = scene_.CreatePSPWnd(ItemChanceIconPath, GPoint(0, 0), 0);
    scene_.chanceCaption = scene_.CreateTextWnd(GPoint(0, 0), GSize(113, 11), "", 0, 12, 700);
    ASSERT_NE(scene_.chanceIcon, nullptr);
    ASSERT_NE(scene_.chanceCaption, nullptr);
    scene_.chanceCaption->Show(0);
    scene_.sceneWnds = {scene_.chanceIcon, scene_.chanceCaption};
    ASSERT_EQ(item_.Create(&scene_), 1);
  }
  void TearDown() override {
    scene_.link.Cut();
    ItemWndTest::TearDown();
  }
  // The host's events and the chat runs joined per notice.
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const auto& c : host_.CallsTo(testing_support::HostSlot::NotifyEvent)) out.push_back(c.line);
    return out;
  }
  std::string Chat() const {
    std::string out;
    for (const auto& c : host_.CallsTo(testing_support::HostSlot::AddText)) out += c.texts.at(0);
    return out;
  }
  static std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
  testing_support::RecordingHost host_;
  CVItemWnd item_{&scene_};
};

TEST_F(ItemReserveTest, EachItemTellsTheHostItsCodeAndShowsItsFrame) {
  struct Case {
    int32_t item, code, frame;
  };
  const Case cases[] = {{0, 0x12000, 0}, {1, 0x11002, 10}, {2, 0x11004, 11}, {3, 0x11008, 9}, {4, 0x11010, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    host_.Clear();
    item_.Close();
    if (c.item == 0) {
      item_.ReserveItem(0, 0, 2);
    } else {
      item_.ReserveItemOfKind(0, c.item, 2);
    }
    EXPECT_EQ(Events(), std::vector<std::string>{"NotifyEvent(7, 20, (null), " + std::to_string(c.code) + ")"});
    EXPECT_EQ(std::tuple(item_.ItemIndex(), scene_.chanceIcon->GetFrame()), std::tuple(c.item, c.frame));
  }
}

TEST_F(ItemReserveTest, TheIconKeepsTheHighestItemAndEveryCallPostsTheNotice) {
  item_.ReserveItemOfKind(0, 2, 0);
  item_.ReserveItemOfKind(0, 1, 0);
  EXPECT_EQ(std::tuple(Events().size(), scene_.chanceIcon->GetFrame(), scene_.chanceCaption->GetText()),
            std::tuple(size_t{2}, 11, std::string("최고15억 6천만냥")));
  EXPECT_EQ(Chat(), Utf8(u8"나(me)님 '아싸! 5고'아이템(최고 15억 6천만냥) 예약! 게임방을 나가실 때 구매할 수 있습니다.") +
                        Utf8(u8"나(me)님 '아싸! 4고'아이템(최고 14억 9천만냥) 예약! 게임방을 나가실 때 구매할 수 있습니다."));
  item_.ReserveItemOfKind(0, 3, 0);
  item_.ReserveItem(0, 0, 0);
  EXPECT_EQ(std::tuple(Events().size(), item_.ItemIndex(), scene_.chanceIcon->GetFrame()), std::tuple(size_t{4}, 3, 9));
}

TEST_F(ItemReserveTest, ClassFourOfItemFourCaptionsItsBestAmountBelowTheIcon) {
  item_.ReserveItemOfKind(0, 4, 4);
  EXPECT_EQ(std::tuple(scene_.chanceCaption->GetText(), scene_.chanceIcon->GetPos(), scene_.chanceCaption->GetPos()),
            std::tuple(std::string("최고29억 6천만냥"), GPoint(678, 357), GPoint(683, 505)));
}

TEST_F(ItemReserveTest, OutOfRangeArgumentsReserveNothing) {
  item_.ReserveItem(-1, 0, 0);
  item_.ReserveItem(2, 0, 0);
  item_.ReserveItem(0, 1, 0);
  item_.ReserveItem(0, 0, 5);
  item_.ReserveItem(0, 0, -1);
  item_.ReserveItemOfKind(0, 0, 0);
  item_.ReserveItemOfKind(0, 5, 0);
  item_.ReserveItemOfKind(7, 1, 0);
  EXPECT_TRUE(host_.Calls().empty());
  EXPECT_EQ(item_.ItemIndex(), -1);
}

TEST_F(ItemReserveTest, OpenNeedsAReservationAndCloseHidesTheIcon) {
  EXPECT_EQ(item_.Open(), 0);
  EXPECT_EQ(item_.IsVisible(), 0);
  item_.ReserveItem(0, 0, 0);
  EXPECT_EQ(item_.Open(), 1);
  EXPECT_EQ(std::tuple(item_.IsVisible(), scene_.chanceIcon->IsVisible(), scene_.chanceCaption->IsVisible()),
            std::tuple(1, 1, 1));
  EXPECT_EQ(item_.Close(), 1);
  EXPECT_EQ(std::tuple(item_.IsVisible(), scene_.chanceIcon->IsVisible(), scene_.chanceCaption->IsVisible(),
                       item_.ItemIndex()),
            std::tuple(0, 0, 0, -1));
  // Closed without ever being shown: the icon goes all the same.
  scene_.chanceIcon->Show(1);
  scene_.chanceCaption->Show(1);
  item_.Close();
  EXPECT_EQ(std::tuple(scene_.chanceIcon->IsVisible(), scene_.chanceCaption->IsVisible()), std::tuple(0, 0));
}

TEST_F(ItemReserveTest, ClosingOnlyTheItemPanelLaysTheResultPanelOutAgain) {
  CVResultWnd result(&scene_);
  ASSERT_EQ(result.Create(&scene_), 1);
  CVItemWnd* items = result.ItemPanel();
  items->ReserveItem(0, 0, 1);
  ASSERT_EQ(items->Open(), 1);
  result.SetItemPanelShown(1);
  // What the phase-17 expiry does.
  items->Close();
  result.SetItemPanelShown(0);
  EXPECT_EQ(std::tuple(items->IsVisible(), items->GetPos(), scene_.chanceIcon->IsVisible()),
            std::tuple(0, GPoint(210, 358), 0));
}

TEST_F(ItemWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVItemWnd>(), 10); }

}  // namespace item_wnd_test
