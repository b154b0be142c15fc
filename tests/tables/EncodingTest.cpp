// The module's texts are CP949 bytes at run time whatever the source encoding; these
// checks fail on a target built without the execution character set.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plat/codepage.h"
#include "support/Cp949Printer.h"
#include "tables/ItemTables.h"
#include "tables/NoticeTexts.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"

using testing_support::Cp949;

namespace {

std::vector<std::pair<std::string, const char*>> EveryModuleText() {
  std::vector<std::pair<std::string, const char*>> out;
  auto add = [&out](std::string name, auto& table) {
    for (size_t i = 0; i < std::size(table); ++i) out.emplace_back(name + '[' + std::to_string(i) + ']', table[i]);
  };
  out.emplace_back("RobotPlayerName", RobotPlayerName);
  add("MoneyGradeNames", MoneyGradeNames);
  add("EffectAnimFiles::Combination", EffectAnimFiles::Combination);
  add("EffectAnimFiles::Event", EffectAnimFiles::Event);
  add("VoiceCharacterNames", VoiceCharacterNames);
  for (size_t i = 0; i < std::size(VoiceCueTable); ++i) {
    out.emplace_back("VoiceCueTable[" + std::to_string(i) + ']', VoiceCueTable[i].cue);
  }
  add("TableColourNames", TableColourNames);
  add("SpeedNames", SpeedNames);
  add("ItemNames", ItemNames);
  for (size_t i = 0; i < std::size(ItemMoneyTable); ++i) add("ItemMoneyTable[" + std::to_string(i) + ']', ItemMoneyTable[i]);
  add("AllPanelPaths", AllPanelPaths);
  add("AllNoticeTexts", AllNoticeTexts);
  return out;
}

TEST(TableEncoding, KnownTextsHaveTheirCp949Bytes) {
  EXPECT_EQ(Cp949(RobotPlayerName), Cp949("\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF"));  // 무렉로봇
  EXPECT_EQ(Cp949(VoiceCharacterNames[9]), Cp949("\xBC\xBA\xBF\xEC\x32"));       // 성우2
  const std::string_view grade = MoneyGradeNames[0];                              // 점5백냥
  EXPECT_EQ(Cp949(grade.substr(grade.size() - 2)), Cp949("\xB3\xC9"));           // 냥
  const std::string_view title = PcCafeNoticeTitle;
  EXPECT_NE(title.find("\xA1\xAF" "PC"), std::string_view::npos) << Cp949(title).bytes;  // ’PC
}

TEST(TableEncoding, EveryTextSurvivesARoundTripThroughUtf16) {
  const auto texts = EveryModuleText();
  EXPECT_EQ(texts.size(), 1u + 11 + 9 + 8 + 12 + 52 + 3 + 2 + 6 + 30 + 82 + 9);
  for (const auto& [name, text] : texts) {
    ASSERT_NE(text, nullptr) << name;
    const std::u16string wide = plat::Cp949ToUtf16(text);
    EXPECT_EQ(wide.find(u'?'), std::u16string::npos) << name;
    EXPECT_EQ(wide.find(u'\uFFFD'), std::u16string::npos) << name;
    EXPECT_EQ(Cp949(plat::Utf16ToCp949(wide)), Cp949(text)) << name;
  }
}

}  // namespace
