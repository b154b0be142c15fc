// The game window object: window creation in its fixed order, the message gate and
// shut-down. The interface operations the host calls are in CDorvik2WndClient.cpp.
#include "module/CDorvik2Wnd.h"

#include <new>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "module/CMsgBoxDlg.h"
#include "module/LiveClients.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GDDScreen.h"

CDorvik2Wnd::CDorvik2Wnd(IHostInterface* host) : host_(host) {}
CDorvik2Wnd::CDorvik2Wnd() = default;

CDorvik2Wnd::~CDorvik2Wnd() {
  // Only Settle deletes, after the end ran and the loader let go: the window, the boxes
  // and the host link are gone already and no thread runs here any more.
  delete scene_;
  scene_ = nullptr;
  if (ownsScreen_) ReleaseScreen();
  if (loaderThread_) CloseHandle(loaderThread_);
  loaderThread_ = nullptr;
  if (gone_) gone_->Set();
}

// ---- Creation -----------------------------------------------------------------------
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

  std::string className = kClassName;
  if (!RegisterWndClass(className, instance, kClassStyle, nullptr, nullptr, LoadIconA(nullptr, IDI_APPLICATION))) {
    return 0;
  }
  const GRect place(GPoint(kOffsetInHost, kOffsetInHost), clientSize);
  const DWORD style = fullScreen ? kPopupStyle : kChildStyle;
  if (!Create(className, kTitle, instance, style, WS_EX_NOPARENTNOTIFY, &place, hostWnd, nullptr, nullptr)) {
    return 0;
  }

  windowThread_ = GetCurrentThreadId();
  if (gone_ && hostWnd && GetWindowThreadProcessId(hostWnd, nullptr) == windowThread_) gone_->PaceWith(hostWnd);
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
  // Whatever the scene's state: a game still building may be ended. Only by the one
  // that claimed it: EndHere ends nothing while no end was asked for.
  if (message == WM_GAME_END) {
    EndHere();
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
  if (initialised_ || ended_) return nullptr;
  initialised_ = true;
  HWND made = nullptr;
  {
    // The synchronous build calls the host (its load-failed event), which may end the
    // game there: the object then goes as this scope closes, and the host gets no window.
    const ClientCall call(this);
    if (CreateGameWindow(instance, hostWnd, gameFolder, portalFolder, extraText,
                         GSize(kClientWidth, kClientHeight), 0, unused10) &&
        StartLoader(loadInThread) && !ended_) {
      made = Handle();
    }
  }
  return made;
}

void CDorvik2Wnd::EndByHost() {
  const bool byLoader = OnLoaderThread();
  endAsked_.store(byLoader ? kEndAskedByLoader : kEndAskedByHost, std::memory_order_release);
  // Only the window's own thread can destroy it, and its frames may be on that thread's
  // stack. Asked on another, the end is sent there; the object goes as those frames
  // return, and this waits for that, so that no code of the game runs once the host has
  // the answer. The loader cannot wait here (the object waits for it): it waits at its
  // own end, holding the library, so a host that frees it at once unmaps nothing.
  if (windowThread_ && GetCurrentThreadId() != windowThread_ && Handle() && IsWindow(Handle())) {
    const std::shared_ptr<GameGone> gone = gone_;
    // The object may be gone when the send returns: only the answer is read.
    const LRESULT answer = SendMessageA(Handle(), WM_GAME_END, 0, 0);
    // The window went before the end reached it (the host's frame took it with it): the
    // end runs here, where its frames cannot be.
    if (answer != kEndRan) EndHere();
    if (!byLoader) gone->WaitLeft();
    return;
  }
  EndHere();
}

void CDorvik2Wnd::EndHere() {
  const int32_t asked = endAsked_.load(std::memory_order_acquire);
  if (asked == kEndNotAsked || ended_.exchange(true, std::memory_order_acq_rel)) return;
  Shut();
  // The loader that asked cannot be waited for: it waits for this. Otherwise it is
  // asked and waited for a while; one that would not end keeps its hold (see Settle).
  if (asked != kEndAskedByLoader) StopLoader();
  if (scene_) scene_->BeginClosing();
  endRan_ = true;
  Settle(Hold::kWindowThread);
}

