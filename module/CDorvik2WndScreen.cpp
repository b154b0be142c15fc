// The game window's screen: built windowed at creation, handed to the resource
// manager and the effect manager, rebuilt after a mode change or a failed present,
// and presented on every paint.
#include <new>

#include "graphics/KK_FXMan.h"
#include "graphics/XResEntryMgr.h"
#include "module/CDorvik2Wnd.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GDDScreen.h"

namespace {

// The colour depth the screen is first built with; a windowed screen takes the
// desktop's anyway.
constexpr int32_t kInitialDepth = 16;

// The effect manager's code for the screen's pixels, 0 for pixels it cannot work on.
// The code follows the masks, not the depth: a 5-5-5 desktop reports 16 bits.
int32_t EffectCodeFor(const GDDScreen& screen) {
  switch (screen.PixelFormat()) {
    case GDDScreen::kFormat555: return 17;
    case GDDScreen::kFormat565: return 16;
    // Packed 24-bit pixels read as the 32-bit format too; their rows are 3 bytes wide.
    case GDDScreen::kFormat32: return screen.ColorDepth() == 32 ? 32 : 0;
    default: return 0;
  }
}

// The games whose screens the resource manager may hold, the last handed over first,
// each linked to the one before it. Read and changed under the manager's lock.
constinit CDorvik2Wnd* g_lastHandedOver = nullptr;

}  // namespace

void CDorvik2Wnd::UnlinkHandOver() {
  for (CDorvik2Wnd** at = &g_lastHandedOver; *at; at = &(*at)->handedBefore_) {
    if (*at != this) continue;
    *at = handedBefore_;
    break;
  }
  handedBefore_ = nullptr;
}

int32_t CDorvik2Wnd::BuildScreen() {
  screen_ = new (std::nothrow) GDDScreen;
  if (!screen_) return 0;
  if (!screen_->CreateScreen(Handle(), Handle(), clientSize_.cx, clientSize_.cy, 0, kInitialDepth)) return 0;
  return HandOverScreen(false);
}

void CDorvik2Wnd::ReleaseScreen() {
  if (!screen_) return;
  WithdrawScreen();
  delete screen_;
  screen_ = nullptr;
}

void CDorvik2Wnd::WithdrawScreen() {
  // The manager is process-wide and outlives the window: entries keep their own
  // references, but the manager must not hand out objects whose screen is gone. A
  // failed rebuild has already emptied the screen, so the match is against what was
  // handed over, not against what the screen holds now; what another window handed
  // over since stays.
  // Another game alive gets the manager back with its own screen, which it still uses.
  XResEntryMgr& mgr = XResEntryMgr::Global();
  {
    XResEntryLock hold(mgr);
    UnlinkHandOver();
    const CDorvik2Wnd* other = g_lastHandedOver;
    if (handed_.backBuffer && mgr.DefaultBackBuffer() == handed_.backBuffer.Get())
      mgr.SetBackBuffer(other ? other->handed_.backBuffer.Get() : nullptr);
    if (handed_.directDraw && mgr.DefaultDirectDraw() == handed_.directDraw.Get()) {
      mgr.SetDirectDraw(other ? other->handed_.directDraw.Get() : nullptr);
      if (other) mgr.SetColorKey(other->handed_.colorKey);
    }
    // Under the lock: a scope of this game on another thread reads it there.
    handed_.backBuffer = nullptr;
    handed_.directDraw = nullptr;
  }
}

int32_t CDorvik2Wnd::HandOverScreen(bool restore) {
  // A screen whose rebuild failed has nothing to hand over.
  if (!screen_->DirectDraw() || !screen_->BackBuffer()) return 0;
  XResEntryMgr& mgr = XResEntryMgr::Global();
  {
    // One lock across the setters, the scene's key among them: a load on the loader
    // thread sees the old screen or the new one, never a mix.
    XResEntryLock hold(mgr);
    if (scene_) scene_->SetColorKey(static_cast<int32_t>(screen_->ColorKey()));
    mgr.SetDirectDraw(screen_->DirectDraw().Get());
    mgr.SetBackBuffer(screen_->BackBuffer().Get());
    mgr.SetColorKey(screen_->ColorKey());
    handed_.directDraw = screen_->DirectDraw();
    handed_.backBuffer = screen_->BackBuffer();
    handed_.colorKey = screen_->ColorKey();
    UnlinkHandOver();
    handedBefore_ = g_lastHandedOver;
    g_lastHandedOver = this;
  }
  if (restore && !mgr.RestoreSurfaces()) return 0;
  const int32_t code = EffectCodeFor(*screen_);
  return code != 0 && CreateFXManager(code) ? 1 : 0;
}

int32_t CDorvik2Wnd::RestoreScreen() {
  if (!screen_ || restoring_) return 0;
  restoring_ = 1;
  struct Done {
    int32_t& flag;
    ~Done() { flag = 0; }
  } done{restoring_};

  const int32_t depth = screen_->ColorDepth() > 0 ? screen_->ColorDepth() : kInitialDepth;
  // The old screen goes with the rebuild's first step, whatever the outcome.
  WithdrawScreen();
  const BOOL created = fullScreen_
                           ? screen_->CreateScreen(hostWnd_, Handle(), clientSize_.cx, clientSize_.cy, 1, depth)
                           : screen_->CreateScreen(Handle(), Handle(), clientSize_.cx, clientSize_.cy, 0, depth);
  // A screen that could not be made cannot be handed to anyone.
  if (!created) return 0;
  if (!HandOverScreen(true)) return 0;

  PostToHost(WM_GAME_SCREEN_READY, 0, 0);
  ::InvalidateRect(Handle(), nullptr, TRUE);
  ::UpdateWindow(Handle());
  if (scene_) {
    scene_->GetDisplayBitDepth();
    scene_->SetFullRedraw();
    scene_->MarkDirty();
    scene_->RedrawIfDirty();
  }
  if (scene_) scene_->FollowHelperPopup(Handle(), fullScreen_);
  return 1;
}

void CDorvik2Wnd::AttachClipper() {
  if (screen_) screen_->AttachClipper(Handle());
}

void CDorvik2Wnd::OnScreenReady(int32_t check) {
  if (!screen_) return;
  if (!HandOverScreen(check != 0) && check) {
    PostToHostWindow(kGameCloseScreenFailed);
    return;
  }
  if (!scene_) return;
  scene_->GetDisplayBitDepth();
  scene_->SetFullRedraw();
  scene_->MarkDirty();
}

LRESULT CDorvik2Wnd::OnPaint(WPARAM) {
  PAINTSTRUCT ps{};
  BeginPaint(Handle(), &ps);
  EndPaint(Handle(), &ps);
  if (!screen_) return 0;
  if (screen_->Present(GRect(0, 0, clientSize_.cx, clientSize_.cy))) return 0;
  // A paint inside a rebuild leaves the outcome to that rebuild.
  if (restoring_) return 0;
  if (!RestoreScreen()) PostToHostWindow(kGameCloseScreenFailed);
  return 0;
}
