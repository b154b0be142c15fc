// The stand-in scene's contract with the window shell: readiness gates the sound,
// game timers run on the game window, and a deleted scene leaves no timer of its own.
#include "scene/CDorvik2VWS.h"

#include <gtest/gtest.h>

#include <vector>

#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"

namespace {

std::vector<UINT_PTR>& Ticks() {
  static std::vector<UINT_PTR> ticks;
  return ticks;
}

LRESULT CALLBACK TimerRecorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) Ticks().push_back(wParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A scene whose owner is bound to a plain window that records its timers.
class SceneTest : public testing::Test {
 protected:
  void SetUp() override {
    CDorvik2VWS::ResetControls();
    Ticks().clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = TimerRecorder;
    wc.lpszClassName = "SceneTimerRecorder";
    RegisterClassA(&wc);
    gameWnd = CreateWindowExA(0, "SceneTimerRecorder", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_TRUE(owner.Attach(gameWnd));
    scene = new CDorvik2VWS(&owner);
    ASSERT_TRUE(scene->Init(GRect(0, 0, 800, 600)));
  }
  void TearDown() override {
    delete scene;
    owner.Detach();
    plat::sim::ResetWindowSystem();
  }
  void Build() {
    ASSERT_EQ(scene->BuildSceneUI(), 1);
    ASSERT_TRUE(scene->IsReady());
  }
  CDorvik2Wnd owner;
  HWND gameWnd = nullptr;
  CDorvik2VWS* scene = nullptr;
};

// Only the scene's own timer ids are acted on; its timers run on the game window, and a
// deleted scene leaves none running.
TEST_F(SceneTest, GameTimersRunOnTheGameWindowAndDieWithTheScene) {
  for (UINT_PTR id = 0; id <= CDorvik2VWS::kLastTimer; ++id) EXPECT_EQ(scene->OnTimer(id), 1) << id;
  EXPECT_EQ(scene->OnTimer(CDorvik2VWS::kLastTimer + 1), 0);
  EXPECT_EQ(scene->OnTimer(1000), 0);
  EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0), 0);
  EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 8), 10) << "a hand card at the slowest speed";
  EXPECT_EQ(scene->TurnPhase(), 8);
  EXPECT_EQ(scene->StartGameTimer(CDorvik2VWS::kLastTimer, 0), 0) << "not the scene's to start";
  plat::sim::Advance(100);
  EXPECT_EQ(Ticks(), (std::vector<UINT_PTR>{0, 0}));
  scene->StopGameTimer(CDorvik2VWS::kTurnTimer);
  EXPECT_EQ(scene->TurnPhase(), 0);
  scene->StartGameTimer(CDorvik2VWS::kBlinkTimer, 0);
  scene->StartGameTimer(CDorvik2VWS::kTurnTimer, 15);
  delete scene;
  scene = nullptr;
  Ticks().clear();
  plat::sim::Advance(20000);
  EXPECT_TRUE(Ticks().empty());
  EXPECT_EQ(CDorvik2VWS::Controls().destroyed.load(), 1);
}

}  // namespace
