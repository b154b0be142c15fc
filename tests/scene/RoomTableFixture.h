// A built table for the room's handlers: the closes posted to the host, the boxes
// shown (texts as CP949 bytes) and the game commands sent.
#pragma once

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/crt.h"
#include "support/BoxWatch.h"
#include "support/GameTable.h"

namespace room_test {

class RoomTableTest : public testing_support::GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    boxes.AnswerWith(0);
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
    boxes.Forget();
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
  // The boxes shown since the last Forget, as Box describes them.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : boxes.boxes) out.push_back(Box(b.yesNo ? kYesNo : kOk, b.upMs, b.Text()));
    return out;
  }
  // A box of `type` (kOk or kYesNo) with `text` drawn, up for `ms` (0 when a key
  // answered it at once).
  static std::string Box(int32_t type, uint32_t ms, const std::string& text) {
    return plat::FormatString("%s box up %u ms: ", type == kYesNo ? "yes-no" : "ok", ms) + text;
  }
  static constexpr int32_t kOk = 0;
  static constexpr int32_t kYesNo = 1;
  // The observer panel's reads of the two paid services, whenever it is shown.
  static constexpr const char* kFirstServiceQuery = "NotifyEvent(7, 43, (null), 69632)";
  static constexpr const char* kSecondServiceQuery = "NotifyEvent(7, 43, (null), 73728)";
  // The room's handlers set only the top bar's own words.
  void ExpectEveryButtonStateNamed() const { EXPECT_EQ(host.WordlessButtonStates(), std::vector<std::string>{}); }
  // Answers every box with `key` from now on (0: each closes itself).
  void Answer(int key) { boxes.AnswerWith(key); }
  bool Played(int32_t effect) const {
    for (int32_t e : trace.effects)
      if (e == effect) return true;
    return false;
  }

  testing_support::BoxWatch boxes;

 private:
  size_t closesSeen_ = 0;
};

}  // namespace room_test
