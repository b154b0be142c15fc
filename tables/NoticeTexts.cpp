// The notice texts. Spaces before line breaks and at the ends are part of the texts.
#include "tables/NoticeTexts.h"

#include "tables/TableLookup.h"

constexpr const char* PcCafeNoticeTitle = "쿠엘 벤타’PC방 무제한 게임이용";
constexpr const char* PcCafeNoticeText =
    "도르빅 게임은 매일 통합 %ld판까지 가능하나, \n"
    "쿠엘 벤타’PC방에서는 판수 걱정없이 \n"
    "무제한 게임을 이용할 수 있습니다.";

constexpr const char* MembershipNoticeTitle = "유효 기간 알림";
constexpr const char* MembershipRoyalLine = "도르빅 스텔바 로얄 이용기간 동안";
constexpr const char* MembershipGoldLine = "도르빅 스텔바 골드 이용기간 동안";
constexpr const char* MembershipClubLine = "도르빅 스텔바 클럽 이용기간 동안";
constexpr const char* MembershipEndDateLine = "%s까지 ";
constexpr const char* MembershipNoticeText =
    "\n도르빅류(무렉, 타라몬, 도르빅) 게임에서 \n"
    "판수 걱정없이 무제한 게임을 이용할 수 있습니다.\n"
    "단, %ld판 이후에도 세리카와 파닐로는 계속 할 수 있습니다.";

constexpr const char* DailyCountNotice =
    "[알림]`1110` 오늘의 도르빅 판수, `0010`%ld판`0111` 남았습니다.\n"
    "    도르빅류 게임은 매일 통합 `0010`%ld판`0111`까지 가능하며,\n"
    "    매일 `0010`자정(24:00)`0111`에 `0010`%ld판`0111`이 주어집니다.\n"
    "    단, `0010`%ld판`0111` 이후에도 `0010`세리카`0111`와 `0010`파닐로`0111`는 계속 할 수 있습니다.`0010`";

constexpr const char* AllNoticeTexts[kNoticeTextCount] = {
    PcCafeNoticeTitle,   PcCafeNoticeText,   MembershipNoticeTitle, MembershipRoyalLine,  MembershipGoldLine,
    MembershipClubLine, MembershipEndDateLine, MembershipNoticeText, DailyCountNotice,
};

static_assert(tables_detail::AllEntriesSet(AllNoticeTexts));

const char* const PromotionMoveToChannelNotice =
    "[이벤트]`1120` 해당 채널로 이동하시면, 다온행운 응모권을 받을 수 있습니다.`0020`";
const char* const PromotionJoinNotice = "[이벤트]`1120` 다온행운 이벤트 참여하고, 100%당첨 게임머니 받으세요!`0020`";
const char* const PromotionTicketWonNotice = "[이벤트]`1120` 축하합니다! 다온행운 이벤트 응모권을 획득 하셨습니다.`0020`";
