// The game model on its own: a table state set up in a plain CGameModel, with no scene
// and no widget, read back through the client's rules.
#include "game/CGameModel.h"

#include <gtest/gtest.h>

#include <utility>

#include "game/ClientRules.h"

namespace game_model_test {

TEST(CGameModelTest, ATableStateSetUpInTheModelIsWhatTheRulesRead) {
  CGameModel model;
  EXPECT_EQ(model.sceneMode, CGameModel::kModeNone);
  model.myUser.userNo = 7;
  model.room.seats.Player(1).userNo = 7;
  CHTUser& me = model.game.seats[1];
  me.hand = {3, 21, 40};  // months 0, 5 and 10; widget w shows card w
  model.floor.floorCards = {22};
  const RulesView view{
      .seats = model.game.seats,
      .mySeat = model.room.seats.SeatOfUser(model.myUser.userNo),
      .floor = model.floor.floorCards,
      .deck = model.game.deck,
      .capturedPerMonth = model.game.capturedPerMonth,
      .cardOfWidget = [](int32_t widget) { return widget; },
  };
  EXPECT_EQ(ChooseTimeoutCard(view), 21) << "the hand card whose month is on the floor";
  me.points = 3;
  me.shakeCount = 1;
  model.game.seats[0].captured[kKindPi] = {5};
  ComputeScoreMultiplier(view, 1, 0);
  EXPECT_EQ(std::make_pair(me.multiplier, me.score), std::make_pair(2, 6)) << "written into the model's seat";
}

}  // namespace game_model_test
