// The handlers of the host messages, one per type, grouped by the part of the game
// they serve. Each starts as a note in the scene's record; the work of each group
// fills its bodies and keeps the names the dispatcher's table calls.
#include "scene/CDorvik2VWS.h"


// ---- Plays, captures and the players' choices ----------------------------------------------
void CDorvik2VWS::OnBomb(BombMsg&) { RecordCall("OnBomb"); }
void CDorvik2VWS::OnAskPickFloorCard(PickFloorCardMsg&) { RecordCall("OnAskPickFloorCard"); }
void CDorvik2VWS::OnAskShake(AskShakeMsg&) { RecordCall("OnAskShake"); }
void CDorvik2VWS::OnShake(ShakeMsg&) { RecordCall("OnShake"); }
void CDorvik2VWS::OnCardEvent(CardEventMsg&) { RecordCall("OnCardEvent"); }
void CDorvik2VWS::OnLayCards(LayCardsMsg&) { RecordCall("OnLayCards"); }
void CDorvik2VWS::OnPuck(PuckMsg&) { RecordCall("OnPuck"); }
void CDorvik2VWS::OnCapture(CaptureMsg&) { RecordCall("OnCapture"); }
void CDorvik2VWS::OnMissionInfo(MissionInfoMsg&) { RecordCall("OnMissionInfo"); }
void CDorvik2VWS::OnMissionResult(MissionResultMsg&) { RecordCall("OnMissionResult"); }
void CDorvik2VWS::OnAsk9TenMove(Ask9TenMsg&) { RecordCall("OnAsk9TenMove"); }
void CDorvik2VWS::On9TenMoved(NineTenMovedMsg&) { RecordCall("On9TenMoved"); }
void CDorvik2VWS::On9TenKept(NineTenKeptMsg&) { RecordCall("On9TenKept"); }
void CDorvik2VWS::OnScoreUpdate(ScoreUpdateMsg&) { RecordCall("OnScoreUpdate"); }
void CDorvik2VWS::OnAskGoOrStop(AskGoOrStopMsg&) { RecordCall("OnAskGoOrStop"); }
void CDorvik2VWS::OnStopDeclared(StopMsg&) { RecordCall("OnStopDeclared"); }

