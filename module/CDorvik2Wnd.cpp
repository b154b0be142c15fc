// The game window object: window creation in its fixed order, the message gate and
// shut-down. The interface operations the host calls are in CDorvik2WndClient.cpp.
#include "module/CDorvik2Wnd.h"

#include <new>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "module/CMsgBoxDlg.h"
#include "module/GameGone.h"
#include "module/LiveClients.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GDDScreen.h"

CDorvik2Wnd::CDorvik2Wnd(IHostInterface* host) : host_(host) {}
CDorvik2Wnd::CDorvik2Wnd() = default;

CDorvik2Wnd::~CDorvik2Wnd() {
  // Only Delete runs this, once Settle found the game ended and no frame of it on any
  // stack: the window, the boxes and the host link are gone already. The gone signal is
  // set after the members have gone too (Delete).
  delete scene_;
  scene_ = nullptr;
  if (ownsScreen_) ReleaseScreen();
  if (loaderThread_) CloseHandle(loaderThread_);
  loaderThread_ = nullptr;
}

// ---- Creation -----------------------------------------------------------------------
bool CDorvik2Wnd::MakeWindowClass(HINSTANCE instance) {
  std::string className = kClassName;
  return RegisterWndClass(className, instance, kClassStyle, nullptr, nullptr, LoadIconA(nullptr, IDI_APPLICATION)) != 0;
}

int32_t CDorvik2Wnd::CreateGameWindow(HINSTANCE instance, HWND hostWnd, const std::string& gameFolder,
                                      const std::string& portalFolder, const std::string& extraText,
                                      GSize clientSize, int32_t fullScreen, int32_t) {
  // Once made, the window keeps its host, folders and scene: a second creation on the
  // object would re-point the first window's posts.
  if (Handle()) return 0;
  instance_ = instance;
  hostWnd_ = hostWnd;
  gameFolder_ = gameFolder;
  portalFolder_ = portalFolder;
  extraText_ = extraText;
  clientSize_ = clientSize;
  fullScreen_ = fullScreen;

  if (!MakeWindowClass(instance)) return 0;
  const std::string className = kClassName;
  const GRect place(GPoint(kOffsetInHost, kOffsetInHost), clientSize);
  const DWORD style = fullScreen ? kPopupStyle : kChildStyle;
  if (!Create(className, kTitle, instance, style, WS_EX_NOPARENTNOTIFY, &place, hostWnd, nullptr, nullptr)) {
    return 0;
  }

  const DWORD me = GetCurrentThreadId();
  {
    XBufLockGuard hold(lifeLock_);
    windowThread_ = me;
    window_ = Handle();
  }
  // The host's top window rather than its frame: a frame destroyed first takes the
  // game window along, and the pace would have no window left.
  const HWND pace = hostWnd ? GetAncestor(hostWnd, GA_ROOT) : nullptr;
  if (gone_ && pace && GetWindowThreadProcessId(pace, nullptr) == me) gone_->PaceWith(pace);
  ownsScreen_ = 1;
  if (!BuildScreen()) return 0;

  link_.Fill(host_, hostWnd, CHostLink::kGameNumber);

  scene_ = new (std::nothrow) CDorvik2VWS(this);
  if (!scene_) return 0;
  // The widgets the scene makes take the screen's key.
  scene_->SetColorKey(static_cast<int32_t>(screen_->ColorKey()));
  if (!scene_->Init(GRect(GPoint(0, 0), clientSize))) return 0;

  ShowWindow(SW_SHOWNORMAL);
  scene_->Draw(nullptr, GRect());
  SetFocus(Handle());
  return 1;
}

// ---- Messages -----------------------------------------------------------------------
BOOL CDorvik2Wnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // What the message loads or draws is this game's, whichever game handed over last.
  const XResScreenScope screen(handed_);
  // Every message of the window is a frame of the game: the outermost one's ends as it
  // returns (OnOutermostMessageDone). The last message, which no such call follows, is
  // answered whole inside its own frame.
  if (message == WM_NCDESTROY) {
    EnterFrame();
    LRESULT answer = 0;
    if (!GameWndProc(message, wParam, lParam, &answer)) answer = Default();
    if (result) *result = answer;
    LeaveFrame();
    return 1;
  }
  if (DispatchDepth() == 1) EnterFrame();
  if (message == WM_DESTROY) {
    {
      // From here on the window is going: an end asked now takes no window along.
      XBufLockGuard hold(lifeLock_);
      window_ = nullptr;
    }
    // The last frame may end on another thread, where the scene's deletion could not
    // destroy a pop-up of this thread's: they go with the window, here.
    if (scene_) scene_->ClosePopups();
  }
  // Whatever the scene's state: a game still building may be ended. Only by the one
  // that asked for it: a WM_GAME_END no destroy stands behind ends nothing.
  if (message == WM_GAME_END) {
    if (Settle(false) == Next::kStop) StopAndLeave();
    if (result) *result = kEndRan;
    return 1;
  }
  return GameWndProc(message, wParam, lParam, result);
}

