// The result's item offer stands once per room entry: my own entry clears the flag the
// result sets, another user's entry leaves it.
#include <gtest/gtest.h>

#include "support/GameTable.h"

namespace {

using ItemOfferEntryTest = testing_support::GameTableTest;

TEST_F(ItemOfferEntryTest, MyEntryAloneAllowsTheOfferAgain) {
  MakeTable();
  for (const bool mine : {false, true}) {
    SCOPED_TRACE(mine);
    scene->Model().itemOfferMade = 1;
    RoomEnterMsg msg = MyEntry(2);
    msg.entryUserNo = mine ? kMe : kOther;
    scene->OnRoomEnter(msg);
    EXPECT_EQ(scene->Model().itemOfferMade, mine ? 0 : 1);
  }
}

}  // namespace
