// The notice text as the host sends it: "#"-separated fields found by a name part
// that contains the name, and the ticker's time and stage taken from them.
#include <gtest/gtest.h>

#include "panels/CCheckNotice.h"
#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"

namespace {

TEST(CCheckNotice, FieldsAreFoundByTheirNamePart) {
  struct Case { const char* notice; const char* name; const char* value; };
  const Case cases[] = {
      {"TYPE=1#TIME=3#MSG=x", "TIME", "3"},
      {"TYPE=1#TIME=3#MSG=x", "MSG", "x"},
      {"XTYPEX=4#TYPE=1", "TYPE", "4"},  // the first name part that contains it
      {"MSG=a=b", "MSG", "a=b"},         // the value runs past later '='
      {"TYPE#TIME=2", "TYPE", "TYPE"},   // a field without '=' is its own value
      {"TIME=2#", "MSG", ""},
      {"##TIME=5", "TIME", "5"},
      {"TIME=", "TIME", ""},
      {"", "TIME", ""},
      {"A=TIME", "TIME", ""},  // only the name part is searched
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CCheckNotice::FieldValue(c.notice, c.name), c.value) << c.notice << " / " << c.name;
  }
}

TEST(CCheckNotice, TimeAndStageComeFromTheNotice) {
  struct Case { const char* notice; int32_t shown; int32_t time; int32_t digits; int32_t stage; const char* msg; };
  const Case cases[] = {
      {"TYPE=0#TIME=3#MSG=x", 1, 3, 1, CCheckNotice::kStageHeadWithWarning, "x"},
      {"TYPE=1#TIME=10", 1, 10, 2, CCheckNotice::kStageHeadOnly, ""},
      {"TYPE=0#TIME=7#MSG=hello", 1, 7, 1, CCheckNotice::kStageHeadOnly, "hello"},
      {"TIME=3#MSG=x", 0, 0, 0, CCheckNotice::kStageNone, ""},
      {"TYPE=1#MSG=x", 0, 0, 0, CCheckNotice::kStageNone, ""},
  };
  for (const Case& c : cases) {
    CCheckNotice ticker;
    ticker.ParseNoticeText("TYPE=1#TIME=3");  // a running notice that the next one replaces
    EXPECT_EQ(ticker.ParseNoticeText(c.notice), c.msg) << c.notice;
    EXPECT_EQ(ticker.IsShown(), c.shown) << c.notice;
    EXPECT_EQ(ticker.NoticeTime(), c.time) << c.notice;
    EXPECT_EQ(ticker.TimeDigits(), c.digits) << c.notice;
    EXPECT_EQ(ticker.Stage(), c.stage) << c.notice;
  }
}

}  // namespace

namespace check_notice_test {

class CheckNoticeLoadTest : public panel_test::PanelPicturesTest {};

TEST_F(CheckNoticeLoadTest, StripTakesNoInputAndLoadsItsAnimationsAndLine) {
  constexpr int32_t kSubAnimations = 28;
  const panel_test::PanelFile files[] = {{CheckNoticeAnimPath, panel_test::Art::QlaSet, kSubAnimations},
                                         {CheckNoticeLinePath, panel_test::Art::Psp}};
  WriteFiles(files);
  CCheckNotice ticker(&scene_);
  ASSERT_EQ(ticker.Create(&scene_), 1);
  EXPECT_EQ(ticker.GetRect(), GRect(0, 0, 800, 17));
  EXPECT_EQ(std::pair(ticker.IsVisible(), ticker.IsEnabled()), std::pair(1, 0));
  EXPECT_TRUE(ticker.GetChildren().empty());

  ASSERT_EQ(ticker.LoadCheckNotice(scene_.kRoot), 1);
  EXPECT_EQ(ticker.Animations().GetAnimationCount(), kSubAnimations);
  EXPECT_EQ(ticker.ScrollLine().LineCount(), 1);
  const K_Rect& strip = ticker.ScrollLine().Strip();
  EXPECT_EQ(GRect(strip.left, strip.top, strip.right, strip.bottom), GRect(96, 5, 274, 17));
  EXPECT_EQ(ticker.ScrollLine().Setting(0), 4000);
  EXPECT_EQ(ticker.FirstDigitPos(), GPoint(-7, 0));
  EXPECT_EQ(std::pair(ticker.HeadPos(), ticker.SecondDigitPos()), std::pair(GPoint(0, 0), GPoint(0, 0)));
  // Loading again replaces the line instead of queueing a second one.
  ASSERT_EQ(ticker.LoadCheckNotice(scene_.kRoot), 1);
  EXPECT_EQ(ticker.ScrollLine().LineCount(), 1);

  for (int32_t skip = 0; skip < 2; ++skip) {
    WriteFiles(files, "without" + std::to_string(skip), skip);
    CCheckNotice partial;
    EXPECT_EQ(partial.LoadCheckNotice(scene_.kRoot), 0) << files[skip].path;
  }
}

}  // namespace check_notice_test
