// The handlers of the host messages, one per type, grouped by the part of the game
// they serve. Each starts as a note in the scene's record; the work of each group
// fills its bodies and keeps the names the dispatcher's table calls.
#include "scene/CDorvik2VWS.h"

// ---- Room entry, seats and observers -------------------------------------------------------
void CDorvik2VWS::OnRoomEnter(RoomEnterMsg&) { RecordCall("OnRoomEnter"); }
void CDorvik2VWS::OnUserDisconnected(UserConnStateMsg&) { RecordCall("OnUserDisconnected"); }
void CDorvik2VWS::OnPlayerInfo(PlayerInfoMsg&) { RecordCall("OnPlayerInfo"); }
void CDorvik2VWS::OnGameSnapshot(GameDataTableMsg&) { RecordCall("OnGameSnapshot"); }
void CDorvik2VWS::OnJoinGame(JoinGameMsg&) { RecordCall("OnJoinGame"); }
void CDorvik2VWS::OnLeaveGame(LeaveGameMsg&) { RecordCall("OnLeaveGame"); }
void CDorvik2VWS::OnSeatState(SeatStateMsg&) { RecordCall("OnSeatState"); }
void CDorvik2VWS::OnUserAvatar(UserAvatarMsg&) { RecordCall("OnUserAvatar"); }
void CDorvik2VWS::OnUserVoice(UserVoiceMsg&) { RecordCall("OnUserVoice"); }
void CDorvik2VWS::OnRobotSeat(RobotSeatMsg&) { RecordCall("OnRobotSeat"); }
void CDorvik2VWS::OnUserLevel(UserLevelMsg&) { RecordCall("OnUserLevel"); }
void CDorvik2VWS::OnMyUserInfo(RCUser&) { RecordCall("OnMyUserInfo"); }
void CDorvik2VWS::OnTimeoutCount(TimeoutCountMsg&) { RecordCall("OnTimeoutCount"); }

// ---- Game start, deal and the turn ---------------------------------------------------------
void CDorvik2VWS::OnStakeVote(StakeVoteMsg&) { RecordCall("OnStakeVote"); }
void CDorvik2VWS::OnStakeVoteResult(StakeVoteResultMsg&) { RecordCall("OnStakeVoteResult"); }
void CDorvik2VWS::OnBackToWaiting(WaitingStateMsg&) { RecordCall("OnBackToWaiting"); }
void CDorvik2VWS::OnSunSelect(SunSelectMsg&) { RecordCall("OnSunSelect"); }
void CDorvik2VWS::OnSunPick(SunPickMsg&) { RecordCall("OnSunPick"); }
void CDorvik2VWS::OnSunDecided(SunDecidedMsg&) { RecordCall("OnSunDecided"); }
void CDorvik2VWS::OnDeal(DealMsg&) { RecordCall("OnDeal"); }
void CDorvik2VWS::OnFourOfMonth(FourOfMonthMsg&) { RecordCall("OnFourOfMonth"); }
void CDorvik2VWS::OnFloorExchange(FloorExchangeMsg&) { RecordCall("OnFloorExchange"); }
void CDorvik2VWS::OnTurn(TurnMsg&) { RecordCall("OnTurn"); }
void CDorvik2VWS::OnTurnWithCards(TurnCardsMsg&) { RecordCall("OnTurnWithCards"); }
void CDorvik2VWS::OnEventAnimation(EventAnimationMsg&) { RecordCall("OnEventAnimation"); }
void CDorvik2VWS::OnStopCountdown(StopCountdownMsg&) { RecordCall("OnStopCountdown"); }

// ---- Result, settlement and money notices --------------------------------------------------
void CDorvik2VWS::OnGameResult(GameResultMsg&) { RecordCall("OnGameResult"); }
void CDorvik2VWS::OnSafeWithdraw(SafeWithdrawMsg&) { RecordCall("OnSafeWithdraw"); }
void CDorvik2VWS::OnSettlement(SettlementMsg&) { RecordCall("OnSettlement"); }
void CDorvik2VWS::OnMoneyCap(MoneyCapMsg&) { RecordCall("OnMoneyCap"); }
void CDorvik2VWS::OnAntiLeaveCounts(AntiLeaveCountsMsg&) { RecordCall("OnAntiLeaveCounts"); }
void CDorvik2VWS::OnAntiLeaveRefund(AntiLeaveRefundMsg&) { RecordCall("OnAntiLeaveRefund"); }
void CDorvik2VWS::OnPlayCount(PlayCountMsg&) { RecordCall("OnPlayCount"); }
void CDorvik2VWS::OnMoneyNotice(MoneyNoticeMsg&) { RecordCall("OnMoneyNotice"); }

// ---- Exit, refusal and kick reasons; host events -------------------------------------------
void CDorvik2VWS::OnRoomState(RoomStateMsg&) { RecordCall("OnRoomState"); }
void CDorvik2VWS::OnKickReserved(KickReserveMsg&) { RecordCall("OnKickReserved"); }
void CDorvik2VWS::OnEntryLimitRemoved(EntryLimitMsg&) { RecordCall("OnEntryLimitRemoved"); }
void CDorvik2VWS::OnNoticeText(NoticeTextMsg&) { RecordCall("OnNoticeText"); }
void CDorvik2VWS::OnSceneString(SceneStringMsg&) { RecordCall("OnSceneString"); }
void CDorvik2VWS::OnChatMacro(ChatMacroMsg&) { RecordCall("OnChatMacro"); }
void CDorvik2VWS::OnHostEvent70(HostEvent70Msg&) { RecordCall("OnHostEvent70"); }
void CDorvik2VWS::OnHostEvent75(NoFieldsMsg&) { RecordCall("OnHostEvent75"); }
