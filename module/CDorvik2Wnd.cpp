// The game window object: window creation in its fixed order, the message gate and
// shut-down. The interface operations the host calls are in CDorvik2WndClient.cpp.
#include "module/CDorvik2Wnd.h"

#include <new>

#include "host/CHostLink.h"
#include "module/CMsgBoxDlg.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GDDScreen.h"

CDorvik2Wnd::CDorvik2Wnd(IHostInterface* host) : host_(host) {}
CDorvik2Wnd::CDorvik2Wnd() = default;

CDorvik2Wnd::~CDorvik2Wnd() {
  RequestLoaderStop();
  // The window goes first, so no message reaches a half-deleted scene.
  DestroyWindow();
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

  ownsScreen_ = 1;
  if (!BuildScreen()) return 0;

  CHostLink::Global().Fill(host_, hostWnd, CHostLink::kGameNumber);

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
  return GameWndProc(message, wParam, lParam, result);
}

LRESULT CDorvik2Wnd::OnEraseBkgnd(HDC) { return 0; }

void CDorvik2Wnd::PostToHostWindow(LPARAM reason) {
  if (!hostWnd_) return;
  const WPARAM played = scene_ ? static_cast<WPARAM>(scene_->GamesPlayed()) : 0;
  PostMessageA(hostWnd_, WM_GAME_CLOSE, played, reason);
}

int32_t CDorvik2Wnd::ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                                COLORREF headingColour) {
  return ::ShowMsgBox(instance_, Handle(), gameFolder_, body, type, autoCloseMs, heading, headingColour);
}

void CDorvik2Wnd::CloseUnderHandler() {
  RequestLoaderStop();
  CMsgBoxDlg::EndBoxesOwnedBy(Handle());
  if (Handle() && IsWindow(Handle())) DestroyWindow();
  // A loader that goes on after the wait is left the object when it is disposed of.
  StopLoader();
  if (scene_) scene_->BeginClosing();
  // No host call and no post from here on: the host has let this object go. A loader
  // let go reads the link under its lock, and its posts were stopped above.
  CHostLink::Global().Fill(nullptr, nullptr, CHostLink::kGameNumber);
  host_ = nullptr;
  hostWnd_ = nullptr;
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
