// The scene as the card table's host: sounds, the nested wait, the redraw, the widget
// list and the seats' sides; and the scene's card steps that also touch its own
// widgets or hand the card table's view to the client's rules.
#include "game/ClientRules.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_cards {

constexpr GPoint kTurnMarkerAt[CDorvik2VWS::kSeats] = {{320, 361}, {320, 104}};

}  // namespace scene_cards

void CDorvik2VWS::PlayCardEffect(int32_t effect) { PlayEffect(effect, 0); }

void CDorvik2VWS::PlayCardVoice(int32_t cue, int32_t seat) { PlayVoice(cue, seat); }

void CDorvik2VWS::WaitWhileCardsMove(uint32_t ms) { WaitPumpingMessages(ms); }

void CDorvik2VWS::MarkCardsDirty() { MarkDirty(); }

void CDorvik2VWS::RedrawCards() { RedrawIfDirty(); }

GVWS& CDorvik2VWS::CardWndList() { return *this; }

GVWnd* CDorvik2VWS::RemainingCardsBoard() { return CardWidgets().cardBoard; }

int32_t CDorvik2VWS::SideOfSeat(int32_t seat) {
  if (seat < 0 || seat >= kSeats) return -1;
  return model_.room.seats.Player(seat).screenPos;
}

bool CDorvik2VWS::IsMyHumanSeat(int32_t seat) {
  return seat >= 0 && seat < kSeats && GetSeatOfUser(model_.myUser.userNo) == seat && !IsRobotSeat(seat);
}

void CDorvik2VWS::NoteMissionCard(int32_t seat, FlowerCard card, int32_t exclusive) {
  CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr;
  if (!panel || !panel->IsActive() || model_.game.missionMode != CGameInfo::kMissionSet) return;
  const int32_t side = SideOfSeat(seat);
  // The panel looks the card up among its own, and tells when the capture breaks the
  // mission (or, taken from the other seat, mends it).
  if (side >= 0 && side < kSeats) panel->MarkCardTaken(seat, card, exclusive);
}

void CDorvik2VWS::ShowMissionCardMarks(int32_t show) {
  CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr;
  cardTable_.ShowMissionMarks(show && panel, [panel](FlowerCard card) { return panel->IsMissionCard(card) != 0; });
}

void CDorvik2VWS::RefreshMissionMarks() {
  if (CVMissionWnd* panel = WidgetsLive() ? built_.widgets.missionPanel : nullptr) panel->RefreshMarks();
}

void CDorvik2VWS::SetCardSize(GVWnd* card, int32_t size) { cardTable_.SetCardSize(card, size); }

int32_t CDorvik2VWS::ShowNineTenClip(int32_t seat, int32_t show) { return cardTable_.ShowNineTenClip(seat, show); }

void CDorvik2VWS::RelayoutSeats() {
  if (model_.sceneMode != kModePlaying) return;
  const int32_t turnSeat = GetSeatOfUser(model_.turnUserNo);
  const int32_t slot = turnSeat == PITable::kNoSeat ? -1 : model_.room.seats.Player(turnSeat).screenPos;
  if (built_.widgets.turnMarker && slot >= 0 && slot < kSeats) {
    built_.widgets.turnMarker->SetPos(scene_cards::kTurnMarkerAt[slot]);
  }
  cardTable_.PlaceSeats();
  RefreshSeatPanels(kSeats);
}

void CDorvik2VWS::ComputeScoreMultiplier(int32_t seat, int32_t septemberFlag) {
  ::ComputeScoreMultiplier(cardTable_.ViewForRules(), seat, septemberFlag);
}

int32_t CDorvik2VWS::ChooseTimeoutCard() { return ::ChooseTimeoutCard(cardTable_.ViewForRules()); }

int32_t CDorvik2VWS::ChooseAutoPlayCard() { return ::ChooseAutoPlayCard(cardTable_.ViewForRules()); }