void CDorvik2Wnd::Shut() noexcept {
  ended_.store(true, std::memory_order_release);
  // Each step on its own: one that throws (an allocation) must not keep the next from
  // running, or the game would stay half-ended and never be deleted.
  const auto step = [](auto&& run) noexcept {
    try {
      run();
    } catch (...) {
    }
  };
  step([&] { RequestLoaderStop(); });
  step([&] {
    if (Handle()) CMsgBoxDlg::EndBoxesOwnedBy(Handle());
  });
  step([&] {
    if (Handle() && IsWindow(Handle())) DestroyWindow();
  });
  step([&] { LetGoOfHost(); });
  // Whatever LetGoOfHost managed, the game has no host from here on.
  step([&] { link_.Cut(); });
  host_ = nullptr;
  hostWnd_ = nullptr;
}

void CDorvik2Wnd::LetGoOfHost() {
  if (!hostWnd_ && !host_) return;
  // What the game posted before its stop is taken back, so that nothing of it reaches
  // the host afterwards; another game's posts and the host's own stay. The loader's
  // posts are stopped already (RequestLoaderStop holds the gate they are made under).
  // Only the calling thread's queue can be read: a host window of another thread keeps
  // what is queued there.
  link_.TakeBackPosts(kGamePostsToHost);
  // No host call and no post from here on, whatever of the game still runs (the rest
  // of a handler, a loader let go, which reads the link under its lock).
  link_.Cut();
  host_ = nullptr;
  hostWnd_ = nullptr;
}

bool CDorvik2Wnd::OnLoaderThread() const {
  return loaderThreadId_ != 0 && GetCurrentThreadId() == loaderThreadId_;
}

// The scene's handler has returned, but the scene and the call or message that ran the
// handler are still on the stack: the outermost of them settles the object as it
// returns, so nothing of the module runs after the host's own code has control again.
void CDorvik2Wnd::OnClosedSceneIdle() {}

void CDorvik2Wnd::OnOutermostMessageDone() { Settle(Hold::kWindowThread); }

// The object's life, and the one place that deletes it.
//
// States: live (CreateGameWnd made it; InitGameWnd gives it a window, a scene and a
// loader thread), ending (DestroyGameWnd claimed it, endAsked_, and EndHere runs the
// stop sequence), ended (endRan_: no window, no box, no host link, the loader asked to
// stop; the object stays while anything still runs in it), gone (deleted, and the gone
// signal set).
//
// Two things hold an ended object. The window's thread holds it while any frame of the
// object is on its stack: a host call (ClientCall), a message of the window, a scene
// handler (always inside one of those two). The loader thread holds it from its start
// to its last act. Each lets go here: the window's thread as its outermost frame
// returns (ClientCall's end, OnOutermostMessageDone) or at the end itself when none is
// on the stack; the loader at its end (EndLoader). Whichever lets go last deletes the
// object, decided under the loader gate so that exactly one does: the window's thread
// usually, the loader thread when it outlived the end's wait for it.
//
// Who waits for the gone signal: an end asked on a thread that is neither the window's
// nor the loader's (EndByHost, before DestroyGameWnd answers), and a loader that asked
// for the end itself (EndLoader, before it gives the library back): in both cases the
// host may free the library as soon as DestroyGameWnd returns, while the window's
// thread may still be unwinding the game's frames.
void CDorvik2Wnd::Settle(Hold letGo) {
  if (letGo == Hold::kWindowThread && (!endRan_ || InUse())) return;
  bool last = false;
  {
    XBufLockGuard gate(loaderGate_);
    if (letGo == Hold::kWindowThread) windowThreadHolds_ = false;
    if (letGo == Hold::kLoader) loaderHolds_ = false;
    last = !windowThreadHolds_ && !loaderHolds_ && !deleting_;
    if (last) deleting_ = true;
  }
  if (last) delete this;
}