LRESULT CDorvik2Wnd::OnEraseBkgnd(HDC) { return 0; }

void CDorvik2Wnd::PostToHostWindow(LPARAM reason) {
  const WPARAM played = scene_ ? static_cast<WPARAM>(scene_->GamesPlayed()) : 0;
  PostToHost(WM_GAME_CLOSE, played, reason);
}

void CDorvik2Wnd::PostToHost(UINT message, WPARAM wParam, LPARAM lParam) {
  // Through the game's link, which is cut when the host is let go: a post to a null
  // window would go to the calling thread's queue as a thread message, which the host
  // would read as its own.
  link_.Post(message, wParam, lParam);
}

int32_t CDorvik2Wnd::ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                                COLORREF headingColour) {
  return ::ShowMsgBox(instance_, Handle(), gameFolder_, body, type, autoCloseMs, heading, headingColour);
}

// ---- The end ------------------------------------------------------------------------
HWND CDorvik2Wnd::InitFromHost(HINSTANCE instance, HWND hostWnd, const std::string& gameFolder,
                               const std::string& portalFolder, const std::string& extraText, int32_t unused10,
                               int32_t loadInThread) {
  // A second InitGameWnd would make a second screen and scene over the first (its window
  // may be gone with the host's frame, so Handle() cannot tell): refused, nothing made.
  {
    XBufLockGuard hold(lifeLock_);
    if (initialised_ || life_ != Life::kLive) return nullptr;
    initialised_ = true;
    windowThread_ = GetCurrentThreadId();
  }
  if (!CreateGameWindow(instance, hostWnd, gameFolder, portalFolder, extraText, GSize(kClientWidth, kClientHeight),
                        0, unused10) ||
      !StartLoader(loadInThread)) {
    return nullptr;
  }
  // The synchronous build calls the host (its load-failed event), which may end the
  // game there; an end asked on another thread meanwhile waits for this frame. Either
  // way the host gets no window.
  XBufLockGuard hold(lifeLock_);
  return life_ == Life::kLive ? Handle() : nullptr;
}

void CDorvik2Wnd::EndByHost() {
  // Read before the end is asked: the object may be gone once this call's frame ends.
  const std::shared_ptr<GameGone> gone = gone_;
  // A thread inside a frame of any game of the module cannot wait for this one: this
  // game's frames may sit on a thread that waits for that other game.
  const bool inside = live_clients::ThreadInside();
  const DWORD me = GetCurrentThreadId();
  HWND window = nullptr;
  bool onLoader = false;
  bool onWindowThread = false;
  {
    XBufLockGuard hold(lifeLock_);
    if (life_ != Life::kLive) return;
    life_ = Life::kEnding;
    // This call is a frame of the game too: the object stays while it runs.
    ++frames_;
    window = window_;
    onLoader = loaderThreadId_ != 0 && me == loaderThreadId_;
    loaderAskedEnd_ = onLoader;
    onWindowThread = windowThread_ != 0 && me == windowThread_;
  }
  // The loader posts no more from here on, and a build under way gives up.
  RequestLoaderStop();
  if (Settle(false) == Next::kStop) {
    StopAndLeave();
  } else if (window) {
    // Only the window's own thread can destroy it: the end is sent there.
    SendMessageA(window, WM_GAME_END, 0, 0);
  }
  Finish();
  // On the window's thread the end ran here, and the object goes with this thread's
  // last frame of it; the loader holds the library at its own end instead.
  if (!gone || onWindowThread || onLoader) return;
  if (inside) {
    // Nothing of the module can be unloaded while this thread is inside it; what waits
    // for this game's last frames is a thread that holds the library until they end.
    if (!GameGone::HoldLibraryUntilLeft(gone)) gone->WaitLeft();
    return;
  }
  gone->WaitLeft();
}

void CDorvik2Wnd::Shut() noexcept {
  // Each step on its own: one that throws (an allocation) must not keep the next from
  // running, or the game would stay half-ended and never be deleted.
  const auto step = [](auto&& run) noexcept {
    try {
      run();
    } catch (...) {
    }
  };
  const DWORD me = GetCurrentThreadId();
  step([&] { RequestLoaderStop(); });
  // The stop runs on another thread only once the window has gone: what it held went
  // with it.
  const bool windowThread = me == windowThread_;
  step([&] {
    if (windowThread && Handle()) CMsgBoxDlg::EndBoxesOwnedBy(Handle());
  });
  step([&] {
    if (windowThread && Handle() && IsWindow(Handle())) DestroyWindow();
  });
  step([&] { LetGoOfHost(); });
  // Whatever LetGoOfHost managed, the game has no host from here on.
  step([&] { link_.Cut(); });
  host_ = nullptr;
  hostWnd_ = nullptr;
  // Asked and waited for a while; one that would not end keeps its frame, and the
  // object with it. Not the loader that asked: it waits for this stop in its send.
  bool joinLoader = false;
  {
    XBufLockGuard hold(lifeLock_);
    joinLoader = me != loaderThreadId_ && !loaderAskedEnd_;
  }
  step([&] {
    if (joinLoader) StopLoader();
  });
  step([&] {
    if (scene_) scene_->BeginClosing();
  });
}

