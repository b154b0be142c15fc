// The tick, the draw and the nested wait on the virtual clock: the 50 ms throttle
// across the wrap, the on-the-hour animation, forced full redraws, a lost display mode,
// no drawing before the scene is ready, and a wait that keeps input and timers running.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "support/GameTable.h"
#include "support/ScopedTimeZone.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVWnd.h"

namespace {

using testing_support::GameTableTest;

// A widget that notes the virtual time of each draw.
class StampWnd : public GVWnd {
 public:
  explicit StampWnd(std::vector<DWORD>& draws) : draws_(draws) { SetRect(GRect(0, 0, 10, 10)); }
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override {
    draws_.push_back(GetTickCount());
    return GVWnd::Draw(target, clip);
  }

 private:
  std::vector<DWORD>& draws_;
};

class DrawTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    stamp = new StampWnd(draws);
    scene->AddWnd(stamp);
    scene->RedrawIfDirty();
    draws.clear();
  }
  std::vector<DWORD> draws;
  StampWnd* stamp = nullptr;
};

TEST_F(DrawTest, NegativeSpeedRepaintsEverythingAndALostModeThatCannotBeRebuiltClosesOnce) {
  scene->Options().speed = -1;
  for (int32_t i = 0; i < 2; ++i) EXPECT_EQ(scene->Draw(nullptr, GRect()), GRect(0, 0, 800, 600)) << i;
  scene->Options().speed = 1;
  plat::sim::ClearPostedMessages(hostWnd);
  plat::sim::ChangeDisplayMode(1024, 768, plat::sim::DisplayFormat::Rgb565);
  plat::sim::SetDirectDrawAvailable(false);
  // The rebuild keeps its DirectDraw object: the primary it cannot make fails it.
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(scene->Draw(nullptr, GRect()), GRect());
  const auto closes = PostedToHost(WM_GAME_CLOSE);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].wParam, 0u);
  EXPECT_EQ(closes[0].lParam, 1);
  plat::sim::SetDirectDrawAvailable(true);
}

TEST_F(DrawTest, WaitOfZeroDrawsPendingChangesOnce) {
  scene->MarkWidgetDirty(stamp);
  scene->WaitPumpingMessages(0);
  EXPECT_EQ(draws.size(), 1u);
  EXPECT_FALSE(scene->IsDirty());
}

// A 1000 ms wait with the tick and a 500 ms timer running: the timer's change is drawn
// inside the wait, the wait ends at exactly +1000, and paint and posted messages stay
// queued for the outer loop, whatever the processor count.
TEST_F(DrawTest, WaitRunsTimersAndDrawsAndLeavesOtherMessagesQueued) {
  static StampWnd* timed = nullptr;
  static CDorvik2VWS* timedScene = nullptr;
  timed = stamp;
  timedScene = scene;
  for (const uint32_t processors : {1u, 4u}) {
    SCOPED_TRACE(processors);
    plat::sim::SetProcessorCount(processors);
    // From a whole millisecond, so that the counter and the millisecond clock agree. The
    // step pumps the queue, so it comes before anything is queued for the wait to leave.
    plat::sim::AdvanceClockMicros(1000 - plat::sim::NowMicros() % 1000);
    scene->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR, DWORD) {
      timedScene->MarkWidgetDirty(timed);
    });
    PostMessageA(wnd->Handle(), WM_USER, 0, 0);
    InvalidateRect(wnd->Handle(), nullptr, FALSE);
    draws.clear();
    const DWORD start = GetTickCount();
    const uint64_t startMicros = plat::sim::NowMicros();
    scene->WaitPumpingMessages(1000);
    EXPECT_EQ(plat::sim::NowMicros() - startMicros, 1000000u);
    ASSERT_FALSE(draws.empty());
    EXPECT_GE(draws[0] - start, 500u);
    EXPECT_LT(draws[0] - start, 1000u) << "drawn inside the wait";
    MSG m{};
    EXPECT_TRUE(PeekMessageA(&m, wnd->Handle(), WM_USER, WM_USER, PM_REMOVE));
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(wnd->Handle(), &pending, FALSE));
    KillTimer(nullptr, timer);
    scene->StopGameTimer(CDorvik2VWS::kTickTimer);
    ValidateRect(wnd->Handle(), nullptr);
  }
  plat::sim::SetProcessorCount(1);
}

