// The scene's input fixture: a table with this client in seat 0 and the opponent in
// seat 1, input injected through the window layer and run before the test reads on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"

namespace scene_input_test {

using testing_support::GameTableTest;

// The layer queues injected input; the window thread runs it before the test reads on.
struct Inject {
  static void PressKey(int vk) { Run([&] { plat::sim::PressKey(vk); }); }
  static void MouseMove(HWND h, int x, int y) { Run([&] { plat::sim::MouseMove(h, x, y); }); }
  static void MouseDown(HWND h, int x, int y) { Run([&] { plat::sim::MouseDown(h, x, y); }); }
  static void MouseUp(HWND h, int x, int y) { Run([&] { plat::sim::MouseUp(h, x, y); }); }
  static void Click(HWND h, int x, int y) { Run([&] { plat::sim::Click(h, x, y); }); }
  template <class F>
  static void Run(F inject) {
    GameTableTest::RunInjected(inject);
  }
};
using testing_support::HostSlot;

constexpr int32_t kHandSize = 10;
// Hand position i holds widget i showing card 4 * i: ten months, no two alike.
constexpr int32_t kCardStep = 4;

class SceneInputTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeSeatedTable();
    SetFocus(wnd->Handle());
  }
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    GameTableTest::TearDown();
  }
  // The middle of a button's lowest row.
  static GPoint ButtonPoint(GVWnd* w) {
    const GRect r = w->GetRect();
    return GPoint((r.left + r.right) / 2, r.bottom - 1);
  }
  void Click(GVWnd* w) {
    const GPoint p = ButtonPoint(w);
    Inject::Click(wnd->Handle(), p.x, p.y);
  }
  // My turn to play a card with ten cards laid out in my hand and the hand enabled.
  void DealMyHand(int32_t count = kHandSize) {
    StartPhase(8);
    scene->Model().turnUserNo = kMe;
    auto& hand = scene->Seat(0).hand;
    hand.clear();
    const int32_t side = scene->SideOfSeat(0);
    for (int32_t i = 0; i < count; ++i) {
      CVHTWnd* card = scene->CardWndById(i);
      card->SetCard(kCardStep * i);
      card->SetPos(CCardTable::HandSlotPoint(side, i));
      card->Show(1);
      hand.push_back(i);
    }
    scene->Model().handPick = 1;
  }
  static std::string PlayBytes(int32_t position) {
    return Words({12, 0, kCardStep * (position - 1), 0});
  }
  CVPSPPushBtn* ExitButton() {
    // Its alternative stands on the same spot.
    scene->Widgets().cancelExitButton->Show(0);
    CVPSPPushBtn* exitButton = scene->Widgets().exitButton;
    exitButton->Show(1);
    exitButton->Enable(1);
    return exitButton;
  }
  void AntiLeaveGame() {
    scene->SetSceneMode(CDorvik2VWS::kModePlaying);
    scene->GetRoomData().roomState = 9;
    scene->GetRoomData().antiLeaveLevel = 2;
    scene->Model().antiLeave = 1;
  }
};

}  // namespace scene_input_test
