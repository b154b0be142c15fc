// Notices of the play-count panel about the daily limit, the PC-cafe service and the
// membership. Back-quoted digit groups are style tags of the host's marked-up chat.
//
// The %ld fields take int32_t values and must be filled only through the layer's
// formatter (plat::FormatString), which reads %ld as 32 bits. Handed to the C
// library's printf family on 64-bit Linux, a 32-bit argument for %ld is undefined.
#pragma once

#include <cstdint>

constexpr int32_t kNoticeTextCount = 9;

// Message box title and text for a player in a partner PC cafe; one %ld: the daily
// allowance.
extern const char* const PcCafeNoticeTitle;
extern const char* const PcCafeNoticeText;

// Message box for a member: title, then one first line (a tier line, or the end-date
// line with one %s: the end date), then the text with one %ld: the daily allowance.
extern const char* const MembershipNoticeTitle;
extern const char* const MembershipRoyalLine;
extern const char* const MembershipGoldLine;
extern const char* const MembershipClubLine;
extern const char* const MembershipEndDateLine;
extern const char* const MembershipNoticeText;

// Chat notice near the end of the allowance; four %ld: games left, then the
// allowance three times.
extern const char* const DailyCountNotice;

// Every notice above, in declaration order.
extern const char* const AllNoticeTexts[kNoticeTextCount];

// The lottery event's chat notices: on room entry while the event does not run here
// and while it does, and when a game has won a ticket.
extern const char* const PromotionMoveToChannelNotice;
extern const char* const PromotionJoinNotice;
extern const char* const PromotionTicketWonNotice;
