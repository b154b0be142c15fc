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
  live_clients::Forget(this);
  Shut();
  // The loader reads this object to its end and a destructor cannot hand the object
  // off, so it waits. Dispose leaves a window whose loader would not end to the loader
  // instead; only a direct delete gets here with the loader still running.
  if (!StopLoader()) JoinLoader(INFINITE);
  delete scene_;
  scene_ = nullptr;
  if (ownsScreen_) ReleaseScreen();
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
  // Whatever the scene's state: a game still building may be ended.
  if (message == WM_GAME_END) {
    EndHere(wParam != kEndAskedByLoader);
    if (result) *result = 0;
    return 1;
  }
  return GameWndProc(message, wParam, lParam, result);
}

LRESULT CDorvik2Wnd::OnEraseBkgnd(HDC) { return 0; }

void CDorvik2Wnd::PostToHostWindow(LPARAM reason) {
  const WPARAM played = scene_ ? static_cast<WPARAM>(scene_->GamesPlayed()) : 0;
  link_.Post(WM_GAME_CLOSE, played, reason);
}

int32_t CDorvik2Wnd::ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                                COLORREF headingColour) {
  return ::ShowMsgBox(instance_, Handle(), gameFolder_, body, type, autoCloseMs, heading, headingColour);
}

// ---- The end ------------------------------------------------------------------------
HWND CDorvik2Wnd::InitFromHost(HINSTANCE instance, HWND hostWnd, const std::string& gameFolder,
                               const std::string& portalFolder, const std::string& extraText, int32_t unused10,
                               int32_t loadInThread) {
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
  // Only the window's own thread can destroy it. Asked on another (the loader's, inside
  // the load-failed event), the end is sent there and done before this returns; the
  // loader holds the library until it has ended, so nothing of the game window runs
  // where a host's FreeLibrary could unmap it.
  if (windowThread_ && GetCurrentThreadId() != windowThread_ && Handle() && IsWindow(Handle())) {
    SendMessageA(Handle(), WM_GAME_END, OnLoaderThread() ? kEndAskedByLoader : 0, 0);
    return;  // the object may be gone already
  }
  EndHere(!OnLoaderThread());
}

void CDorvik2Wnd::EndHere(bool mayWaitForLoader) {
  Shut();
  // The loader that asked cannot be waited for: it waits for this.
  if (mayWaitForLoader) StopLoader();
  if (scene_) scene_->BeginClosing();
  // Inside a handler (a nested wait or a message box pumps the host's messages) the
  // scene is on the stack: it tells when the handler has returned.
  if (scene_ && scene_->IsBusy()) return;
  OnClosedSceneIdle();
  DisposeWhenUnused();
}

void CDorvik2Wnd::Shut() {
  ended_ = true;
  RequestLoaderStop();
  if (Handle()) CMsgBoxDlg::EndBoxesOwnedBy(Handle());
  if (Handle() && IsWindow(Handle())) DestroyWindow();
  LetGoOfHost();
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

// Not disposed of here: the scene that calls this, and the call or message that ran the
// handler, are still on the stack. The outermost of them disposes of the object as it
// returns, so nothing of the module runs after the host's own code has control again
// (a host may free the library at once).
void CDorvik2Wnd::OnClosedSceneIdle() { closedIdle_ = true; }

void CDorvik2Wnd::DisposeWhenUnused() {
  if (closedIdle_ && !InUse()) Dispose();
}

void CDorvik2Wnd::OnOutermostMessageDone() { DisposeWhenUnused(); }

void CDorvik2Wnd::Dispose() {
  {
    XBufLockGuard gate(loaderGate_);
    if (loaderThread_ && !loaderDone_) {
      leftToLoader_ = true;
      return;
    }
  }
  delete this;
}