void CDorvik2Wnd::LetGoOfHost() {
  if (!hostWnd_ && !host_) return;
  // What the game posted before its stop is taken back, so that nothing of it reaches
  // the host afterwards; another game's posts and the host's own stay. The loader's
  // posts are stopped already (RequestLoaderStop holds the lock they are made under).
  // Only the calling thread's queue can be read: a host window of another thread keeps
  // what is queued there.
  link_.TakeBackPosts(kGamePostsToHost);
  // No host call and no post from here on, whatever of the game still runs (the rest
  // of a handler, a loader let go, which reads the link under its lock).
  link_.Cut();
  host_ = nullptr;
  hostWnd_ = nullptr;
}

// The scene's handler has returned, but the scene and the call or message that ran the
// handler are still on the stack: the outermost of them settles the object as it
// returns, so nothing of the module runs after the host's own code has control again.
void CDorvik2Wnd::OnClosedSceneIdle() {}

void CDorvik2Wnd::OnOutermostMessageDone() { LeaveFrame(); }

bool CDorvik2Wnd::EnterFrame() {
  live_clients::ThreadEntered();
  XBufLockGuard hold(lifeLock_);
  ++frames_;
  return life_ == Life::kLive || life_ == Life::kEnding;
}

void CDorvik2Wnd::LeaveFrame() {
  live_clients::ThreadLeft();
  Finish();
}

void CDorvik2Wnd::Finish() {
  switch (Settle(true)) {
    case Next::kStop: StopAndLeave(); break;
    case Next::kDelete: Delete(); break;
    case Next::kNothing: break;
  }
}

void CDorvik2Wnd::StopAndLeave() {
  Shut();
  Finish();
}

void CDorvik2Wnd::Delete() {
  // Whoever waits is told only once everything of the object is released.
  const std::shared_ptr<GameGone> gone = gone_;
  delete this;
  if (gone) gone->Set();
}

// The game's life, decided here and only here, under lifeLock_, by the one state value
// life_ and frames_, the count of the game's frames on every thread's stack.
//
// Frames: an exported call on the game (InitGameWnd; DestroyGameWnd while it asks), a
// host call on IClientInterface (ClientCall), a message of the game window (the
// outermost, whose frame holds the nested ones; WM_NCDESTROY on its own), the loader
// thread from before it starts to its last act, and the stop sequence itself. Every
// frame calls Settle(true) as its last touch of the object; an end asked, or
// WM_GAME_END inside a frame, calls Settle(false).
//
// States and who moves them:
// - live: CreateGameWnd made it; InitGameWnd gives it a window, a scene and a loader.
// - ending: DestroyGameWnd claimed it (EndByHost) and the loader was told to stop. The
//   stop sequence waits for a thread that may run it: the window's thread, inside any
//   frame (the end asked there, WM_GAME_END sent or posted there, or a frame of it
//   ending), since only that thread may destroy the window; or, once the window has
//   gone (WM_DESTROY), the thread of the last frame, whichever it is.
// - ended: a thread took the stop and runs it inside a frame of its own (Shut): no
//   window, no box, no host link, the loader asked and waited for. A host call from
//   here on does nothing.
// - gone: the last frame of an ended game has left; that thread deletes the object
//   (Delete) and then sets the gone signal.
//
// Who waits for the gone signal: DestroyGameWnd on a thread that is neither the window's
// nor the loader's, before it answers, since the host may free the library as soon as
// it has; such a thread that is inside a frame of another game of the module leaves
// that wait to a thread that holds the library instead, as does a loader that ends
// while its game is ending.
CDorvik2Wnd::Next CDorvik2Wnd::Settle(bool leaving) {
  XBufLockGuard hold(lifeLock_);
  if (life_ == Life::kEnding) {
    const bool windowThread = windowThread_ != 0 && GetCurrentThreadId() == windowThread_;
    if (windowThread || (!window_ && frames_ == 1)) {
      life_ = Life::kEnded;
      // The stop runs in a frame: the leaving one goes on as it, else one of its own.
      if (!leaving) ++frames_;
      return Next::kStop;
    }
  }
  if (leaving) --frames_;
  if (life_ == Life::kEnded && frames_ == 0) {
    life_ = Life::kGone;
    return Next::kDelete;
  }
  return Next::kNothing;
}
