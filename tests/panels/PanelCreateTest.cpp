// Each panel's Create: every child at its place with its first visibility, the panel's
// own rectangle and state, and a missing picture anywhere failing the whole panel.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "panels/CVGFPlayCountWnd.h"
#include "panels/CVObserveSystemWnd.h"
#include "panels/CVRankingPointWnd.h"
#include "panels/CVRestrictOptionWnd.h"
#include "panels/CVUserOptionWnd.h"
#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"

namespace panel_create_test {

using panel_test::Art;
using panel_test::PanelFile;

struct ChildSpec {
  GPoint pos;
  BOOL shown;
  GSize size{};  // checked when given
};

using Made = std::pair<std::unique_ptr<CVPanelWnd>, int32_t>;

template <class P>
Made Make(IPanelScene* scene) {
  auto panel = std::make_unique<P>(scene);
  const int32_t result = panel->Create(scene);
  return {std::move(panel), result};
}

struct PanelCase {
  const char* name;
  std::vector<PanelFile> files;
  std::function<Made(IPanelScene*)> make;
  GRect rect;
  BOOL enabled;
  std::vector<ChildSpec> children;
};

const GSize kChoiceLabel(50, 14), kRoomLine(140, 14), kBalance(93, 12);

const PanelCase kPanels[] = {
    {"option",
     {{OptionBackPath, Art::Qls}, {OptionVolumeKnobPath, Art::Knob}, {OptionSoundOffMarkPath, Art::Qls},
      {OptionSpeedRadioPath, Art::Psp, 2}, {OptionSoundCheckBoxPath, Art::Psp, 2},
      {OptionRoomOptionAnimPath, Art::Qla}, {OptionOkButtonPath, Art::Button}},
     Make<CVUserOptionWnd>,
     GRect(505, 40, 805, 520),
     1,
     {{{609, 177}, 1},
      {{648, 252}, 1, {140, 18}},
      {{626, 231}, 0},
      {{665, 371}, 1}, {{683, 371}, 1}, {{701, 371}, 1}, {{719, 371}, 1}, {{737, 371}, 1},
      {{633, 372}, 1, {28, 14}}, {{755, 372}, 1, {28, 14}},
      {{700, 275}, 1}, {{629, 275}, 1, {69, 14}},
      {{642, 298}, 1}, {{658, 299}, 1, kChoiceLabel}, {{710, 298}, 1}, {{726, 299}, 1, kChoiceLabel},
      {{642, 316}, 1}, {{658, 317}, 1, kChoiceLabel}, {{710, 316}, 1}, {{726, 317}, 1, kChoiceLabel},
      {{647, 427}, 1}, {{663, 428}, 1, kChoiceLabel}, {{715, 427}, 1}, {{731, 428}, 1, kChoiceLabel},
      {{647, 445}, 1}, {{663, 446}, 1, kChoiceLabel},
      {{0, 0}, 0},
      {{512, 48}, 1, kRoomLine}, {{512, 64}, 1, kRoomLine}, {{512, 80}, 1, kRoomLine}, {{512, 96}, 1, kRoomLine},
      {{512, 112}, 1, kRoomLine}, {{512, 128}, 1, kRoomLine}, {{512, 144}, 1, kRoomLine},
      {{512, 160}, 1, kRoomLine},
      {{661, 476}, 1}}},
    {"observer",
     {{ObserverBackPath, Art::Qls}, {ObserverJoinButtonPath, Art::Button},
      {ObserverFirstServiceButtonPath, Art::Button}, {ObserverSecondServiceButtonPath, Art::Button},
      {ObserverTopUpButtonPath, Art::Button}, {ObserverMallButtonPath, Art::Button},
      {ObserverSafeButtonPath, Art::Button}, {ObserverPaymentButtonPath, Art::Button},
      {ObserverServiceTipPath, Art::Psp, 2}, {ObserverMinimiseButtonPath, Art::Button},
      {ObserverFoldedTabPath, Art::Psp}, {ObserverRestoreButtonPath, Art::Button}},
     Make<CVObserveSystemWnd>,
     GRect(399, 373, 626, 521),
     1,
     {{{399, 373}, 1}, {{413, 399}, 1}, {{431, 490}, 1}, {{457, 490}, 1}, {{409, 445}, 1},
      {{409, 467}, 1}, {{517, 445}, 1}, {{521, 465}, 1, kBalance}, {{517, 478}, 1},
      {{521, 498}, 1, kBalance}, {{399, 373}, 0}, {{603, 378}, 1}, {{449, 406}, 0}, {{461, 449}, 0}}},
    {"play count",
     {{PlayCountInfoButtonPath, Art::Button, 2}, {PlayCountGaugePath, Art::Bmp},
      {PlayCountAlertAnimPath, Art::Qla}},
     Make<CVGFPlayCountWnd>,
     GRect(108, 0, 175, 21),
     1,
     {{{108, 0}, 1}, {{112, 16}, 0, {32, 2}}, {{113, 5}, 1, {36, 14}}, {{108, 0}, 0}}},
    {"ranking",
     {{RankingBackPath, Art::Qls}, {RankingLevelPath, Art::Psp, 20}},
     Make<CVRankingPointWnd>,
     GRect(735, 474, 795, 509),
     0,
     {{{735, 474}, 0}, {{740, 481}, 0}, {{748, 496}, 1, {34, 13}}}},
    {"anti-leave",
     {{AntiLeaveBackPath, Art::Qls}},
     Make<CVRestrictOptionWnd>,
     GRect(537, 141, 626, 190),
     0,
     {{{537, 141}, 0}, {{557, 164}, 1, {54, 16}}}},
};

class PanelCreateTest : public panel_test::PanelPicturesTest {};

TEST_F(PanelCreateTest, EveryChildLiesAtItsPlaceAndThePanelStartsHidden) {
  for (const PanelCase& c : kPanels) {
    SCOPED_TRACE(c.name);
    WriteFiles(c.files, c.name);
    auto [panel, result] = c.make(&scene_);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(panel->GetRect(), c.rect);
    EXPECT_EQ(panel->IsVisible(), 0);
    EXPECT_EQ(panel->IsEnabled(), c.enabled);
    EXPECT_EQ(panel->Scene(), &scene_);
    ASSERT_EQ(panel->GetChildren().size(), c.children.size());
    size_t i = 0;
    for (GVWnd* child : panel->GetChildren()) {
      const ChildSpec& want = c.children[i++];
      EXPECT_EQ(child->GetPos(), want.pos) << "child " << i - 1;
      EXPECT_EQ(child->IsVisible(), want.shown) << "child " << i - 1;
      if (want.size.cx) {
        EXPECT_EQ(child->GetRect().Size(), want.size) << "child " << i - 1;
      }
    }
  }
}

TEST_F(PanelCreateTest, AnyMissingPictureFailsCreateAndTheMadeChildrenGoWithThePanel) {
  for (const PanelCase& c : kPanels) {
    for (int32_t skip = 0; skip < static_cast<int32_t>(c.files.size()); ++skip) {
      SCOPED_TRACE(std::string(c.name) + " without " + c.files[size_t(skip)].path);
      WriteFiles(c.files, std::string(c.name) + std::to_string(skip), skip);
      EXPECT_EQ(c.make(&scene_).second, 0);
    }
    EXPECT_EQ(c.make(nullptr).second, 0);
  }
}

}  // namespace panel_create_test
