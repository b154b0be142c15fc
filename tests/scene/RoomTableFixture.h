// A built table for the room's handlers: the closes posted to the host, the boxes
// shown (from the trace, texts as CP949 bytes) and the game commands sent.
#pragma once

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "support/GameTable.h"

namespace room_test {

class RoomTableTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    Forget();
  }
  void TearDown() override {
    ExpectEveryButtonStateNamed();
    GameTableTest::TearDown();
  }
  // Starts every record of what happened afresh.
  void Forget() {
    ExpectEveryButtonStateNamed();
    trace.Clear();
    host.Clear();
    closesSeen_ = PostedToHost(WM_GAME_CLOSE).size();
  }
  // The close codes posted since the last Forget; each with the games played as wParam.
  std::vector<LPARAM> Closes(WPARAM* played = nullptr) const {
    std::vector<LPARAM> codes;
    const auto posted = PostedToHost(WM_GAME_CLOSE);
    for (size_t i = closesSeen_; i < posted.size(); ++i) {
      codes.push_back(posted[i].lParam);
      if (played) *played = posted[i].wParam;
    }
    return codes;
  }
  // "ShowMsgBox(type, ms, text)" lines of the trace.
  std::vector<std::string> Boxes() const { return CallsStartingWith("ShowMsgBox("); }
  std::vector<std::string> CallsStartingWith(const std::string& head) const {
    std::vector<std::string> out;
    for (const std::string& c : trace.calls)
      if (c.rfind(head, 0) == 0) out.push_back(c);
    return out;
  }
  static std::string Box(int32_t type, uint32_t ms, const std::string& text) {
    return "ShowMsgBox(" + std::to_string(type) + ", " + std::to_string(ms) + ", " + text + ")";
  }
  // The observer panel's reads of the two paid services, whenever it is shown.
  static constexpr const char* kFirstServiceQuery = "NotifyEvent(7, 43, (null), 69632)";
  static constexpr const char* kSecondServiceQuery = "NotifyEvent(7, 43, (null), 73728)";
  // The room's handlers set only the top bar's own words.
  void ExpectEveryButtonStateNamed() const { EXPECT_EQ(host.WordlessButtonStates(), std::vector<std::string>{}); }
  bool Played(int32_t effect) const {
    for (int32_t e : trace.effects)
      if (e == effect) return true;
    return false;
  }

 private:
  size_t closesSeen_ = 0;
};

}  // namespace room_test
