// The bounded look-ups of the tables, the shape of every path a reader opens, and the
// drag strip's edges.
#include <gtest/gtest.h>

#include <climits>
#include <string_view>

#include "tables/ItemTables.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"

namespace {

TEST(TableLookup, IndexesOutsideATableAnswerTheEmptyTextAndTheLastIndexItsEntry) {
  struct Case { const char* what; const char* got; const char* expected; };
  const Case cases[] = {
      {"item 5", GetItemName(5), ItemNames[5]}, {"item -1", GetItemName(-1), ""}, {"item 6", GetItemName(6), ""},
      {"amount 4,4", GetItemMoneyText(4, 4), ItemMoneyTable[4][4]},
      {"amount of the safe", GetItemMoneyText(5, 0), ""}, {"amount -1,0", GetItemMoneyText(-1, 0), ""},
      {"amount 6,0", GetItemMoneyText(6, 0), ""}, {"amount 0,-1", GetItemMoneyText(0, -1), ""},
      {"amount 0,5", GetItemMoneyText(0, 5), ""}, {"amount MIN,MAX", GetItemMoneyText(INT32_MIN, INT32_MAX), ""},
      {"grade 10", GetMoneyGradeName(10), MoneyGradeNames[10]}, {"grade -1", GetMoneyGradeName(-1), ""},
      {"grade 11", GetMoneyGradeName(11), ""}, {"grade MIN", GetMoneyGradeName(INT32_MIN), ""},
      {"combo 8", GetComboEffectAnimFile(8), EffectAnimFiles::Combination[8]},
      {"combo -1", GetComboEffectAnimFile(-1), ""}, {"combo 9", GetComboEffectAnimFile(9), ""},
      {"event 7", GetEventEffectAnimFile(7), EffectAnimFiles::Event[7]},
      {"event -1", GetEventEffectAnimFile(-1), ""}, {"event 8", GetEventEffectAnimFile(8), ""},
      {"speed 1", GetSpeedName(1), SpeedNames[1]}, {"speed -1", GetSpeedName(-1), ""},
      {"speed 2", GetSpeedName(2), ""}, {"seat icon 2", GetSeatIconFile(2), SeatIconFiles[2]},
      {"seat icon -1", GetSeatIconFile(-1), ""}, {"seat icon 3", GetSeatIconFile(3), ""},
      // Skins outside the three count as green.
      {"colour 2", GetTableColourName(2), TableColourNames[2]},
      {"colour 3", GetTableColourName(3), TableColourNames[0]},
      {"colour -1", GetTableColourName(-1), TableColourNames[0]},
      {"colour MIN", GetTableColourName(INT32_MIN), TableColourNames[0]},
      // A voice set outside 0..3 counts as 0, a gender outside 0..1 as the third.
      {"voice 1,3", GetVoiceCharacterName(1, 3), VoiceCharacterNames[7]},
      {"voice 2,3", GetVoiceCharacterName(2, 3), VoiceCharacterNames[11]},
      {"voice 5,1", GetVoiceCharacterName(5, 1), VoiceCharacterNames[9]},
      {"voice -1,0", GetVoiceCharacterName(-1, 0), VoiceCharacterNames[8]},
      {"voice 0,7", GetVoiceCharacterName(0, 7), VoiceCharacterNames[0]},
      {"voice 0,-1", GetVoiceCharacterName(0, -1), VoiceCharacterNames[0]},
      {"voice 1,4", GetVoiceCharacterName(1, 4), VoiceCharacterNames[4]},
      {"voice MIN,MAX", GetVoiceCharacterName(INT32_MIN, INT32_MAX), VoiceCharacterNames[8]},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.got, nullptr) << c.what;
    EXPECT_STREQ(c.got, c.expected) << c.what;
  }
  for (int32_t id : {9999, kLastVoiceId + 1, 0, -1, INT32_MIN, INT32_MAX}) {
    ASSERT_NE(FindVoiceCue(id).cue, nullptr) << id;
    EXPECT_STREQ(FindVoiceCue(id).cue, "") << id;
    EXPECT_EQ(FindVoiceCue(id).variantCount, 0) << id;
  }
}

TEST(PanelPaths, PathsDeclaredTwiceAreSeparateConstantsWithEqualText) {
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

TEST(PanelPaths, EveryPathIsRelativeWithBackslashesAndAKnownExtension) {
  for (const char* path : AllPanelPaths) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Combination) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Event) ExpectWellFormedPath(path);
}

TEST(DragStrip, CoversTheTopTwentyRowsOfTheWindowRightAndBottomEdgesExcluded) {
  EXPECT_TRUE(DragStripRect.PtInRect(0, 0));
  EXPECT_TRUE(DragStripRect.PtInRect(699, 19));
  EXPECT_FALSE(DragStripRect.PtInRect(700, 10));
  EXPECT_FALSE(DragStripRect.PtInRect(10, 20));
  EXPECT_FALSE(DragStripRect.PtInRect(-1, 5));
  EXPECT_FALSE(DragStripRect.PtInRect(5, -1));
}

}  // namespace
