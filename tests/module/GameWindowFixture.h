// Shared fixture of the game-window tests: a host window, the game window made by
// CreateGameWindow (windowed or full screen) with its scene built or not, and probe
// widgets that record what reaches them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/CDorvik2Wnd.h"
#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/sim_display.h"
#include "scene/CDorvik2VWS.h"
#include "support/RecordingHost.h"
#include "base/DDSurfaceUtil.h"
#include "widgets/GVWnd.h"
#include "widgets/RecordingWnd.h"

namespace game_window_test {

constexpr const char* kHostClass = "GameProcHostFrame";

class GameWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    CDorvik2VWS::ResetControls();
    plat::sim::ResetDisplay(plat::sim::DisplayFormat::Rgb565);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    hostWnd_ = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 40, 30, 820, 620, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(hostWnd_, nullptr);
  }
  void TearDown() override {
    delete wnd_;
    wnd_ = nullptr;
    log_.clear();
    ReleaseCapture();
    plat::sim::ClearFaults();
    plat::sim::ResetWindowSystem();
    plat::sim::ResetDisplay();
  }
  // The game window, windowed or full screen, with the scene built (or not).
  void Open(int32_t fullScreen, int32_t buildResult = 1) {
    CDorvik2VWS::Controls().buildResult = buildResult;
    wnd_ = new CDorvik2Wnd(&host_);
    ASSERT_EQ(wnd_->CreateGameWindow(nullptr, hostWnd_, "D:\\game\\", "D:\\portal\\", "", GSize(800, 600),
                                     fullScreen, 0),
              1);
    wnd_->StartLoader(0);
    game_ = wnd_->Handle();
    scene_ = wnd_->Scene();
    ASSERT_EQ(scene_->IsReady(), buildResult == 1);
    plat::sim::ClearPostedMessages(hostWnd_);
    ReleaseCapture();
  }
  widget_test::RecordingWnd* AddProbe(GRect rect, BOOL takes = 1) {
    auto* w = new widget_test::RecordingWnd(journal_, "probe", rect);
    w->takes = takes;
    scene_->AddWnd(w);
    return w;
  }
  LRESULT Send(UINT msg, WPARAM w, LPARAM l) { return SendMessageA(game_, msg, w, l); }
  std::vector<MSG> PostedToHost(UINT message) const {
    std::vector<MSG> out;
    for (const MSG& m : plat::sim::PostedMessages(hostWnd_))
      if (m.message == message) out.push_back(m);
    return out;
  }
  // A frame drawn into a real surface, which clears the initial full redraw.
  void DrawOnce() {
    DDObject dd;
    ASSERT_EQ(CreateDirectDraw4(dd), S_OK);
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSurface back;
    ASSERT_EQ(CreateOffscreenSurface(dd, back, GSize(800, 600)), S_OK);
    scene_->Draw(back.Get(), GRect());
  }

  testing_support::RecordingHost host_;
  HWND hostWnd_ = nullptr;
  CDorvik2Wnd* wnd_ = nullptr;
  HWND game_ = nullptr;
  CDorvik2VWS* scene_ = nullptr;
  widget_test::Journal journal_;
  // What reached the probes, in order.
  std::vector<widget_test::Journal::Input>& log_ = journal_.inputs;
};

}  // namespace game_window_test
