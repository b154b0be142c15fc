// Every text of the tables against an independent transcription, byte for byte after
// the layer's conversion to CP949: a mistyped or wrongly encoded entry shows here.
// The panel paths are plain ASCII; their rules are checked with the look-ups. The
// notices are also filled as the play-count panel fills them.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "support/Cp949Printer.h"
#include "tables/ItemTables.h"
#include "tables/NoticeTexts.h"
#include "tables/VocabularyTables.h"

using testing_support::Cp949;

namespace {

// The transcriptions are UTF-8 text blocks (u8 literals keep UTF-8 under the CP949
// build), cut into entries here and turned into CP949 through the layer.
std::string_view Chars(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

// Entries separated by any of `separators`, with the spaces around each entry
// dropped; with `keepEmpty` an empty entry between two separators counts.
std::vector<std::string> Split(std::string_view rest, std::string_view separators, bool keepEmpty) {
  std::vector<std::string> out;
  while (true) {
    const size_t end = rest.find_first_of(separators);
    std::string_view entry = rest.substr(0, end);
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
    if (keepEmpty || !entry.empty()) out.emplace_back(entry);
    if (end == std::string_view::npos) return out;
    rest.remove_prefix(end + 1);
  }
}

std::vector<std::string> Words(std::u8string_view block) { return Split(Chars(block), " \n", false); }

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

// name | class 0 | class 1 | class 2 | class 3 | class 4
constexpr char8_t kItems[] = u8R"(
  카르펜    | 14억 7천만냥 | 14억 7천만냥 | 18억 3천만냥 | 27억냥       | 28억 5천만냥
  아싸! 4고 | 14억 9천만냥 | 14억 9천만냥 | 18억 4천만냥 | 27억 1천만냥 | 28억 7천만냥
  아싸! 5고 | 15억 6천만냥 | 15억 6천만냥 | 18억 7천만냥 | 27억 5천만냥 | 29억 1천만냥
  아싸! 5광 | 15억 6천만냥 | 15억 6천만냥 | 18억 9천만냥 | 27억 8천만냥 | 29억 4천만냥
  아싸! 6고 | 16억 1천만냥 | 16억 1천만냥 | 19억냥       | 28억냥       | 29억 6천만냥
  금고      |              |              |              |              |
)";

// One notice per ¶-terminated entry, in declaration order; a written \n is a line
// break, and the spaces before ¶ or \n belong to the text.
constexpr char8_t kNotices[] = u8R"(
쿠엘 벤타’PC방 무제한 게임이용¶
도르빅 게임은 매일 통합 %ld판까지 가능하나, \n쿠엘 벤타’PC방에서는 판수 걱정없이 \n무제한 게임을 이용할 수 있습니다.¶
유효 기간 알림¶
도르빅 스텔바 로얄 이용기간 동안¶
도르빅 스텔바 골드 이용기간 동안¶
도르빅 스텔바 클럽 이용기간 동안¶
%s까지 ¶
\n도르빅류(무렉, 타라몬, 도르빅) 게임에서 \n판수 걱정없이 무제한 게임을 이용할 수 있습니다.\n단, %ld판 이후에도 세리카와 파닐로는 계속 할 수 있습니다.¶
[알림]`1110` 오늘의 도르빅 판수, `0010`%ld판`0111` 남았습니다.\n    도르빅류 게임은 매일 통합 `0010`%ld판`0111`까지 가능하며,\n    매일 `0010`자정(24:00)`0111`에 `0010`%ld판`0111`이 주어집니다.\n    단, `0010`%ld판`0111` 이후에도 `0010`세리카`0111`와 `0010`파닐로`0111`는 계속 할 수 있습니다.`0010`¶
)";

std::vector<std::string> NoticeEntries() {
  const std::string_view end = Chars(u8"¶");
  std::string_view rest = Chars(kNotices);
  std::vector<std::string> out;
  for (size_t at; (at = rest.find(end)) != std::string_view::npos; rest.remove_prefix(at + end.size())) {
    std::string entry(rest.substr(0, at));
    if (entry.front() == '\n') entry.erase(0, 1);
    for (size_t n; (n = entry.find("\\n")) != std::string::npos;) entry.replace(n, 2, "\n");
    out.push_back(entry);
  }
  return out;
}

