// The game window object: window creation in its fixed order, the message gate and
// shut-down. The interface operations the host calls are in CDorvik2WndClient.cpp.
#include "module/CDorvik2Wnd.h"

#include <new>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "module/CMsgBoxDlg.h"
#include "module/GameFrame.h"
#include "module/GameGone.h"
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

  // The pace first: from here on a destroy elsewhere knows this thread for the window's.
  if (!gone_ || !gone_->MakePace()) return 0;
  if (!MakeWindowClass(instance)) return 0;
  const std::string className = kClassName;
  const GRect place(GPoint(kOffsetInHost, kOffsetInHost), clientSize);
  const DWORD style = fullScreen ? kPopupStyle : kChildStyle;
  if (!Create(className, kTitle, instance, style, WS_EX_NOPARENTNOTIFY, &place, hostWnd, nullptr, nullptr)) {
    return 0;
  }

  {
    XBufLockGuard hold(lifeLock_);
    window_ = Handle();
  }
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
LRESULT CDorvik2Wnd::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const GameFrame frame(*this);
  // Claimed for its end, the game runs nothing more: its window only goes.
  if (!frame.Runs() && message != WM_GAME_END && message != WM_DESTROY && message != WM_NCDESTROY) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return GWnd::Dispatch(hwnd, message, wParam, lParam);
}

BOOL CDorvik2Wnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
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
  {
    // This call is a frame of the game too: the object stays while it runs.
    const GameFrame frame(*this);
    HWND window = nullptr;
    {
      XBufLockGuard hold(lifeLock_);
      if (life_ != Life::kLive) return;
      life_ = Life::kEnding;
      window = window_;
      loaderAskedEnd_ = gone_ && gone_->OnLoaderThread();
    }
    // The loader posts no more from here on, and a build under way gives up.
    RequestLoaderStop();
    if (Settle(false) == Next::kStop) {
      StopAndLeave();
    } else if (window) {
      // Only the window's own thread can destroy it: the end is sent there. A send that
      // failed leaves the end to that thread's next frame (see Settle).
      try {
        SendMessageA(window, WM_GAME_END, 0, 0);
      } catch (...) {
      }
    }
  }
  GameGone::BeforeAnswer(gone);
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
  step([&] { RequestLoaderStop(); });
  // The stop runs on another thread only once the window has gone: what it held went
  // with it.
  const bool windowThread = gone_ && gone_->OnWindowThread();
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
    joinLoader = !(gone_ && gone_->OnLoaderThread()) && !loaderAskedEnd_;
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

bool CDorvik2Wnd::EnterFrame() noexcept {
  XBufLockGuard hold(lifeLock_);
  ++frames_;
  return life_ == Life::kLive;
}

void CDorvik2Wnd::Finish() noexcept {
  switch (Settle(true)) {
    case Next::kStop: StopAndLeave(); break;
    case Next::kDelete: Delete(); break;
    case Next::kNothing: break;
  }
}

void CDorvik2Wnd::StopAndLeave() noexcept {
  Shut();
  Finish();
}

void CDorvik2Wnd::Delete() noexcept {
  // Whoever waits is told only once everything of the object is released.
  const std::shared_ptr<GameGone> gone = gone_;
  delete this;
  if (gone) gone->Set();
}

// The game's life, read here whole. Whether the object may go, and who stops and
// deletes it, is decided here and only here, under lifeLock_, by the state life_ and
// frames_, the count of the game's frames on every thread's stack; the window's thread
// and whether the window still stands (window_, cleared at WM_DESTROY) say who may stop.
//
// Frames: every way into the game holds a GameFrame, which counts the frame, marks the
// thread as inside the module's code (live_clients) and opens the game's picture scope,
// and undoes all three as it ends, however it ends: an exported call (InitGameWnd, and
// DestroyGameWnd's end while it asks), a host call on IClientInterface (HostCall, which
// also catches what its work throws), each message of the game window (Dispatch, around
// GWnd's, whose own scope keeps the dispatch depth on an exception's way out too).
// Besides them: the loader thread, from before it starts (on the thread that starts it)
// to its last act, and the stop sequence itself. Every frame calls Settle(true) as its last touch of the object; an
// end asked, or WM_GAME_END inside a frame, calls Settle(false).
//
// States and who moves them:
// - live: CreateGameWnd made it; InitGameWnd gives it a pace (GameGone), a window, a
//   scene and a loader, on the thread that becomes its window thread.
// - ending: DestroyGameWnd claimed it (live_clients::Claim, then EndByHost) and the
//   loader was told to stop. From here on a host call and a window message reach no
//   scene (GameFrame::Runs): an ended game runs nothing. The stop waits for a thread
//   that may run it: the window's thread, inside any frame (the end asked there,
//   WM_GAME_END sent there, or a frame of it ending), since only that thread may
//   destroy the window; or, once the window has gone (WM_DESTROY), the thread of the
//   last frame, whichever it is.
// - ended: a thread took the stop and runs it inside a frame of its own (Shut): no
//   window, no box, no host link, the loader asked and waited for.
// - gone: the last frame of an ended game has left; that thread deletes the object
//   (Delete) and then sets the gone signal.
//
// Who waits, and for what (GameGone::BeforeAnswer): DestroyGameWnd answers when the host
// may free the library. On the window's thread it answers at once: the game's frames
// there end before the host's own code runs again. On the loader's it answers at once:
// the loader holds the library until the game is gone and the window's thread is out.
// Elsewhere it waits for the gone signal, serving what is sent to it, and then a thread
// of the module holds the library until the window's thread is seen back in a loop of
// its own: a close sent to the pace, a window of that thread that the module owns and
// the system's procedure serves, which the host cannot take away. No destroy waits for
// a thread that holds no frame of the game, so the window's thread may wait for the
// destroying one once its frames have ended; one inside a frame of any game of the
// module does not wait at all, and the holder waits instead. A second DestroyGameWnd of
// the game answers -1 after the same wait, while anyone holds the gone signal.
CDorvik2Wnd::Next CDorvik2Wnd::Settle(bool leaving) noexcept {
  XBufLockGuard hold(lifeLock_);
  if (life_ == Life::kEnding) {
    const bool windowThread = gone_ && gone_->OnWindowThread();
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