// Before the build is done nothing is drawn (the loader may be filling the list) and
// the dirty flag stays for the first draw after it.
TEST_F(DrawTest, NothingIsDrawnDuringAThreadedBuild) {
  TearDown();
  SetUp();
  // The first table's pictures would be shared, and the second build would open nothing.
  EXPECT_EQ(Destroy(client), 0);
  IClientInterface* second = Make();
  CDorvik2Wnd* secondWnd = Wnd(second);
  testing_support::OpenWatch gate({.holdAt = "Back\\skin_0.bmp",
                                   .until = [secondWnd] { return secondWnd->LoaderCancelRequested(); }});
  ASSERT_NE(Init(second, 1), nullptr);
  ASSERT_TRUE(gate.WaitHeld(kThreadWaitMs));
  CDorvik2VWS* building = Wnd(second)->Scene();
  EXPECT_EQ(second->RefreshScreen(0), 0);
  EXPECT_TRUE(building->IsDirty());
  EXPECT_EQ(building->Draw(nullptr, GRect()), GRect());
  gate.Release();
  WaitForLoader(Wnd(second));
  EXPECT_EQ(building->RedrawIfDirty(), 1);
}

// The clock set-ups below stay for the rest of the process: these run last.
TEST_F(DrawTest, TicksRunEvery50MsAcrossTheWrap) {
  plat::sim::SetTickBase(0xFFFFFFD0u);
  scene->AnimationTick();
  plat::sim::Advance(30);
  EXPECT_EQ(scene->AnimationTick(), 0);
  plat::sim::Advance(20);
  EXPECT_EQ(scene->AnimationTick(), 1) << "the tick count wrapped to 2";
  plat::sim::Advance(49);
  EXPECT_EQ(scene->AnimationTick(), 0);
  plat::sim::Advance(1);
  EXPECT_EQ(scene->AnimationTick(), 1);
}

TEST_F(DrawTest, OnTheHourAnimationPlaysOncePerHour) {
  testing_support::ScopedTimeZone zone("UTC");
  auto startAt = [](WORD hour, WORD minute, WORD second, WORD ms) {
    SYSTEMTIME t{2026, 12, 1, 7, hour, minute, second, ms};
    ASSERT_TRUE(plat::sim::SetLocalTimeStart(t));
  };
  GVQLAniWnd* anim = scene->Widgets().hourAnimation;
  ASSERT_NE(anim, nullptr);
  ASSERT_GT(anim->GetFrameCount(), 1);
  anim->Stop();
  // The plays begun on the screen: the animation coming up, or starting over.
  size_t plays = 0;
  auto tickFor = [&](int32_t ticks) {
    for (int32_t i = 0; i < ticks; ++i) {
      const bool was = anim->IsVisible() && anim->IsPlaying();
      const int32_t frame = anim->GetFrame();
      plat::sim::Advance(50);
      scene->AnimationTick();
      if (anim->IsVisible() && anim->IsPlaying() && (!was || anim->GetFrame() < frame)) ++plays;
    }
  };
  startAt(13, 59, 59, 950);
  tickFor(1);
  EXPECT_EQ(plays, 1u) << "at 14:00:00";
  EXPECT_EQ(anim->GetFrame(), 0);
  tickFor(25);
  EXPECT_EQ(plays, 1u) << "not again in that second";
  anim->Stop();
  startAt(14, 59, 59, 900);
  tickFor(1);
  EXPECT_EQ(plays, 1u) << "not before the hour";
  tickFor(1);
  EXPECT_EQ(plays, 2u) << "at 15:00:00";
}

}  // namespace
