// The scene's tick, drawing and nested wait: widgets mark themselves dirty, the 50 ms
// tick advances the animations and starts at most one queued host message, and the
// draw paints only what changed. A handler that waits for an animation keeps input
// and timers running through WaitPumpingMessages.
#include "base/TextUtil.h"
#include "host/Dorvik2Messages.h"
#include "plat/ddraw.h"
#include "plat/sysinfo.h"
#include "plat/time.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GDDScreen.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_tick {

// How long a draw waits when another program holds the display exclusively.
constexpr DWORD kBusyDisplayWaitMs = 10;
// The messages a nested wait handles: keys up to WM_TIMER, the mouse, and the
// socket notification of the portal's socket classes. Painting and posted messages
// stay queued for the outer loop.
constexpr UINT kLastKeyOrTimerMessage = WM_TIMER;
constexpr UINT kSocketNotify = 0x373;
constexpr DWORD kWakeOnAnyEvent = QS_ALLEVENTS;

// Marks a visible widget whose step reported a change.
template <class W, class Step>
void TickWidget(CDorvik2VWS& scene, W* wnd, Step step) {
  if (wnd && wnd->IsVisible() && (wnd->*step)()) scene.MarkWidgetDirty(wnd);
}

bool TakeWaitMessage(MSG& m) {
  return PeekMessageA(&m, nullptr, WM_KEYFIRST, kLastKeyOrTimerMessage, PM_REMOVE) ||
         PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE) ||
         PeekMessageA(&m, nullptr, kSocketNotify, kSocketNotify, PM_REMOVE);
}

}  // namespace scene_tick

void CDorvik2VWS::MarkWidgetDirty(GVWnd* wnd) {
  if (!wnd) return;
  dirty_ = 1;
  wnd->SetDirty(1);
}

int32_t CDorvik2VWS::RedrawIfDirty() {
  if (!dirty_ || !IsReady() || closing_) return 0;
  dirty_ = 0;
  Draw(nullptr, GRect());
  return 1;
}

void CDorvik2VWS::DrawPending() { RedrawIfDirty(); }

GRect CDorvik2VWS::Draw(IDirectDrawSurface4* backBuffer, GRect rect) {
  // Until the build is done a loader thread may be filling the widget list.
  if (!IsReady() || closing_) return GRect();
  GDDScreen* screen = owner_ ? owner_->Screen() : nullptr;
  // After a failed rebuild the screen holds no objects; asking them would fault.
  if (!screen || !screen->DirectDraw() || !screen->BackBuffer()) return GRect();
  const HRESULT level = screen->DirectDraw()->TestCooperativeLevel();
  if (level == DDERR_NOEXCLUSIVEMODE || level == DDERR_EXCLUSIVEMODEALREADYSET) {
    Sleep(scene_tick::kBusyDisplayWaitMs);
    return GRect();
  }
  if (level == DDERR_WRONGMODE && !RebuildScreen()) return GRect();
  if (!screen->DirectDraw() || !screen->BackBuffer()) return GRect();
  IDirectDrawSurface4* target = backBuffer ? backBuffer : screen->BackBuffer().Get();
  if (SpeedValue() < 0) SetFullRedraw();
  const GRect drawn = GVWS::Draw(target, rect);
  if (drawn.HasArea() && !screen->Present(drawn) && FAILED(screen->GetLastResult())) RebuildScreen();
  return drawn;
}

bool CDorvik2VWS::RebuildScreen() {
  // Inside a rebuild (its repaint, its redraw) the outer rebuild decides.
  if (owner_->IsRestoringScreen()) return false;
  if (owner_->RestoreScreen()) return true;
  owner_->PostToHostWindow(kGameCloseScreenFailed);
  return false;
}

int32_t CDorvik2VWS::AnimationTick() {
  if (!timers_.TakeTick()) return 0;
  for (GVQLAniWnd* ani : built_.animations) scene_tick::TickWidget(*this, ani, &GVQLAniWnd::Update);
  for (int32_t slot = 0; slot < kSeats; ++slot) {
    const auto i = static_cast<size_t>(slot);
    scene_tick::TickWidget(*this, built_.widgets.avatars[i], &GVAvatarWnd::AnimateParts);
    scene_tick::TickWidget(*this, built_.widgets.seatPanels[i], &CVUserInfoWnd::TickAnimation);
    scene_tick::TickWidget(*this, built_.widgets.scorePanels[i], &CVJumsuInfoWnd::TickBlink);
  }
  scene_tick::TickWidget(*this, built_.widgets.robotAvatar, &GVAnimWnd::AdvanceFrame);
  scene_tick::TickWidget(*this, built_.widgets.missionPanel, &CVMissionWnd::Tick);
  scene_tick::TickWidget(*this, built_.widgets.notifyPrompt, &CVNotifyWnd::Tick);
  // The play-count panel's step answers 0: its alert's advance shows as the panel's dirt.
  if (CVGFPlayCountWnd* count = built_.widgets.playCountPanel; count && count->IsVisible()) {
    count->TickAnimation();
    if (count->IsDirty()) MarkWidgetDirty(count);
  }
  scene_tick::TickWidget(*this, built_.widgets.rankingPointPanel, &CVRankingPointWnd::Tick);
  scene_tick::TickWidget(*this, built_.widgets.bijouPanel, &CVDorvik2BijouWnd::Update);
  if (timers_.IsHourStartOnce()) PlayHourAnimation();
  DispatchNextIfIdle();
  ReapplyVolumeOnTick();
  CCheckNotice* ticker = built_.widgets.noticeTicker;
  if (ticker && ticker->IsVisible() && ticker->IsRunning()) MarkWidgetDirty(ticker);
  vipMgr_.Tick();
  return 1;
}

void CDorvik2VWS::WaitPumpingMessages(uint32_t ms) {
  if (closing_) return;
  timers_.WaitWatch().Start();
  DrawPending();
  for (;;) {
    if (AnimationTick()) DrawPending();
    MSG m{};
    const bool took = scene_tick::TakeWaitMessage(m);
    if (took) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    // A teardown inside the message just handled: the handler is to end quickly.
    if (closing_) return;
    const int64_t elapsed = timers_.WaitWatch().ElapsedMs();
    if (elapsed >= ms) break;
    // The wait wakes only for messages that arrived since the last look: while some
    // are still waiting to be taken, the next pass takes them without waiting.
    if (took) continue;
    // Always a blocking wait, whatever the processor count: polling would keep the
    // virtual clock from moving and burn a processor on a real one.
    const auto remaining = static_cast<DWORD>(static_cast<int64_t>(ms) - elapsed);
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, remaining, scene_tick::kWakeOnAnyEvent) == WAIT_TIMEOUT) break;
  }
  DrawPending();
}

// The panels over the table start with the observer panel; the decision prompt, the
// result panel and everything built after them lie above it, so a card that moved
// during the game never covers them.
GVWnd* CDorvik2VWS::CardCeiling() { return built_.widgets.observePanel; }
