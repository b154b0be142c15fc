#include "tables/VocabularyTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TranscriptionSupport.h"

using tables_test::Cp949Of;
using tables_test::ExpectTableMatches;
using tables_test::Words;
using testing_support::Cp949;

namespace {

constexpr char8_t kRobotName[] = u8"무렉로봇";

constexpr char8_t kMoneyGrades[] = u8R"(
  점5백냥 점1천냥 점3천냥 점5천냥 점1만냥 점3만냥 점5만냥 점10만냥
  점30만~50만냥 점100만~500만냥 자유)";

constexpr char8_t kComboAnims[] = u8R"(
  Effect\assa.qla Effect\panic.qla Effect\5kwang.qla Effect\godori.qla Effect\chungdan.qla
  Effect\hongdan.qla Effect\chodan.qla Effect\go.qla Effect\Stop.qla)";

constexpr char8_t kEventAnims[] = u8R"(
  Effect\jjock.qla Effect\ddadak.qla Effect\firstbbuck.qla Effect\seriesbbuck.qla
  Effect\bbuck.qla Effect\selfbbuck_eat.qla Effect\bomb.qla Effect\all_eat.qla)";

// One line per gender (male, female, other), voice sets 0..3 across.
constexpr char8_t kVoiceCharacters[] = u8R"(
  젠틀맨 할배 작업남 탄실이
  예능MC 할매 미씨 나비
  성우1 성우2 성우3 성우4)";

// cue:variants, rows in id order.
constexpr char8_t kVoiceCues[] = u8R"(
  1go:3 2go:3 3go:3 4go:3 5go:3 3guang:3 4guang:3 5guang:3 godori:3 chungdan:3
  hongdan:3 chodan:3 hndl:3 poktan:3 ddadak:3 jjock:3 sseul:3 assa:2 huck:2 huhu:2
  yup:2 6go:3 7go:3 puck:3 3puck:3 bringpuck:3 bringjapuck:3 stop:3 nagari:3 bi3guang:3
  chongtong:3 4hndl:3 mission_s:3 welcome:1 goodstart:1 badstart:3 hurry:2 hello:3 cong:3 sorry:2
  hurry:2 bye:2 happy:3 s_happy:2 unhappy:2 s_unhappy:2 bega:2 s_bega:2 jeer:2 s_jeer:2
  dis:2 s_dis:2)";

constexpr char8_t kTableColours[] = u8"그린 모포 브라운";
constexpr char8_t kSpeedNames[] = u8"느림 빠름";

TEST(VocabularyTables, EveryNameMatchesTheTranscription) {
  EXPECT_EQ(Cp949(RobotPlayerName), Cp949(Cp949Of(kRobotName)));
  ExpectTableMatches("MoneyGradeNames", MoneyGradeNames, Words(kMoneyGrades));
  ExpectTableMatches("VoiceCharacterNames", VoiceCharacterNames, Words(kVoiceCharacters));
  ExpectTableMatches("TableColourNames", TableColourNames, Words(kTableColours));
  ExpectTableMatches("SpeedNames", SpeedNames, Words(kSpeedNames));
  EXPECT_EQ(std::size(MoneyGradeNames), 11u);
  EXPECT_EQ(std::size(VoiceCharacterNames), 12u);
  EXPECT_EQ(std::size(TableColourNames), 3u);
  EXPECT_EQ(std::size(SpeedNames), 2u);
}

TEST(VocabularyTables, EveryEffectAnimationMatchesTheTranscription) {
  ExpectTableMatches("EffectAnimFiles::Combination", EffectAnimFiles::Combination, Words(kComboAnims));
  ExpectTableMatches("EffectAnimFiles::Event", EffectAnimFiles::Event, Words(kEventAnims));
  EXPECT_EQ(std::size(EffectAnimFiles::Combination), 9u);
  EXPECT_EQ(std::size(EffectAnimFiles::Event), 8u);
  for (int32_t i = 0; i < kComboEffectAnimCount; ++i) EXPECT_EQ(GetComboEffectAnimFile(i), EffectAnimFiles::Combination[i]);
  for (int32_t i = 0; i < kEventEffectAnimCount; ++i) EXPECT_EQ(GetEventEffectAnimFile(i), EffectAnimFiles::Event[i]);
}

TEST(VocabularyTables, EveryVoiceCueRowMatchesTheTranscriptionAndItsId) {
  const std::vector<std::string> rows = Words(kVoiceCues);
  ASSERT_EQ(rows.size(), 52u);
  ASSERT_EQ(std::size(VoiceCueTable), 52u);
  for (size_t r = 0; r < rows.size(); ++r) {
    const size_t colon = rows[r].find(':');
    const VoiceCue& row = FindVoiceCue(kFirstVoiceId + static_cast<int32_t>(r));
    EXPECT_EQ(&row, &VoiceCueTable[r]) << "row " << r;
    EXPECT_EQ(Cp949(row.cue), Cp949(rows[r].substr(0, colon))) << "row " << r;
    EXPECT_EQ(row.variantCount, std::stoi(rows[r].substr(colon + 1))) << "row " << r;
  }
}

