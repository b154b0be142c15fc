// The stand-in scene: the life cycle, readiness and timers the window shell relies
// on, with a build whose result, failure, throw and blocking a test chooses.
#include "scene/CDorvik2VWS.h"

#include <iterator>
#include <stdexcept>

#include "base/GDDSurfaceDesc.h"
#include "host/Dorvik2Messages.h"
#include "plat/ddraw.h"
#include "plat/time.h"
#include "widgets/GDDScreen.h"

namespace {

constexpr UINT kTickMs = 50;
constexpr UINT kBlinkMs = 500;
constexpr UINT kBannerMs = 2000;
constexpr UINT kStartButtonMs = 3500;
constexpr UINT kMillisPerSecond = 1000;
// How long a draw waits when another program holds the display exclusively.
constexpr DWORD kBusyDisplayWaitMs = 10;
// Turn limits in seconds by phase at the slowest speed; the speed and auto-play
// tables come with the full scene.
constexpr int32_t kTurnLimitSeconds[] = {0, 5, 2, 6, 0, 0, 10, 9, 10, 10, 0, 10, 0, 0, 10, 10, 0, 10};
// How often a blocked build looks at the loader's cancel flag (real milliseconds).
constexpr DWORD kBlockPollMs = 2;

HANDLE ManualEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

}  // namespace

CDorvik2VWS::TestControls& CDorvik2VWS::Controls() {
  static TestControls* controls = [] {
    auto* c = new TestControls;
    c->buildStarted = ManualEvent();
    c->buildRelease = ManualEvent();
    c->buildFinished = ManualEvent();
    return c;
  }();
  return *controls;
}

void CDorvik2VWS::ResetControls() {
  TestControls& c = Controls();
  c.initResult = 1;
  c.buildResult = 1;
  c.buildThrows = false;
  c.block = BuildBlock::None;
  ResetEvent(c.buildStarted);
  ResetEvent(c.buildRelease);
  ResetEvent(c.buildFinished);
  c.buildThread = 0;
  c.effectsThread = 0;
  c.builds = 0;
  c.effectsRuns = 0;
  c.effectsResult = -1;
  c.beforeEffectLoad = nullptr;
  c.constructed = 0;
  c.destroyed = 0;
  c.destroyedWhileWindowExisted = 0;
  c.initRect = GRect();
}

CDorvik2VWS::CDorvik2VWS(ISceneOwner* owner) : owner_(owner) { ++Controls().constructed; }

CDorvik2VWS::~CDorvik2VWS() {
  TestControls& c = Controls();
  if (gameWnd_ && IsWindow(gameWnd_)) ++c.destroyedWhileWindowExisted;
  DestroyAll();
  ++c.destroyed;
}

void CDorvik2VWS::DestroyAll() {
  KillGameTimers();
  StopLoopingEffects();
  // Readiness goes before the sound-ready flag: a registration still running on the
  // loader then either sees the scene unready or has its flag cleared below.
  ready_.store(0, std::memory_order_seq_cst);
  soundMgr_.ReleaseAll();
  soundReady_.store(0, std::memory_order_seq_cst);
}

BOOL CDorvik2VWS::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // The screen rectangle first: without it the window system never draws.
  GVWS::SetRect(left, top, right, bottom);
  const GRect rect(left, top, right, bottom);
  gameWnd_ = owner_ ? owner_->Handle() : nullptr;
  soundFolder_ = owner_ ? owner_->GameFolder() + "GameSound\\" : std::string();
  ready_.store(0, std::memory_order_release);
  Controls().initRect = rect;
  return Controls().initResult.load();
}

int32_t CDorvik2VWS::BuildSceneUI() {
  TestControls& c = Controls();
  c.buildThread = GetCurrentThreadId();
  ++c.builds;
  SetEvent(c.buildStarted);
  int32_t result = 0;
  const BuildBlock block = c.block.load();
  bool cancelled = false;
  if (block != BuildBlock::None) {
    while (WaitForSingleObject(c.buildRelease, kBlockPollMs) == WAIT_TIMEOUT) {
      if (block == BuildBlock::UntilReleasedOrCancelled && owner_ && owner_->LoaderCancelRequested()) {
        cancelled = true;
        break;
      }
    }
  }
  if (!cancelled && c.buildThrows.load()) {
    SetEvent(c.buildFinished);
    throw std::out_of_range("scene build");
  }
  if (!cancelled) result = c.buildResult.load();
  if (result) ready_.store(1, std::memory_order_release);
  SetEvent(c.buildFinished);
  return result;
}

