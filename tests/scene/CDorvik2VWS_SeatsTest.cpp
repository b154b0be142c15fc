// Who sits where: the seat queries over the room record, robots told by their
// connection field or their number, and the button-state event.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

class SeatsTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    host.Clear();
  }
};

TEST_F(SeatsTest, ButtonStateGoesToTheHostAsEvent45) {
  scene->SetButtonState("macro", 1, 1);
  scene->SetButtonState("vip", 0, 0);
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{"NotifyEvent(7, 45, \"macro\", 17)", "NotifyEvent(7, 45, \"vip\", 0)"}));
}

}  // namespace
