#include "tables/NoticeTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TranscriptionSupport.h"

using tables_test::Chars;

namespace {

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
    std::string_view entry = rest.substr(0, at);
    if (!entry.empty() && entry.front() == '\n') entry.remove_prefix(1);
    std::string text;
    for (size_t i = 0; i < entry.size(); ++i) {
      if (entry[i] == '\\' && i + 1 < entry.size() && entry[i + 1] == 'n') {
        text += '\n';
        ++i;
      } else {
        text += entry[i];
      }
    }
    out.push_back(text);
  }
  return out;
}

TEST(NoticeTexts, EveryNoticeMatchesTheTranscription) {
  EXPECT_EQ(std::size(AllNoticeTexts), 9u);
  tables_test::ExpectTableMatches("AllNoticeTexts", AllNoticeTexts, NoticeEntries());
}

TEST(NoticeTexts, TheListNamesEachNoticeInOrder) {
  const char* const named[] = {PcCafeNoticeTitle,   PcCafeNoticeText,      MembershipNoticeTitle,
                               MembershipRoyalLine, MembershipGoldLine,    MembershipClubLine,
                               MembershipEndDateLine, MembershipNoticeText, DailyCountNotice};
  for (size_t i = 0; i < std::size(named); ++i) EXPECT_EQ(AllNoticeTexts[i], named[i]) << i;
}

// The conversions of a printf-style text, e.g. {"ld", "s"}; "%%" is no conversion.
std::vector<std::string> Conversions(std::string_view text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); i += plat::Cp949CharLength(text.substr(i))) {
    if (text[i] != '%') continue;
    size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      i = j;
      continue;
    }
    while (j < text.size() && std::string_view("-+ #0123456789.").find(text[j]) != std::string_view::npos) ++j;
    const size_t lengthStart = j;
    if (text.substr(j, 3) == "I64" || text.substr(j, 3) == "I32") j += 3;
    while (j < text.size() && std::string_view("hlLqjzt").find(text[j]) != std::string_view::npos) ++j;
    std::string conversion(text.substr(lengthStart, j + 1 - lengthStart));
    out.push_back(conversion);
    i = j;
  }
  return out;
}

TEST(NoticeTexts, EachNoticeCarriesExactlyTheConversionsItsCallersFill) {
  using V = std::vector<std::string>;
  const V expected[kNoticeTextCount] = {
      {}, {"ld"}, {}, {}, {}, {}, {"s"}, {"ld"}, {"ld", "ld", "ld", "ld"},
  };
  for (int32_t i = 0; i < kNoticeTextCount; ++i) {
    EXPECT_EQ(Conversions(AllNoticeTexts[i]), expected[i]) << plat::Cp949ToUtf8(AllNoticeTexts[i]);
  }
}

TEST(NoticeTexts, ConversionScannerSkipsPercentPairsAndReadsLengths) {
  EXPECT_EQ(Conversions("100%% %5ld %-3s %I64i %%"), (std::vector<std::string>{"ld", "s", "I64i"}));
}

}  // namespace
