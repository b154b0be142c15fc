// The host's calls while a threaded build is still filling the widget list: each
// changes the scene's state and touches no widget, so the loader thread and the window
// thread never meet on one.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "host/CHostLink.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "support/TimeLimit.h"
#include "widgets/GVWnd.h"

namespace {

using testing_support::GameTableTest;
using testing_support::OpenWatch;

// What the window thread could change of a widget.
using Look = std::tuple<GVWnd*, BOOL, BOOL, BOOL, GRect>;

std::vector<Look> Snapshot(CDorvik2VWS* scene) {
  std::vector<Look> out;
  for (GVWnd* w : scene->GetWndList()) out.emplace_back(w, w->IsVisible(), w->IsEnabled(), w->IsDirty(), w->GetRect());
  return out;
}

class BuildRaceTest : public GameTableTest {
 protected:
  static constexpr int kHangSeconds = 10;
};

TEST_F(BuildRaceTest, HostCallsDuringAThreadedBuildChangeStateAndNoWidget) {
  // Held at the cards: the cloth, the bars and the seats are made by then.
  OpenWatch gate({.holdAt = "Hwatoo\\normal.bmp", .until = [this] { return wnd->LoaderCancelRequested(); }});
  MakeTable(1);
  ASSERT_TRUE(gate.WaitHeld(kThreadWaitMs));
  ASSERT_FALSE(scene->IsReady());
  const std::vector<Look> before = Snapshot(scene);
  ASSERT_GT(before.size(), 20u);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);

  // A call that reached for a widget would wait on the loader's picture lock, held at
  // the gate: a hang here is that fault.
  const bool finished = testing_support::FinishesWithin(
      [this] {
        client->ResetRoomView(0);
        client->RefreshScreen(0);
        client->SetPlayerAvatar(u"me", u"a.gif|b.gif");
        client->SetPlayerDisplayName(u"me", u"name");
        client->SetStatusText(u"status");
        for (int32_t code : {24, 26, 27, 28}) {
          int32_t value = 1;
          client->OnHostEvent(kMe, &code, const_cast<char16_t*>(u"TYPE=1#TIME=3#MSG=m"), &value);
        }
      },
      kHangSeconds);
  ASSERT_TRUE(finished) << "a host call waited on a widget the loader is making";
  EXPECT_EQ(scene->GetSceneMode(), CDorvik2VWS::kModeNone) << "the room's state was reset";
  // The host's own buttons are reset without the table.
  std::vector<std::string> words;
  for (const std::string& line : Lines(testing_support::HostSlot::NotifyEvent)) {
    for (const char* word : {"\"play\", 0)", "\"observe\", 0)", "\"exit\", 0)", "\"cancelexit\", 0)"}) {
      if (line.find(std::string(", 45, ") + word) != std::string::npos) words.push_back(word);
    }
  }
  EXPECT_EQ(words, (std::vector<std::string>{"\"play\", 0)", "\"observe\", 0)", "\"exit\", 0)",
                                             "\"cancelexit\", 0)"}));
  EXPECT_EQ(scene->StatusText(), "status");
  EXPECT_EQ(Snapshot(scene), before) << "no widget was touched";

  gate.Release();
  WaitForLoader(wnd);
  Pump();
  EXPECT_TRUE(scene->IsReady());
  EXPECT_EQ(client->SetStatusText(u"later"), 0);
  EXPECT_TRUE(scene->Widgets().statusText->IsDirty()) << "once ready the status line takes it";
}

}  // namespace
