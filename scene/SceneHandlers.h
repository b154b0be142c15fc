// The scene's handler of each host message type, and the record each one takes (the
// record of the type's row in DORVIK_HOST_MESSAGES). Types 55, 58 and 60 have none;
// type 62 goes to the VIP manager.
#pragma once

#include <cstdint>

#include "host/HostMessage.h"

template <uint32_t Code>
struct HostRecordOf;
#define DORVIK_HOST_RECORD_OF(code, name, record) \
  template <>                                     \
  struct HostRecordOf<code> {                     \
    using type = record;                          \
  };
DORVIK_HOST_MESSAGES(DORVIK_HOST_RECORD_OF)
#undef DORVIK_HOST_RECORD_OF
template <uint32_t Code>
using HostRecordOf_t = typename HostRecordOf<Code>::type;

#define DORVIK_SCENE_HANDLERS(X)                                                                       \
  X(1, OnRoomEnter) X(2, OnUserDisconnected) X(3, OnPlayerInfo) X(4, OnGameSnapshot) X(5, OnJoinGame)   \
  X(6, OnLeaveGame) X(7, OnRoomState) X(8, OnKickReserved) X(9, OnSeatState) X(10, OnEntryLimitRemoved) \
  X(11, OnUserAvatar) X(12, OnUserVoice) X(13, OnNoticeText) X(14, OnSceneString) X(15, OnStakeVote)    \
  X(16, OnStakeVoteResult) X(17, OnBackToWaiting) X(18, OnRobotSeat) X(19, OnSunSelect)                 \
  X(20, OnSunPick) X(21, OnSunDecided) X(22, OnDeal) X(23, OnFourOfMonth) X(24, OnFloorExchange)        \
  X(25, OnTurn) X(26, OnTurnWithCards) X(27, OnBomb) X(28, OnAskPickFloorCard) X(29, OnAskShake)        \
  X(30, OnShake) X(31, OnCardEvent) X(32, OnLayCards) X(33, OnPuck) X(34, OnCapture)                    \
  X(35, OnMissionInfo) X(36, OnMissionResult) X(37, OnAsk9TenMove) X(38, On9TenMoved)                   \
  X(39, On9TenKept) X(40, OnScoreUpdate) X(41, OnAskGoOrStop) X(42, OnStopDeclared)                     \
  X(43, OnGameResult) X(44, OnSafeWithdraw) X(45, OnSettlement) X(46, OnMoneyCap)                       \
  X(47, OnAntiLeaveCounts) X(48, OnAntiLeaveRefund) X(49, OnPlayCount) X(50, OnMoneyNotice)             \
  X(51, OnUserLevel) X(52, OnEventAnimation) X(53, OnStopCountdown) X(54, OnMyUserInfo)                 \
  X(56, OnChatMacro) X(57, OnRoomTitleBanned) X(59, OnTimeoutCount) X(61, OnHostEvent70)                \
  X(63, OnHostEvent75)