GRect CDorvik2VWS::Draw(IDirectDrawSurface4* backBuffer, GRect rect) {
  GDDScreen* screen = owner_ ? owner_->Screen() : nullptr;
  // After a failed rebuild the screen holds no objects; asking them would fault.
  if (!screen || !screen->DirectDraw() || !screen->BackBuffer()) return GRect();
  const HRESULT level = screen->DirectDraw()->TestCooperativeLevel();
  if (level == DDERR_NOEXCLUSIVEMODE || level == DDERR_EXCLUSIVEMODEALREADYSET) {
    Sleep(kBusyDisplayWaitMs);
    return GRect();
  }
  if (level == DDERR_WRONGMODE && !RebuildScreen()) return GRect();
  if (!screen->DirectDraw() || !screen->BackBuffer()) return GRect();
  IDirectDrawSurface4* target = backBuffer ? backBuffer : screen->BackBuffer().Get();
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

int32_t CDorvik2VWS::RedrawIfDirty() {
  if (!dirty_) return 0;
  dirty_ = 0;
  Draw(nullptr, GRect());
  return 1;
}

int32_t CDorvik2VWS::GetDisplayBitDepth() {
  GDDScreen* screen = owner_ ? owner_->Screen() : nullptr;
  displayBitDepth_ = 0;
  if (!screen || !screen->DirectDraw()) return 0;
  GDDSurfaceDesc desc;
  if (FAILED(screen->DirectDraw()->GetDisplayMode(&desc))) return 0;
  displayBitDepth_ = desc.GetBitDepth();
  return displayBitDepth_;
}

int32_t CDorvik2VWS::StartGameTimer(UINT_PTR id, int32_t phase) {
  if (id > kLastKilledTimer || !gameWnd_) return 0;
  if (id == kTurnTimer) {
    StopGameTimer(kTurnTimer);
    const bool known = phase >= 0 && phase < static_cast<int32_t>(std::size(kTurnLimitSeconds));
    const int32_t limit = known ? kTurnLimitSeconds[phase] : 0;
    SetTimer(gameWnd_, id, static_cast<UINT>(limit) * kMillisPerSecond, nullptr);
    turnPhase_ = phase;
    return limit;
  }
  if (timerRunning_[id]) return 0;
  static constexpr UINT kPeriods[] = {kTickMs, 0, kBlinkMs, kBannerMs, kStartButtonMs};
  timerRunning_[id] = 1;
  SetTimer(gameWnd_, id, kPeriods[id], nullptr);
  return 0;
}

void CDorvik2VWS::StopGameTimer(UINT_PTR id) {
  if (id > kLastKilledTimer) return;
  if (gameWnd_) KillTimer(gameWnd_, id);
  timerRunning_[id] = 0;
  if (id == kTurnTimer) turnPhase_ = 0;
}

void CDorvik2VWS::KillGameTimers() {
  for (UINT_PTR id = 0; id <= kLastKilledTimer; ++id) {
    const bool running = id == kTurnTimer ? turnPhase_ != 0 : timerRunning_[id] != 0;
    if (running) StopGameTimer(id);
  }
}

BOOL CDorvik2VWS::OnTimer(UINT_PTR id) {
  if (id > kLastTimer) return 0;
  switch (id) {
    case kTickTimer:
      DispatchNextIfIdle();
      ReapplyVolumeOnTick();
      RedrawIfDirty();
      break;
    case kTurnTimer:
      StopGameTimer(kTurnTimer);
      break;
    case kLastTimer:
      KillTimer(gameWnd_, id);
      break;
    default:
      // One-shots end at their first expiry.
      if (id != kBlinkTimer) StopGameTimer(id);
      break;
  }
  return 1;
}

BOOL CDorvik2VWS::OnLButtonDown(UINT keyFlags, GPoint pt) {
  if (!IsInputEnabled()) return 0;
  if (gameWnd_) SetFocus(gameWnd_);
  const bool inStrip = kDragStrip.PtInRect(pt.x, pt.y);
  if (!inStrip && gameWnd_) SetCapture(gameWnd_);
  if (GVWS::OnLButtonDown(keyFlags, pt)) return 1;
  const bool windowed = !owner_ || !owner_->FullScreen();
  return windowed && inStrip ? 0 : 1;
}

int32_t CDorvik2VWS::OnSetFocus(HWND) { return 0; }
int32_t CDorvik2VWS::OnKillFocus(HWND) { return 0; }
int32_t CDorvik2VWS::OnUserMessage100() { return 0; }
