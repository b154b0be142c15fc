// What the host's own window sees of a game over its life: a drag off the table and a
// click leave the mouse free and the keys with the game, and the host window hears none
// of the game's children or input (no parent notices, no mouse), only the game's posts.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SceneInputFixture.h"

namespace {

using scene_input_test::Inject;
using testing_support::GameTableTest;

// Every message the host window heard, counted by message; the game's posts among them.
std::map<UINT, int32_t> g_heard;
WNDPROC g_hostProc = nullptr;

LRESULT CALLBACK CountingHostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++g_heard[msg];
  return CallWindowProcA(g_hostProc, hwnd, msg, wParam, lParam);
}

class HostWindowTrafficTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    g_heard.clear();
    g_hostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hostWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingHostProc)));
  }
  void TearDown() override {
    SetWindowLongPtrA(hostWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
    GameTableTest::TearDown();
  }
};

std::string Listed(const std::map<UINT, int32_t>& heard) {
  std::string out;
  for (const auto& [msg, count] : heard) out += std::to_string(msg) + " x" + std::to_string(count) + "; ";
  return out;
}

TEST_F(HostWindowTrafficTest, ADragOffTheTableAndAClickLeaveTheMouseFreeAndTheHostWindowUntold) {
  MakeSeatedTable();
  const HWND game = wnd->Handle();
  // The keys elsewhere: the press itself must hand them to the game window.
  SetFocus(hostWnd);
  // Pressed on the cloth, dragged out of the window past its left and bottom edges and
  // released there: the whole drag is the game window's, and the mouse is free after it.
  Inject::MouseDown(game, 400, 300);
  EXPECT_EQ(GetCapture(), game);
  Inject::MouseMove(game, 400, 640);
  Inject::MouseMove(game, -30, 650);
  Inject::MouseUp(game, -30, 650);
  EXPECT_EQ(GetCapture(), nullptr) << "the drag's release left the mouse captured";
  EXPECT_EQ(GetFocus(), game);
  Inject::Click(game, 400, 300);
  EXPECT_EQ(GetCapture(), nullptr) << "the click's release left the mouse captured";
  EXPECT_EQ(GetFocus(), game);
  ASSERT_EQ(Destroy(client), 0);
  Pump();
  // The game reached its host window only through what it posts there; a child that
  // told its parent of its birth, end or a press, or a mouse message that strayed to
  // the host, shows here.
  std::map<UINT, int32_t> foreign = g_heard;
  for (UINT own : CDorvik2Wnd::kGamePostsToHost) foreign.erase(own);
  // The system's own: its painting, the keys the test gave it and it lost to the game,
  // and the cursor the game window's default procedure asks its parent about first.
  for (UINT system : {WM_PAINT, WM_ERASEBKGND, WM_SETFOCUS, WM_KILLFOCUS, WM_SETCURSOR}) foreign.erase(system);
  EXPECT_TRUE(foreign.empty()) << Listed(foreign);
}

}  // namespace