TEST(VocabularyTables, VariantCountsFollowTheRecordedSets) {
  const std::set<int32_t> oneVariant = {33, 34};
  const std::set<int32_t> twoVariants = {17, 18, 19, 20, 36, 39, 40, 41, 43, 44, 45, 46, 47, 48, 49, 50, 51};
  for (int32_t r = 0; r < kVoiceCueCount; ++r) {
    const int32_t expected = oneVariant.count(r) ? 1 : twoVariants.count(r) ? 2 : 3;
    EXPECT_EQ(FindVoiceCue(kFirstVoiceId + r).variantCount, expected) << "row " << r;
  }
}

TEST(VocabularyTables, TwoIdsShareTheHurryCue) {
  for (int32_t id : {10036, 10040}) {
    EXPECT_STREQ(FindVoiceCue(id).cue, "hurry") << id;
    EXPECT_EQ(FindVoiceCue(id).variantCount, 2) << id;
  }
}

TEST(VocabularyTables, VoiceIdsOutsideTheTableGiveAnEmptyCue) {
  for (int32_t id : {9999, 10052, 0, -1, INT32_MIN, INT32_MAX}) {
    ASSERT_NE(FindVoiceCue(id).cue, nullptr) << id;
    EXPECT_STREQ(FindVoiceCue(id).cue, "") << id;
    EXPECT_EQ(FindVoiceCue(id).variantCount, 0) << id;
  }
}

TEST(VocabularyTables, VoiceCharacterClampsGenderAndVoiceSet) {
  struct Case {
    int32_t gender, voiceSet;
    const char8_t* name;
  };
  const Case cases[] = {
      {1, 3, u8"나비"},   {5, 1, u8"성우2"},   {0, 7, u8"젠틀맨"}, {-1, 0, u8"성우1"},
      {0, -1, u8"젠틀맨"}, {2, 3, u8"성우4"},   {1, 4, u8"예능MC"}, {INT32_MIN, INT32_MAX, u8"성우1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp949(GetVoiceCharacterName(c.gender, c.voiceSet)), Cp949(Cp949Of(c.name)))
        << "gender " << c.gender << " set " << c.voiceSet;
  }
  for (int32_t gender = 0; gender < kVoiceGenderCount; ++gender) {
    for (int32_t set = 0; set < kVoiceSetCount; ++set) {
      EXPECT_EQ(GetVoiceCharacterName(gender, set), VoiceCharacterNames[gender * 4 + set]);
    }
  }
}

TEST(VocabularyTables, TableColourOutsideTheSkinsIsGreen) {
  for (int32_t skin : {5, -1, 3, INT32_MIN}) EXPECT_EQ(GetTableColourName(skin), TableColourNames[0]) << skin;
  for (int32_t skin = 0; skin < kTableColourCount; ++skin) EXPECT_EQ(GetTableColourName(skin), TableColourNames[skin]);
}

TEST(VocabularyTables, IndexedLookUpsAnswerEmptyOutsideTheirTables) {
  for (int32_t i = 0; i < kMoneyGradeCount; ++i) EXPECT_EQ(GetMoneyGradeName(i), MoneyGradeNames[i]);
  for (int32_t i = 0; i < kSpeedNameCount; ++i) EXPECT_EQ(GetSpeedName(i), SpeedNames[i]);
  for (int32_t bad : {-1, 11, INT32_MIN}) EXPECT_STREQ(GetMoneyGradeName(bad), "") << bad;
  for (int32_t bad : {-1, 9}) EXPECT_STREQ(GetComboEffectAnimFile(bad), "") << bad;
  for (int32_t bad : {-1, 8}) EXPECT_STREQ(GetEventEffectAnimFile(bad), "") << bad;
  for (int32_t bad : {-1, 2}) EXPECT_STREQ(GetSpeedName(bad), "") << bad;
}

TEST(VocabularyTables, DragStripCoversTheTopTwentyRowsOfTheWindow) {
  EXPECT_EQ(DragStripRect.left, 0);
  EXPECT_EQ(DragStripRect.top, 0);
  EXPECT_EQ(DragStripRect.right, 700);
  EXPECT_EQ(DragStripRect.bottom, 20);
  EXPECT_TRUE(DragStripRect.PtInRect(699, 19));
  EXPECT_TRUE(DragStripRect.PtInRect(0, 0));
  EXPECT_FALSE(DragStripRect.PtInRect(700, 10));
  EXPECT_FALSE(DragStripRect.PtInRect(10, 20));
  EXPECT_FALSE(DragStripRect.PtInRect(-1, 5));
}

}  // namespace