TEST(Transcription, EveryTableMatchesItsTranscriptionAndKnownTextsHaveTheirCp949Bytes) {
  struct Table { std::string name; std::span<const char* const> actual; std::vector<std::string> expected; };
  std::vector<Table> tables = {
      {"RobotPlayerName", {&RobotPlayerName, 1}, Words(u8"무렉로봇")},
      {"MoneyGradeNames", MoneyGradeNames, Words(kMoneyGrades)},
      {"EffectAnimFiles::Combination", EffectAnimFiles::Combination, Words(kComboAnims)},
      {"EffectAnimFiles::Event", EffectAnimFiles::Event, Words(kEventAnims)},
      {"VoiceCharacterNames", VoiceCharacterNames, Words(kVoiceCharacters)},
      {"TableColourNames", TableColourNames, Words(u8"그린 모포 브라운")}, {"SpeedNames", SpeedNames, Words(u8"느림 빠름")},
      {"AllNoticeTexts", AllNoticeTexts, NoticeEntries()},
  };
  const std::vector<std::string> itemRows = Split(Chars(kItems), "\n", false);
  ASSERT_EQ(itemRows.size(), size_t{kItemCount});
  std::vector<std::string> itemNames;
  for (int32_t item = 0; item < kItemCount; ++item) {
    const std::vector<std::string> cells = Split(itemRows[item], "|", true);
    itemNames.push_back(cells.front());
    tables.push_back({"ItemMoneyTable[" + std::to_string(item) + "]", ItemMoneyTable[item],
                      std::vector<std::string>(cells.begin() + 1, cells.end())});
  }
  tables.push_back({"ItemNames", ItemNames, itemNames});
  for (const Table& t : tables) {
    SCOPED_TRACE(t.name);
    ASSERT_EQ(t.actual.size(), t.expected.size());
    for (size_t i = 0; i < t.actual.size(); ++i) {
      ASSERT_NE(t.actual[i], nullptr) << i;
      EXPECT_EQ(Cp949(t.actual[i]), Cp949(plat::Utf8ToCp949(t.expected[i]))) << i;
    }
  }
  // A few texts by their raw bytes, apart from the layer's conversion: a build without
  // the CP949 execution character set fails here.
  EXPECT_EQ(Cp949(RobotPlayerName), Cp949("\xB9\xAB\xB7\xBA\xB7\xCE\xBA\xBF"));  // 무렉로봇
  EXPECT_EQ(Cp949(VoiceCharacterNames[9]), Cp949("\xBC\xBA\xBF\xEC\x32"));       // 성우2
  const std::string_view grade = MoneyGradeNames[0];                              // 점5백냥
  EXPECT_EQ(Cp949(grade.substr(grade.size() - 2)), Cp949("\xB3\xC9"));           // 냥
  const std::string_view title = PcCafeNoticeTitle;
  EXPECT_NE(title.find("\xA1\xAF" "PC"), std::string_view::npos) << Cp949(title).bytes;  // ’PC
}

TEST(Transcription, EveryVoiceIdFindsItsCueAndVariants) {
  const std::vector<std::string> rows = Words(kVoiceCues);
  ASSERT_EQ(rows.size(), size_t{kVoiceCueCount});
  for (size_t r = 0; r < rows.size(); ++r) {
    const size_t colon = rows[r].find(':');
    const VoiceCue& row = FindVoiceCue(kFirstVoiceId + static_cast<int32_t>(r));
    EXPECT_EQ(Cp949(row.cue), Cp949(rows[r].substr(0, colon))) << "row " << r;
    EXPECT_EQ(row.variantCount, std::stoi(rows[r].substr(colon + 1))) << "row " << r;
  }
}


}  // namespace
