#include "panels/TablePanels.h"

int32_t CVNotifyWnd::Tick() {
  Note("CVNotifyWnd::Tick");
  return 0;
}
void CVNotifyWnd::Close() { Note("CVNotifyWnd::Close"); }

int32_t CVMissionWnd::Tick() {
  Note("CVMissionWnd::Tick");
  return 0;
}
void CVMissionWnd::Reset() { Note("CVMissionWnd::Reset"); }

int32_t CVGFPlayCountWnd::Tick() {
  Note("CVGFPlayCountWnd::Tick");
  return 0;
}
void CVGFPlayCountWnd::Reset() { Note("CVGFPlayCountWnd::Reset"); }

int32_t CVRankingPointWnd::Tick() {
  Note("CVRankingPointWnd::Tick");
  return 0;
}
void CVRankingPointWnd::Close() { Note("CVRankingPointWnd::Close"); }

int32_t CVDorvik2BijouWnd::Tick() {
  Note("CVDorvik2BijouWnd::Tick");
  return 0;
}

void CVResultWnd::Reset() { Note("CVResultWnd::Reset"); }
void CVGoBakAlertUIWnd::HideAll() { Note("CVGoBakAlertUIWnd::HideAll"); }
void CVRestrictOptionWnd::Close() { Note("CVRestrictOptionWnd::Close"); }
