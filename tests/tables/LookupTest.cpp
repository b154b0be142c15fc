// The bounded look-ups of the tables, the shape of every path a reader opens, and the
// drag strip's edges.
#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <string_view>

#include "tables/ItemTables.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"

namespace {

TEST(TableLookup, IndexesOutsideATableAnswerTheEmptyTextAndTheLastIndexItsEntry) {
  struct Case { const char* got; const char* expected; };
  const Case cases[] = {
      {GetItemName(5), ItemNames[5]}, {GetItemName(-1), ""}, {GetItemName(6), ""},
      {GetItemMoneyText(4, 4), ItemMoneyTable[4][4]}, {GetItemMoneyText(5, 0), ""}, {GetItemMoneyText(-1, 0), ""},
      {GetItemMoneyText(6, 0), ""}, {GetItemMoneyText(0, -1), ""}, {GetItemMoneyText(0, 5), ""},
      {GetItemMoneyText(INT32_MIN, INT32_MAX), ""}, {GetMoneyGradeName(10), MoneyGradeNames[10]},
      {GetMoneyGradeName(-1), ""}, {GetMoneyGradeName(11), ""}, {GetMoneyGradeName(INT32_MIN), ""},
      {GetComboEffectAnimFile(8), EffectAnimFiles::Combination[8]}, {GetComboEffectAnimFile(-1), ""},
      {GetComboEffectAnimFile(9), ""}, {GetEventEffectAnimFile(7), EffectAnimFiles::Event[7]},
      {GetEventEffectAnimFile(-1), ""}, {GetEventEffectAnimFile(8), ""}, {GetSpeedName(1), SpeedNames[1]},
      {GetSpeedName(-1), ""}, {GetSpeedName(2), ""}, {GetSeatIconFile(2), SeatIconFiles[2]},
      {GetSeatIconFile(-1), ""}, {GetSeatIconFile(3), ""},
      // Skins outside the three count as green.
      {GetTableColourName(2), TableColourNames[2]}, {GetTableColourName(3), TableColourNames[0]},
      {GetTableColourName(-1), TableColourNames[0]}, {GetTableColourName(INT32_MIN), TableColourNames[0]},
      // A voice set outside 0..3 counts as 0, a gender outside 0..1 as the third.
      {GetVoiceCharacterName(1, 3), VoiceCharacterNames[7]}, {GetVoiceCharacterName(1, 4), VoiceCharacterNames[4]},
      {GetVoiceCharacterName(2, 3), VoiceCharacterNames[11]}, {GetVoiceCharacterName(5, 1), VoiceCharacterNames[9]},
      {GetVoiceCharacterName(-1, 0), VoiceCharacterNames[8]}, {GetVoiceCharacterName(0, 7), VoiceCharacterNames[0]},
      {GetVoiceCharacterName(0, -1), VoiceCharacterNames[0]},
      {GetVoiceCharacterName(INT32_MIN, INT32_MAX), VoiceCharacterNames[8]},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_STREQ(cases[i].got, cases[i].expected) << "row " << i;
  for (int32_t id : {9999, kLastVoiceId + 1, 0, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_STREQ(FindVoiceCue(id).cue, "") << id;
    EXPECT_EQ(FindVoiceCue(id).variantCount, 0) << id;
  }
}

void ExpectWellFormedPath(std::string_view path) {
  SCOPED_TRACE(path);
  ASSERT_GT(path.size(), 4u);
  EXPECT_NE(path.front(), '\\');
  EXPECT_NE(path.front(), ' ');
  EXPECT_NE(path.back(), ' ');
  EXPECT_EQ(path.find(':'), std::string_view::npos);
  EXPECT_EQ(path.find('/'), std::string_view::npos);
  EXPECT_EQ(path.find("\\\\"), std::string_view::npos);
  EXPECT_NE(path.find('\\'), std::string_view::npos);
  const std::string_view ext = path.substr(path.size() - 4);
  EXPECT_TRUE(ext == ".psp" || ext == ".qla" || ext == ".qls" || ext == ".bmp") << ext;
}

TEST(PanelPaths, EveryPathIsRelativeWithBackslashesAndAKnownExtensionAndTwinsAreSeparateConstants) {
  for (const char* path : AllPanelPaths) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Combination) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Event) ExpectWellFormedPath(path);
  const char* const* pairs[][2] = {
      {&UserInfoLeaderMarkAPath, &UserInfoLeaderMarkBPath}, {&BakIconFramePath, &BakIconMarksPath},
      {&OptionSpeedRadioPath, &OptionVoiceRadioPath},       {&OptionVoiceRadioPath, &OptionSkinRadioPath},
      {&BijouGainAnimPath, &BijouGainTextPath},
  };
  for (const auto& p : pairs) {
    EXPECT_NE(p[0], p[1]);
    EXPECT_STREQ(*p[0], *p[1]);
  }
}

TEST(DragStrip, CoversTheTopTwentyRowsOfTheWindowRightAndBottomEdgesExcluded) {
  struct Case { int32_t x, y; bool inside; };
  for (const Case c : {Case{0, 0, true}, Case{699, 19, true}, Case{700, 10, false}, Case{10, 20, false},
                       Case{-1, 5, false}, Case{5, -1, false}}) {
    EXPECT_EQ(DragStripRect.PtInRect(c.x, c.y), c.inside) << c.x << "," << c.y;
  }
}

}  // namespace
