// The client's rules run on a view of the scene made for each call: my seat from my
// user number, the seats and lists of the game and floor state, the room's gwang-bak
// switch, and the cards the widgets show.
#include "scene/CDorvik2VWS.h"
#include "game/ClientRules.h"

namespace scene_rules {

RulesView ViewOf(CDorvik2VWS& scene) {
  CGameInfo& game = scene.Model().game;
  return RulesView{
      .seats = game.seats,
      .mySeat = scene.GetSeatOfUser(scene.MyUserNo()),
      .floor = scene.Model().floor.floorCards,
      .deck = game.deck,
      .capturedPerMonth = game.capturedPerMonth,
      .cardOfWidget = [&scene](int32_t widget) { return scene.CardIdOfWidget(widget); },
      .multiplierExponent = game.multiplierExponent,
      .missionMode = game.missionMode,
      .missionCount = game.missionCount,
      .missionMultiplier = game.missionMultiplier,
      .gwangBakOn = scene.GetRoomData().option.gwangBakOn,
  };
}

}  // namespace scene_rules

void CDorvik2VWS::ComputeScoreMultiplier(int32_t seat, int32_t septemberFlag) {
  ::ComputeScoreMultiplier(scene_rules::ViewOf(*this), seat, septemberFlag);
}

int32_t CDorvik2VWS::ChooseTimeoutCard() { return ::ChooseTimeoutCard(scene_rules::ViewOf(*this)); }

int32_t CDorvik2VWS::ChooseAutoPlayCard() { return ::ChooseAutoPlayCard(scene_rules::ViewOf(*this)); }
