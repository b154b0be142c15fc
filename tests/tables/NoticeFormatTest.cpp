// The notices filled the way the play-count panel fills them: through the layer's
// formatter, with 32-bit counts for %ld. The expected texts are written out whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/Cp949Printer.h"
#include "plat/codepage.h"
#include "plat/crt.h"
#include "tables/NoticeTexts.h"

using testing_support::Cp949;

namespace {

std::string Cp949Of(std::u8string_view utf8) {
  return plat::Utf8ToCp949({reinterpret_cast<const char*>(utf8.data()), utf8.size()});
}

constexpr int32_t kDailyAllowance = 300;

TEST(NoticeFormat, DailyCountNoticeShowsTheGamesLeftAndTheAllowance) {
  const int32_t left = 5;
  const std::string text =
      plat::FormatString(DailyCountNotice, left, kDailyAllowance, kDailyAllowance, kDailyAllowance);
  EXPECT_EQ(Cp949(text),
            Cp949(Cp949Of(u8"[알림]`1110` 오늘의 도르빅 판수, `0010`5판`0111` 남았습니다.\n"
                          u8"    도르빅류 게임은 매일 통합 `0010`300판`0111`까지 가능하며,\n"
                          u8"    매일 `0010`자정(24:00)`0111`에 `0010`300판`0111`이 주어집니다.\n"
                          u8"    단, `0010`300판`0111` 이후에도 `0010`세리카`0111`와 `0010`파닐로`0111`는 "
                          u8"계속 할 수 있습니다.`0010`")));
}

TEST(NoticeFormat, PcCafeAndMembershipTextsShowTheAllowance) {
  EXPECT_EQ(Cp949(plat::FormatString(PcCafeNoticeText, kDailyAllowance)),
            Cp949(Cp949Of(u8"도르빅 게임은 매일 통합 300판까지 가능하나, \n"
                          u8"쿠엘 벤타’PC방에서는 판수 걱정없이 \n무제한 게임을 이용할 수 있습니다.")));
  EXPECT_EQ(Cp949(plat::FormatString(MembershipNoticeText, kDailyAllowance)),
            Cp949(Cp949Of(u8"\n도르빅류(무렉, 타라몬, 도르빅) 게임에서 \n판수 걱정없이 무제한 게임을 이용할 수 "
                          u8"있습니다.\n단, 300판 이후에도 세리카와 파닐로는 계속 할 수 있습니다.")));
}

TEST(NoticeFormat, EndDateLineKeepsItsTrailingSpace) {
  const std::string date = Cp949Of(u8"2024년 03월 01일");
  EXPECT_EQ(Cp949(plat::FormatString(MembershipEndDateLine, date.c_str())),
            Cp949(Cp949Of(u8"2024년 03월 01일까지 ")));
}

}  // namespace
