#include "panels/CVRankingPointWnd.h"

int32_t CVRankingPointWnd::Tick() {
  Note("CVRankingPointWnd::Tick");
  return 0;
}

void CVRankingPointWnd::Close() { Note("CVRankingPointWnd::Close"); }
