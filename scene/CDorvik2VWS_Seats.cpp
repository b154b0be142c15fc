// Who sits where, read from the room record, and the scene operations the host
// calls about users and buttons. Operations whose widgets do not exist yet keep a
// record of the call instead.
#include <algorithm>

#include "host/CHostLink.h"
#include "base/TextUtil.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVTextWnd.h"

namespace {

constexpr int32_t kReportUserEvent = 27;

}  // namespace

int32_t CDorvik2VWS::GetUserNoById(const std::string& userId) const {
  for (int32_t seat = 0; seat < PITable::kSeatCount; ++seat) {
    const PlayerInfo& p = model_.room.seats.Player(seat);
    if (p.userNo != RCUser::kNoUser && p.userId == userId) return p.userNo;
  }
  return RCUser::kNoUser;
}

int32_t CDorvik2VWS::GetSeatById(const std::string& userId) const {
  for (int32_t seat = 0; seat < PITable::kSeatCount; ++seat) {
    const PlayerInfo& p = model_.room.seats.Player(seat);
    if (p.userNo != RCUser::kNoUser && p.userId == userId) return seat;
  }
  return PITable::kNoSeat;
}

int32_t CDorvik2VWS::HasPositiveRobotField(int32_t seat) const {
  if (seat < 0 || seat >= PITable::kSeatCount) return 0;
  return model_.room.seats.Player(seat).connState > 0 ? 1 : 0;
}

int32_t CDorvik2VWS::GetSeatOfUser(int32_t userNo) const { return model_.room.seats.SeatOfUser(userNo); }

int32_t CDorvik2VWS::IsRobotSeat(int32_t seat) const {
  if (seat < 0 || seat >= PITable::kSeatCount) return 0;
  const PlayerInfo& p = model_.room.seats.Player(seat);
  return p.connState < 0 || p.userNo < RCUser::kNoUser ? 1 : 0;
}

int32_t CDorvik2VWS::IsSeated(int32_t userNo) const {
  const int32_t who = userNo == RCUser::kNoUser ? model_.myUser.userNo : userNo;
  return model_.room.seats.HasUser(who) ? 1 : 0;
}

int32_t CDorvik2VWS::HasRobotPlayer() const {
  for (int32_t seat = 0; seat < PITable::kSeatCount; ++seat) {
    if (model_.room.seats.Player(seat).connState < 0) return 1;
  }
  return 0;
}

int32_t CDorvik2VWS::HasSeatWithoutUser() const {
  for (int32_t seat = 0; seat < PITable::kSeatCount; ++seat) {
    if (model_.room.seats.Player(seat).userNo < 0) return 1;
  }
  return 0;
}

PlayerInfo& CDorvik2VWS::GetPlayerByUserNo(int32_t userNo) {
  const int32_t seat = GetSeatOfUser(userNo);
  return model_.room.seats.Player(seat == PITable::kNoSeat ? 0 : seat);
}

int32_t CDorvik2VWS::IsUnmatchedPlay(int32_t card) const {
  const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
  if (!IsSeated(RCUser::kNoUser) || seat == PITable::kNoSeat || IsBonusCard(card)) return 0;
  const CardList& hand = model_.game.seats.at(static_cast<size_t>(seat)).hand;
  if (FindWidgetOfCard(hand, card) < 0) return 0;
  auto onFloor = [this](CardMonth month) { return CountCardsOfMonth(model_.floor.floorCards, month) > 0; };
  if (onFloor(CardInfoOf(card).month)) return 0;
  const bool couldTake = std::any_of(hand.begin(), hand.end(), [&](int32_t w) {
    const FlowerCard h = CardIdOfWidget(w);
    return IsBonusCard(h) || onFloor(CardInfoOf(h).month);
  });
  return couldTake ? 1 : 0;
}

// ---- What the host calls ----------------------------------------------------------------



void CDorvik2VWS::ReportUserNumbers(int32_t userNo) {
  const int32_t seat = GetSeatOfUser(userNo);
  if (seat == PITable::kNoSeat) return;
  const PlayerInfo& p = model_.room.seats.Player(seat);
  std::string text = FormatString("%ld", p.userNo);
  int32_t value = p.gradeIndex;
  HostLink().NotifyEvent(static_cast<uint32_t>(userNo), kReportUserEvent, text.data(), &value);
}

