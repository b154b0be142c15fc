// The game-window tests' fixture: the game window made by CreateGameWindow in a host
// window, and probe widgets that record what reaches them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/sim_display.h"
#include "scene/CDorvik2VWS.h"
#include "support/HostWindowFixture.h"
#include "widgets/GVWnd.h"
#include "widgets/RecordingWnd.h"

namespace game_window_test {

class GameWindowFixture : public testing_support::HostWindowFixture {
 protected:
  void Open(int32_t fullScreen, int32_t buildResult = 1) {
    // A failing build: the table's cloth is missing.
    if (buildResult != 1) HideImages("Back");
    wnd_ = HostWindowFixture::Open(fullScreen);
    ASSERT_NE(wnd_, nullptr);
    game_ = wnd_->Handle();
    scene_ = wnd_->Scene();
    ASSERT_EQ(scene_->IsReady(), buildResult == 1);
    // The built table's hidden widgets stay dirty through full frames; one partial
    // frame settles them, so the tests see only their own changes.
    scene_->SetFullRedraw();
    scene_->Draw(nullptr, GRect());
    scene_->Draw(nullptr, GRect());
    plat::sim::ClearPostedMessages(hostWnd);
    ReleaseCapture();
  }
  widget_test::RecordingWnd* AddProbe(GRect rect, BOOL takes = 1) {
    auto* w = new widget_test::RecordingWnd(journal_, "probe", rect);
    w->takes = takes;
    scene_->AddWnd(w);
    return w;
  }
  LRESULT Send(UINT msg, WPARAM w, LPARAM l) { return SendMessageA(game_, msg, w, l); }
  CDorvik2Wnd* wnd_ = nullptr;
  HWND game_ = nullptr;
  CDorvik2VWS* scene_ = nullptr;
  widget_test::Journal journal_;
  std::vector<widget_test::Journal::Input>& log_ = journal_.inputs;
};

}  // namespace game_window_test
